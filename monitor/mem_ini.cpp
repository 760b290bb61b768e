#include "monitor/mem_ini.h"

#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <utility>

#include "monitor/safe_file.h"
#include "monitor/text_encoding.h"

namespace kvel {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

// Blanks around names and values are not part of them, as in the Windows INI routines.
std::string_view Trim(std::string_view s) {
    while (!s.empty() && static_cast<unsigned char>(s.front()) <= ' ') s.remove_prefix(1);
    while (!s.empty() && static_cast<unsigned char>(s.back()) <= ' ') s.remove_suffix(1);
    return s;
}

// A line break inside a name or value would split the line in the file and could even open a
// section there; it becomes a blank.
std::string OneLine(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return out;
}

// from_chars takes no leading '+'; accept it before a digit or a point.
std::string_view NumberText(std::string_view s) {
    s = Trim(s);
    if (s.size() > 1 && s.front() == '+' && s[1] != '-' && s[1] != '+') s.remove_prefix(1);
    return s;
}

std::string AbsolutePath(const std::string& name) {
    if (!name.empty() && name.front() == '/') return name;
    char buf[4096];
    if (::getcwd(buf, sizeof buf) == nullptr) return name;
    return std::string(buf) + "/" + name;
}

}  // namespace

TMemIni::TMemIni(std::string fileName) : fileName_(std::move(fileName)) {
    std::string bytes;
    const int err = ReadWholeFile(fileName_, bytes);
    if (err == ENOENT) return;
    if (err != 0) {
        unreadable_ = true;
        loadError_ = ErrorText("Ошибка чтения файла настроек ", err);
        lastError_ = loadError_;
        return;
    }
    std::string_view view = bytes;
    if (IsValidUtf8(view)) {
        if (view.starts_with(kBom)) {
            bom_ = true;
            view.remove_prefix(kBom.size());
        }
        Parse(view);
    } else {
        encoding_ = Encoding::Cp1251;
        Parse(Cp1251ToUtf8(view));
    }
}

void TMemIni::Parse(std::string_view text) {
    Section* section = nullptr;
    bool firstBreak = true;
    size_t pos = 0;
    while (pos < text.size()) {
        // A line ends at CR LF, LF or a lone CR.
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = Trim(text.substr(pos, end - pos));
        pos = end;
        if (pos < text.size()) {
            const bool crlf = text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n';
            if (firstBreak) crlf_ = crlf;
            firstBreak = false;
            pos += crlf ? 2 : 1;
        }

        if (line.empty() || line.front() == ';') continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            section = &sections_.emplace_back(Section{std::string(name), FoldCase(name), {}});
            continue;
        }
        if (section == nullptr) continue;  // lines before the first section mean nothing
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            section->entries.push_back(Entry{std::string(line), {}, {}, false});
            continue;
        }
        const std::string_view key = Trim(line.substr(0, eq));
        section->entries.push_back(
            Entry{std::string(key), FoldCase(key), std::string(Trim(line.substr(eq + 1))), true});
    }
}

std::string TMemIni::Serialize() const {
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
    if (encoding_ == Encoding::Cp1251) return Utf8ToCp1251(text);
    return bom_ ? std::string(kBom) + SanitizeUtf8(text) : SanitizeUtf8(text);
}

const TMemIni::Entry* TMemIni::Find(std::string_view section, std::string_view key) const {
    const std::string sectionFold = FoldCase(section);
    for (const Section& s : sections_) {
        if (s.fold != sectionFold) continue;
        const std::string keyFold = FoldCase(key);
        for (const Entry& e : s.entries) {
            if (e.isKey && e.fold == keyFold) return &e;
        }
        return nullptr;  // a repeated section is reached only through its first occurrence
    }
    return nullptr;
}

int TMemIni::ReadInteger(std::string_view section, std::string_view key, int def) const {
    const Entry* e = Find(section, key);
    if (e == nullptr) return def;
    const std::string_view text = NumberText(e->value);
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size()) return def;
    return value;
}

double TMemIni::ReadFloat(std::string_view section, std::string_view key, double def) const {
    const Entry* e = Find(section, key);
    if (e == nullptr) return def;
    const std::string_view text = NumberText(e->value);
    double value = 0;
    // from_chars never looks at the locale: "." is the separator whatever the user's settings.
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        return def;
    }
    return value;
}

std::string TMemIni::ReadString(std::string_view section, std::string_view key,
                                std::string_view def) const {
    const Entry* e = Find(section, key);
    return e != nullptr ? e->value : std::string(def);
}

void TMemIni::WriteInteger(std::string_view section, std::string_view key, int value) {
    char buf[16];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    WriteString(section, key, std::string_view(buf, static_cast<size_t>(res.ptr - buf)));
}

void TMemIni::WriteFloat(std::string_view section, std::string_view key, double value) {
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, 15);
    WriteString(section, key, std::string_view(buf, static_cast<size_t>(res.ptr - buf)));
}

void TMemIni::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string sectionName = OneLine(section);
    const std::string keyName = OneLine(key);
    const std::string sectionFold = FoldCase(sectionName);
    const std::string keyFold = FoldCase(keyName);
    Section* target = nullptr;
    for (Section& s : sections_) {
        if (s.fold == sectionFold) {
            target = &s;
            break;
        }
    }
    if (target == nullptr) {
        target = &sections_.emplace_back(Section{sectionName, sectionFold, {}});
    }
    for (Entry& e : target->entries) {
        if (e.isKey && e.fold == keyFold) {
            e.value = OneLine(value);
            return;
        }
    }
    target->entries.push_back(Entry{keyName, keyFold, OneLine(value), true});
}

std::vector<std::string> TMemIni::ReadSection(std::string_view section) const {
    std::vector<std::string> keys;
    const std::string sectionFold = FoldCase(section);
    for (const Section& s : sections_) {
        if (s.fold != sectionFold) continue;
        for (const Entry& e : s.entries) {
            if (e.isKey) keys.push_back(e.key);
        }
        break;
    }
    return keys;
}

bool TMemIni::UpdateFile() {
    if (unreadable_) {
        // Writing now would replace settings that were never read with the defaults.
        lastError_ = loadError_ + " (файл не перезаписан, чтобы не потерять его настройки)";
        return false;
    }
    const int err = ReplaceFile(fileName_, Serialize());
    if (err != 0) {
        lastError_ = ErrorText("Ошибка записи файла настроек ", err);
        return false;
    }
    lastError_.clear();
    return true;
}

std::string TMemIni::ErrorText(std::string_view what, int err) const {
    return std::string(what) + AbsolutePath(fileName_) + ": " + std::strerror(err);
}

}  // namespace kvel
