// Beside the floors, ctl/: kvelctl, the console companion. It uses the program's own link,
// settings and cabinet control, and the chart for pictures of a log.
#pragma once
#include <atomic>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QCoreApplication;

namespace kvel {

// kvelctl, the console companion: info, read, watch and regs against the module, on the
// program's own link. Returns the exit status: 0 success, 1 link failure (the transaction's
// text on `err`), 2 bad usage. `stop` ends a watch (Ctrl-C).
int runCtl(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           const std::atomic<bool>& stop);

// A whole decimal number within [low, high] and nothing else; none otherwise. The commands'
// operands and options are read with it.
std::optional<int> parseInt(const std::string& text, int low, int high);

// The event loop's application for the commands that wait for the monitoring session's
// signals; none when there is one already (a test's).
std::unique_ptr<QCoreApplication> coreApplication();

}  // namespace kvel
