#pragma once
#include <functional>

#include "link/line_pause.h"
#include "link/message_sink.h"

namespace kvel {

// While module exchanges block the window: a busy cursor, and the windows are repainted
// during the link's fixed pauses. User input waits until the exchanges are over. A message
// box waits for the user, so the busy indication ends before any box: `beforeBox` ends what
// the caller shows besides the cursor (a progress panel).
class BusyScope {
  public:
    explicit BusyScope(std::function<void()> beforeBox = {});
    ~BusyScope();
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    bool outermost_;
    MessageSink previousSink_;
};

}  // namespace kvel
