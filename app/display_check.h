#pragma once
#include <string>
#include <vector>

namespace kvel {

// Qt aborts when the platform it is to use needs a display and there is none (over ssh, in a
// service). Empty when the window can be shown; otherwise what to say, naming the ways on.
// `args` are the program's arguments (-platform NAME), the environment is the process's own.
std::string noDisplayText(const std::vector<std::string>& args);

}  // namespace kvel
