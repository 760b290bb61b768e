// Floor 2, config/: the settings file mem.ini. Its image in memory, the table of its keys with
// their defaults, its encodings, crash-safe writing of files and the channel-name rule. It
// includes nothing above link/.
#pragma once
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "config/mem_ini_keys.h"

namespace kvel {

// The in-memory image of the program's INI file (mem.ini). The whole file is read once at
// construction; reads and writes work on memory only, and updateFile writes the whole image back.
// Section and key names are matched without regard to letter case (ASCII and Cyrillic).
// Why mem.ini could not be read or written: a marked text (context "KvelView") with %1 for
// the file and %2 for the system's reason; no text when nothing failed.
struct MemIniError {
    const char* marked = "";
    std::string file;
    std::string reason;
    bool failed() const { return *marked != '\0'; }
    // The text as written (Russian), filled in.
    std::string text() const;
};

class MemIni {
  public:
    enum class Encoding { Utf8, Cp1251 };

    // Loads the file if it exists; a missing file gives an empty image and no error. A relative
    // name is resolved against the current directory, now and at every updateFile. What an
    // interrupted flush left beside the file long ago is removed.
    explicit MemIni(std::string fileName);
    // A copy holds the image as it is now (kvelctl changes a copy in memory only).
    MemIni(const MemIni& other);
    MemIni& operator=(const MemIni&) = delete;

    int readInteger(std::string_view section, std::string_view key, int def) const;
    double readFloat(std::string_view section, std::string_view key, double def) const;
    std::string readString(std::string_view section, std::string_view key,
                           std::string_view def) const;

    void writeInteger(std::string_view section, std::string_view key, int value);
    // General format with up to 15 significant digits and "." as the decimal separator.
    void writeFloat(std::string_view section, std::string_view key, double value);
    void writeString(std::string_view section, std::string_view key, std::string_view value);

    // The key names of a section in file order; empty when the section is missing.
    std::vector<std::string> readSection(std::string_view section) const;

    // The same through the key table (config/mem_ini_keys.h): section, key and default in one.
    int readInteger(const IntKey& k) const { return readInteger(k.section, k.key, k.fallback); }
    double readFloat(const RealKey& k) const { return readFloat(k.section, k.key, k.fallback); }
    std::string readString(const TextKey& k) const {
        return readString(k.section, k.key, k.fallback);
    }
    // A reader whose default is computed (the log file's name in the starting folder) or
    // named where it is used (the chart's window).
    std::string readString(const TextKey& k, std::string_view fallback) const {
        return readString(k.section, k.key, fallback);
    }
    int readInteger(const IntKey& k, int fallback) const {
        return readInteger(k.section, k.key, fallback);
    }
    double readFloat(const RealKey& k, double fallback) const {
        return readFloat(k.section, k.key, fallback);
    }
    int readInteger(const IntSection& s, std::string_view key) const {
        return readInteger(s.section, key, s.fallback);
    }
    int readInteger(const IntSection& s, std::string_view key, int fallback) const {
        return readInteger(s.section, key, fallback);
    }
    std::string readString(const TextSection& s, std::string_view key) const {
        return readString(s.section, key, s.fallback);
    }
    void writeInteger(const IntKey& k, int value) { writeInteger(k.section, k.key, value); }
    void writeFloat(const RealKey& k, double value) { writeFloat(k.section, k.key, value); }
    void writeString(const TextKey& k, std::string_view value) {
        writeString(k.section, k.key, value);
    }
    void writeInteger(const IntSection& s, std::string_view key, int value) {
        writeInteger(s.section, key, value);
    }
    void writeString(const TextSection& s, std::string_view key, std::string_view value) {
        writeString(s.section, key, value);
    }
    std::vector<std::string> readSection(const IntSection& s) const {
        return readSection(s.section);
    }

    // Replaces the file with the image, in the encoding and line ends it was read with (a code
    // page 1251 file becomes UTF-8 when it is to hold text that code page lacks). Returns
    // false on failure with the image kept and the reason in lastError(). A file that was no INI
    // file at all (binary junk, text outside any section) is first copied to the file name
    // with ".bak" appended, so the first flush loses nothing of it.
    bool updateFile();

    // Why the last updateFile failed, or why an existing file could not be read; empty otherwise.
    std::string lastError() const;
    // The same as its parts, for the windows to show it translated.
    MemIniError lastFailure() const;
    Encoding fileEncoding() const { return encoding_; }

  private:
    // The link thread reads the module's address and stores the link settings while the
    // windows read and write the rest.
    mutable std::recursive_mutex mutex_;
    // Held by updateFile for its whole write, taken before mutex_.
    std::mutex fileMutex_;
    struct Entry {
        std::string key;   // as spelled in the file; for a line without "=", the whole line
        std::string fold;  // the key in lower case, for look-ups
        std::string value;
        bool isKey = true;  // false: a line without "=", kept in place but never read
    };
    struct Section {
        std::string name;
        std::string fold;
        std::vector<Entry> entries;
    };

    void parse(std::string_view text);
    // The image as UTF-8 text in the written form.
    std::string textOf() const;
    const Entry* find(std::string_view section, std::string_view key) const;
    MemIniError failure(const char* marked, int err) const;
    MemIniError failure(const char* marked, const std::string& fileName, int err) const;

    std::string fileName_;
    std::vector<Section> sections_;
    Encoding encoding_ = Encoding::Utf8;
    bool bom_ = false;
    bool crlf_ = false;
    MemIniError loadError_;  // set when the file exists but could not be read: never overwrite it
    std::string unparsed_;   // the bytes of a file that was no INI file, until a copy is kept
    MemIniError lastError_;
};

}  // namespace kvel
