#include "config/mem_ini.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <utility>

#include "config/safe_file.h"
#include "config/text_encoding.h"
#include "link/text_mark.h"

namespace kvel {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Blanks around names are not part of them; a number may stand between blanks.
std::string_view trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// A line break inside a name or value would split the line in the file and could even open a
// section there; it becomes a blank.
std::string oneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

// The whole text as a number, or nothing. from_chars never looks at the locale, so "." is the
// decimal separator whatever the user's settings; it takes no leading '+', so that is skipped
// before a digit or a point.
template <class T>
std::optional<T> number(std::string_view s) {
    s = trim(s);
    if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') s.remove_prefix(1);
    T value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (s.empty() || ec != std::errc{} || end != s.data() + s.size()) return std::nullopt;
    return value;
}

// The first section or key of that name: a repeated one is reached only through its first
// occurrence. Lines without "=" are never matched.
template <class Sections>
auto firstSection(Sections& sections, std::string_view name) -> decltype(&sections.front()) {
    const std::string fold = foldCase(name);
    for (auto& s : sections) {
        if (s.fold == fold) return &s;
    }
    return nullptr;
}

template <class Entries>
auto firstKey(Entries& entries, std::string_view name) -> decltype(&entries.front()) {
    const std::string fold = foldCase(name);
    for (auto& e : entries) {
        if (e.isKey && e.fold == fold) return &e;
    }
    return nullptr;
}

// Bytes no text file of settings holds: control characters other than TAB, CR and LF.
bool hasControlBytes(std::string_view bytes) {
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 && u != '\t' && u != '\r' && u != '\n') return true;
    }
    return false;
}

// Whether a flush would drop more than comments and blank lines: text before the first section.
bool hasTextOutsideSections(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trim(text.substr(pos, end - pos));
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') return false;
        if (!line.empty() && line.front() != ';') return true;
        pos = end + 1;
    }
    return false;
}

std::string absolutePath(const std::string& name) {
    if (!name.empty() && name.front() == '/') return name;
    char buf[4096];
    if (::getcwd(buf, sizeof buf) == nullptr) return name;
    return std::string(buf) + "/" + name;
}

}  // namespace

MemIni::MemIni(std::string fileName) : fileName_(std::move(fileName)) {
    removeStaleTemporaries(fileName_);
    std::string bytes;
    const int err = readWholeFile(fileName_, bytes);
    if (err == ENOENT) return;
    if (err != 0) {
        loadError_ =
            failure(QT_TRANSLATE_NOOP("KvelView", "Ошибка чтения файла настроек %1: %2"), err);
        lastError_ = loadError_;
        return;
    }
    std::string_view view = bytes;
    if (isValidUtf8(view)) {
        if (view.starts_with(kBom)) {
            bom_ = true;
            view.remove_prefix(kBom.size());
        }
        parse(view);
    } else {
        encoding_ = Encoding::Cp1251;
        parse(cp1251ToUtf8(view));
    }
    if (hasControlBytes(view) || hasTextOutsideSections(view)) unparsed_ = std::move(bytes);
}

void MemIni::parse(std::string_view text) {
    Section* section = nullptr;
    bool firstBreak = true;
    size_t pos = 0;
    while (pos < text.size()) {
        // A line ends at CR LF, LF or a lone CR.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view raw = text.substr(pos, end - pos);
        // The text after "=" is the value as it stands; only names and the line's kind are
        // judged without the blanks around them.
        const std::string_view line = trim(raw);
        pos = end;
        if (pos < text.size()) {
            const bool crlf = text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n';
            if (firstBreak) crlf_ = crlf;
            firstBreak = false;
            pos += crlf ? 2 : 1;
        }

        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = trim(line.substr(1, line.size() - 2));
            section = &sections_.emplace_back(Section{std::string(name), foldCase(name), {}});
            continue;
        }
        if (section == nullptr) continue;  // lines before the first section mean nothing
        const size_t eq = raw.find('=');
        if (eq == std::string_view::npos) {
            section->entries.push_back(Entry{std::string(line), {}, {}, false});
            continue;
        }
        const std::string_view key = trim(raw.substr(0, eq));
        section->entries.push_back(
            Entry{std::string(key), foldCase(key), std::string(raw.substr(eq + 1)), true});
    }
}

std::string MemIni::textOf() const {
    const std::string_view eol = crlf_ ? "\r\n" : "\n";
    std::string text;
    for (const Section& s : sections_) {
        text.append("[").append(s.name).append("]").append(eol);
        for (const Entry& e : s.entries) {
            text.append(e.key);
            if (e.isKey) text.append("=").append(e.value);
            text.append(eol);
        }
        text.append(eol);
    }
    return text;
}

const MemIni::Entry* MemIni::find(std::string_view section, std::string_view key) const {
    const Section* s = firstSection(sections_, section);
    return s != nullptr ? firstKey(s->entries, key) : nullptr;
}

int MemIni::readInteger(std::string_view section, std::string_view key, int def) const {
    const std::lock_guard lock(mutex_);
    const Entry* e = find(section, key);
    return e != nullptr ? number<int>(e->value).value_or(def) : def;
}

double MemIni::readFloat(std::string_view section, std::string_view key, double def) const {
    const std::lock_guard lock(mutex_);
    const Entry* e = find(section, key);
    const std::optional<double> value = e != nullptr ? number<double>(e->value) : std::nullopt;
    return value && std::isfinite(*value) ? *value : def;
}

std::string MemIni::readString(std::string_view section, std::string_view key,
                               std::string_view def) const {
    const std::lock_guard lock(mutex_);
    const Entry* e = find(section, key);
    return e != nullptr ? e->value : std::string(def);
}

void MemIni::writeInteger(std::string_view section, std::string_view key, int value) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    writeString(section, key, std::string_view(buf, static_cast<size_t>(res.ptr - buf)));
}

void MemIni::writeFloat(std::string_view section, std::string_view key, double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    writeString(section, key, std::string_view(buf, static_cast<size_t>(res.ptr - buf)));
}

void MemIni::writeString(std::string_view section, std::string_view key, std::string_view value) {
    const std::lock_guard lock(mutex_);
    const std::string sectionName = oneLine(section);
    const std::string keyName = oneLine(key);
    Section* target = firstSection(sections_, sectionName);
    if (target == nullptr) {
        target = &sections_.emplace_back(Section{sectionName, foldCase(sectionName), {}});
    }
    if (Entry* e = firstKey(target->entries, keyName)) {
        e->value = oneLine(value);
    } else {
        target->entries.push_back(Entry{keyName, foldCase(keyName), oneLine(value), true});
    }
}

std::vector<std::string> MemIni::readSection(std::string_view section) const {
    const std::lock_guard lock(mutex_);
    std::vector<std::string> keys;
    if (const Section* s = firstSection(sections_, section)) {
        for (const Entry& e : s->entries) {
            if (e.isKey) keys.push_back(e.key);
        }
    }
    return keys;
}

bool MemIni::updateFile() {
    // One writer at a time, each writing the image as it took it: a later flush never puts
    // an older image on the disk. The image's own lock is held only while it is copied, so
    // the windows' reads never wait for the disk.
    const std::lock_guard writing(fileMutex_);
    std::string backupBytes;
    std::string bytes;
    {
        const std::lock_guard lock(mutex_);
        if (loadError_.failed()) {
            // Writing now would replace settings that were never read with the defaults.
            lastError_ = loadError_;
            lastError_.marked = QT_TRANSLATE_NOOP(
                "KvelView",
                "Ошибка чтения файла настроек %1: %2 (файл не перезаписан, чтобы не потерять его "
                "настройки)");
            return false;
        }
        backupBytes = unparsed_;
        const std::string text = textOf();
        // Code page 1251 holds Latin and Cyrillic letters only: other text (a log file name
        // typed with them) would turn into '?', so such a file goes on in UTF-8 from now.
        if (encoding_ == Encoding::Cp1251 && !fitsCp1251(text)) encoding_ = Encoding::Utf8;
        bytes = encoding_ == Encoding::Cp1251 ? utf8ToCp1251(text)
                : bom_                        ? std::string(kBom) + sanitizeUtf8(text)
                                              : sanitizeUtf8(text);
    }
    if (!backupBytes.empty()) {
        // The file was something else than settings: what it held stays beside it.
        const std::string backup = fileName_ + ".bak";
        if (const int err = replaceFile(backup, backupBytes); err != 0) {
            const std::lock_guard lock(mutex_);
            lastError_ = failure(QT_TRANSLATE_NOOP("KvelView",
                                                   "Ошибка записи файла настроек %1: %2 (файл "
                                                   "настроек не перезаписан, чтобы не потерять его "
                                                   "прежнее содержимое)"),
                                 backup, err);
            return false;
        }
        const std::lock_guard lock(mutex_);
        unparsed_.clear();
        unparsed_.shrink_to_fit();
    }
    const int err = replaceFile(fileName_, bytes);
    const std::lock_guard lock(mutex_);
    if (err != 0) {
        lastError_ =
            failure(QT_TRANSLATE_NOOP("KvelView", "Ошибка записи файла настроек %1: %2"), err);
        return false;
    }
    lastError_ = {};
    return true;
}

MemIniError MemIni::failure(const char* marked, int err) const {
    return failure(marked, fileName_, err);
}

MemIniError MemIni::failure(const char* marked, const std::string& fileName, int err) const {
    return {marked, absolutePath(fileName), std::strerror(err)};
}

std::string MemIniError::text() const {
    // One pass: a file name with "%2" in it stays as it is.
    std::string out;
    for (const char* c = marked; *c != '\0'; ++c) {
        if (c[0] == '%' && (c[1] == '1' || c[1] == '2')) {
            out += c[1] == '1' ? file : reason;
            ++c;
        } else {
            out += *c;
        }
    }
    return out;
}

MemIni::MemIni(const MemIni& other) {
    const std::lock_guard lock(other.mutex_);
    fileName_ = other.fileName_;
    sections_ = other.sections_;
    encoding_ = other.encoding_;
    bom_ = other.bom_;
    crlf_ = other.crlf_;
    loadError_ = other.loadError_;
    unparsed_ = other.unparsed_;
    lastError_ = other.lastError_;
}

std::string MemIni::lastError() const {
    const std::lock_guard lock(mutex_);
    return lastError_.text();
}

MemIniError MemIni::lastFailure() const {
    const std::lock_guard lock(mutex_);
    return lastError_;
}

}  // namespace kvel
