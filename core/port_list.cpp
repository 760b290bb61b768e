#include "core/port_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace kvel {
namespace {

namespace fs = std::filesystem;

// Compares names with their digit runs taken as numbers: ttyS2 < ttyS10.
bool naturalLess(const std::string& a, const std::string& b) {
    std::size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (std::isdigit(static_cast<unsigned char>(a[i])) &&
            std::isdigit(static_cast<unsigned char>(b[j]))) {
            std::size_t ei = i, ej = j;
            while (ei < a.size() && std::isdigit(static_cast<unsigned char>(a[ei]))) ++ei;
            while (ej < b.size() && std::isdigit(static_cast<unsigned char>(b[ej]))) ++ej;
            // Without leading zeros, a longer run is the larger number.
            std::string_view na(a.data() + i, ei - i), nb(b.data() + j, ej - j);
            while (na.size() > 1 && na.front() == '0') na.remove_prefix(1);
            while (nb.size() > 1 && nb.front() == '0') nb.remove_prefix(1);
            if (na.size() != nb.size()) return na.size() < nb.size();
            if (na != nb) return na < nb;
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j]) return a[i] < b[j];
        ++i;
        ++j;
    }
    return a.size() - i < b.size() - j;
}

// Paths of the entries of `folder` whose names begin with `prefix`, in natural order. A folder
// that is missing or unreadable gives none.
std::vector<std::string> entriesOf(const fs::path& folder, const std::string& prefix) {
    std::vector<std::string> names;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() > prefix.size() && name.starts_with(prefix)) names.push_back(name);
    }
    std::sort(names.begin(), names.end(), naturalLess);
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
