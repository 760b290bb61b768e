// Floor 3, core/: what the program does without widgets. The monitoring session (the link, its
// thread, the poll cycle, the module settings operations and cabinet control) and the
// measurement log, the program settings' fields and the port list, the model of the line
// traffic and the reading of logs. It stands on link/ and config/; the windows and kvelctl
// drive it, and tests drive it directly.
#pragma once
#include <string>

#include "config/mem_ini.h"
#include "core/poll_result.h"
#include "link/module_link.h"

namespace kvel {

// One poll of the module: open the port when needed, identify once per connection, read the
// measurements and the relays; any failure shows the link as lost, and the next poll starts
// again from the top. The poll runs on the link thread and returns what it found; the log line
// is written by the thread that shows the result (writeLog).
class PollCycle {
  public:
    PollCycle(ModuleLink& link, MemIni& ini, std::string startupDirectory);

    PollResult poll();
    // Appends the result's measurements to the log when `file`/`save` asks for it.
    void writeLog(const PollResult& result);

    // `file`/`name` when it is missing: the start-up directory with "1.txt" appended.
    std::string defaultLogName() const { return startupDirectory_ + "1.txt"; }

  private:
    void showLinkLost(PollResult& result, const LinkFailure& failure, bool keepStatus);
    static void takeRelays(PollResult& result, std::uint16_t relayWord);
    int moduleAddress() const { return ini_.readInteger(keys::kModuleAddress); }

    ModuleLink& link_;
    MemIni& ini_;
    std::string startupDirectory_;
};

}  // namespace kvel
