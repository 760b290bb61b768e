// Floor 7, app/: start-up. The command line, the working folder, the windows in their order
// and the end of a session on a signal. It stands on windows/ and what is below.
#pragma once
#include <string>
#include <vector>

namespace kvel {

// kvelview's own command-line words; anything else is left to Qt (-platform and the like).
struct StartOptions {
    bool help = false;
    bool version = false;
    // Started from the desktop menu: work in the user's folder instead of the current one.
    bool desktop = false;
    // --log FILE: only the log viewer with that measurement log, no link to the module.
    std::string log;
    // --log without its file.
    bool bad = false;
};

StartOptions parseStartOptions(const std::vector<std::string>& args);
std::string startHelp();

// The user's working folder, ~/KvelView: mem.ini and the log live in the current folder,
// and a program started from a menu would otherwise find itself in / or in $HOME.
std::string userFolder();
// Creates the folder when it is missing and makes it the current one. False with the
// system's reason in `error`.
bool enterFolder(const std::string& folder, std::string* error);

}  // namespace kvel
