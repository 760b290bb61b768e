#include "core/port_list.h"

#include <QCollator>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <filesystem>

namespace kvel {
namespace {

namespace fs = std::filesystem;

// Paths of the entries of `folder` whose names begin with `prefix`, in natural order. A folder
// that is missing or unreadable gives none.
std::vector<std::string> entriesOf(const fs::path& folder, const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.starts_with(prefix)) names.push_back(name);
    }
    // Digit runs compare as numbers: ttyS2 before ttyS10.
    // A named locale: in the C locale QCollator compares code points and has no numeric mode.
    QCollator collator(QLocale(QLocale::English));
    collator.setNumericMode(true);
    std::sort(names.begin(), names.end(), [&collator](const std::string& a, const std::string& b) {
        return collator.compare(QString::fromStdString(a), QString::fromStdString(b)) < 0;
    });
    std::vector<std::string> paths;
    for (const std::string& name : names) paths.push_back((folder / name).string());
    return paths;
}

}  // namespace

std::vector<std::string> portChoices(const std::string& devRoot) {
    std::vector<std::string> choices;
    for (int n = 1; n <= 50; ++n) choices.push_back("COM" + std::to_string(n));
    const fs::path root(devRoot);
    for (const std::string& path : entriesOf(root / "serial" / "by-id", ""))
        choices.push_back(path);
    for (const char* prefix : {"ttyUSB", "ttyACM", "ttyS"}) {
        for (const std::string& path : entriesOf(root, prefix)) choices.push_back(path);
    }
    return choices;
}

}  // namespace kvel
