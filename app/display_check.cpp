#include "app/display_check.h"

#include <cstdlib>
#include <sstream>

namespace kvel {
namespace {

bool set(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

// Qt's platform names as `-platform` and QT_QPA_PLATFORM give them: "name:options", several
// separated by ';' to be tried in turn.
bool needsDisplay(const std::string& platforms) {
    std::istringstream list(platforms);
    for (std::string entry; std::getline(list, entry, ';');) {
        const std::string name = entry.substr(0, entry.find(':'));
        if (name != "xcb" && name.rfind("wayland", 0) != 0) return false;
    }
    return true;
}

}  // namespace

std::string noDisplayText(const std::vector<std::string>& args) {
    std::string platform;  // empty: Qt's default, which is a display's
    if (const char* env = std::getenv("QT_QPA_PLATFORM")) platform = env;
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "-platform" || args[i] == "--platform") platform = args[i + 1];
    }
    if (!platform.empty() && !needsDisplay(platform)) return {};
    if (set("DISPLAY") || set("WAYLAND_DISPLAY")) return {};
    return "kvelview: there is no display here (neither DISPLAY nor WAYLAND_DISPLAY is set), so "
           "the window\n"
           "cannot be shown. Ways on:\n"
           "  QT_QPA_PLATFORM=vnc:size=1600x900:port=5900 kvelview\n"
           "        serves the window over VNC: connect any VNC viewer to THIS-HOST:5900 (no "
           "password:\n"
           "        use it on a trusted network, or through ssh -L 5900:localhost:5900)\n"
           "  QT_QPA_PLATFORM=offscreen kvelview\n"
           "        runs the program with no window at all (polling and logging go on)\n"
           "  ./run --screenshot FILE   (in the source tree) the program under a virtual X "
           "display for\n"
           "        a few polls, then a PNG of its window in FILE\n"
           "  ssh -X                    shows the window on the display of the machine you come "
           "from\n";
}

}  // namespace kvel
