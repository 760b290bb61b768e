#include "app/start_options.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace kvel {

StartOptions parseStartOptions(const std::vector<std::string>& args) {
    StartOptions o;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--log") {
            if (i + 1 < args.size() && !args[i + 1].empty())
                o.log = args[++i];
            else
                o.bad = true;
        }
        if (a == "--help" || a == "-h") o.help = true;
        if (a == "--version") o.version = true;
        if (a == "--desktop") o.desktop = true;
    }
    return o;
}

std::string startHelp() {
    return "usage: kvelview [--desktop] [--log FILE] [-platform NAME[:OPTIONS]]\n"
           "\n"
           "KvelView monitors and configures a Kvel temperature-measuring module on a serial\n"
           "line. Its settings (mem.ini) and the measurement log are in the current folder.\n"
           "\n"
           "Options:\n"
           "  --desktop            work in ~/KvelView (created on first start), as from the menu\n"
           "  --log FILE           only the log viewer with that measurement log\n"
           "  -platform NAME       Qt's display: xcb, wayland, offscreen, vnc:port=5900\n"
           "  --help               this text\n"
           "  --version            the version\n";
}

std::string userFolder() {
    const char* home = std::getenv("HOME");
    std::string base = home != nullptr ? home : "";
    if (base.empty()) {
        if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_dir != nullptr) {
            base = pw->pw_dir;
        }
    }
    if (base.empty()) base = "/tmp";
    return (std::filesystem::path(base) / "KvelView").string();
}

bool enterFolder(const std::string& folder, std::string* error) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!ec && ::chdir(folder.c_str()) == 0) return true;
    *error = folder + ": " + (ec ? ec.message() : std::string(std::strerror(errno)));
    return false;
}

}  // namespace kvel
