#pragma once
#include <atomic>
#include <iosfwd>
#include <string>
#include <vector>

namespace kvel {

// kvelctl serve: the window's poll without a window until `stop`, the measurement log and the
// alarms as mem.ini sets them, the readings published as [publish] (or the options) says.
// Told to systemd when it runs under it (ready, watchdog, stopping). Returns the exit status:
// 0 after a stop, 1 when the line or publishing cannot start, 2 bad usage.
int runServe(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
             const std::atomic<bool>& stop);

}  // namespace kvel
