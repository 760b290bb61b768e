#include "app/start_options.h"

#include <pwd.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QStringList>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace kvel {

StartOptions parseStartOptions(const std::vector<std::string>& args) {
    StartOptions o;
    QCommandLineParser parser;
    // Qt's own words (-platform xcb, -style NAME) read as long options: unknown here, they are
    // left to QApplication rather than refused.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{"h", "help"});
    const QCommandLineOption version("version");
    const QCommandLineOption desktop("desktop");
    const QCommandLineOption log("log", {}, "FILE");
    parser.addOptions({help, version, desktop, log});
    QStringList words{QStringLiteral("kvelview")};
    for (const std::string& a : args) words << QString::fromStdString(a);
    parser.parse(words);  // Qt's words are no error of ours
    o.help = parser.isSet(help);
    o.version = parser.isSet(version);
    o.desktop = parser.isSet(desktop);
    if (parser.isSet(log)) {
        o.log = parser.values(log).constLast().toStdString();
        o.bad = o.log.empty();
    } else if (std::find(args.begin(), args.end(), "--log") != args.end()) {
        o.bad = true;  // "--log" without its file
    }
    return o;
}

std::string startHelp() {
    return "Usage: kvelview [--desktop] [--log FILE] [-platform NAME[:OPTIONS]]\n"
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
