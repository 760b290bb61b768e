#pragma once
#include "link/line_pause.h"

namespace kvel {

// While module exchanges block the window: a busy cursor, and the windows are repainted
// during the link's fixed pauses. User input waits until the exchanges are over.
class TBusyScope {
  public:
    TBusyScope();
    ~TBusyScope();
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

  private:
    bool outermost_;
};

}  // namespace kvel
