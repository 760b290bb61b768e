// Any file as mem.ini: loading, reads, writes, a flush and a reload must never crash, the
// flush must succeed, and after the reload every value reads as before, or as written.
#include <fuzzer/FuzzedDataProvider.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "config/mem_ini.h"
#include "config/text_encoding.h"

namespace {

void require(bool condition) {
    if (!condition) __builtin_trap();
}

// One folder per fuzzing process, in memory where there is one: the flush syncs its file. It
// is never freed, so the clean-up at exit can still name it.
const std::string& fuzzFolder() {
    static const std::string* folder = [] {
        std::string pattern = (access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
        pattern += "/kvel-fuzz-ini-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        std::atexit([] {
            unlink((fuzzFolder() + "/mem.ini").c_str());
            unlink((fuzzFolder() + "/mem.ini.bak").c_str());  // the copy of a file that was no INI
            rmdir(fuzzFolder().c_str());
        });
        return new std::string(pattern);
    }();
    return *folder;
}

// Names as the program spells them: letters, digits, "_", and a Cyrillic letter or two.
std::string fuzzedName(FuzzedDataProvider& in) {
    static const char* const kPieces[] = {"diag", "sensors", "d", "ch", "1", "_", "Я", "ё", "x"};
    std::string name;
    const int pieces = in.ConsumeIntegralInRange<int>(1, 3);
    for (int i = 0; i < pieces; ++i) name += kPieces[in.ConsumeIntegralInRange<int>(0, 8)];
    return name;
}

// What a value written now reads back as: line breaks become blanks (they would split the
// line), and the text is what the file's encoding can hold.
std::string writable(const std::string& bytes, kvel::MemIni::Encoding encoding) {
    std::string value = encoding == kvel::MemIni::Encoding::Cp1251 ? kvel::cp1251ToUtf8(bytes)
                                                                   : kvel::sanitizeUtf8(bytes);
    for (char& c : value) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const std::string path = fuzzFolder() + "/mem.ini";
    {
        std::ofstream file(path, std::ios::binary | std::ios::trunc);
        const std::string text = in.ConsumeRandomLengthString(1 << 16);
        file.write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    kvel::MemIni ini(path);
    require(ini.lastError().empty());

    // What the file holds in the sections the program knows and a few the input names.
    std::vector<std::string> sections = {"diag",    "measure", "file",     "connect", "sensors",
                                         "display", "axis",    "checkbox", "panels",  "time"};
    for (int i = 0; i < 3; ++i) sections.push_back(fuzzedName(in));
    std::map<std::pair<std::string, std::string>, std::string> expected;
    for (const std::string& s : sections) {
        for (const std::string& key : ini.readSection(s)) {
            expected.emplace(std::make_pair(kvel::foldCase(s), kvel::foldCase(key)),
                             ini.readString(s, key, ""));
            (void)ini.readInteger(s, key, 0);
            (void)ini.readFloat(s, key, 0.5);
        }
    }

    const int writes = in.ConsumeIntegralInRange<int>(0, 8);
    for (int i = 0; i < writes; ++i) {
        const std::string s = fuzzedName(in);
        const std::string key = fuzzedName(in);
        const auto kind = in.ConsumeIntegralInRange<int>(0, 2);
        std::string value;
        if (kind == 0) {
            const int v = in.ConsumeIntegral<int>();
            ini.writeInteger(s, key, v);
            require(ini.readInteger(s, key, v == 0 ? 1 : 0) == v);
            value = ini.readString(s, key, "");
        } else if (kind == 1) {
            const double v = in.ConsumeFloatingPoint<double>();
            ini.writeFloat(s, key, v);
            value = ini.readString(s, key, "");
        } else {
            value = writable(in.ConsumeRandomLengthString(256), ini.fileEncoding());
            ini.writeString(s, key, value);
            require(ini.readString(s, key, "?") == value);
        }
        expected[std::make_pair(kvel::foldCase(s), kvel::foldCase(key))] = value;
    }

    require(ini.updateFile());
    const kvel::MemIni again(path);
    require(again.lastError().empty());
    // A file of code page 1251 whose only bytes foreign to UTF-8 stood in dropped comments can
    // come back as UTF-8; its values are then another text, so only the same encoding is held
    // to the same values.
    if (again.fileEncoding() != ini.fileEncoding()) return 0;
    for (const auto& [name, value] : expected) {
        require(again.readString(name.first, name.second, "\x01missing") == value);
    }
    return 0;
}
