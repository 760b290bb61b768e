#pragma once
#include <ostream>

#include "link/traffic_format.h"
#include "link/traffic_tap.h"

namespace kvel {

// kvelctl's --trace: each transaction of the tap as one line on the stream, from its making
// until its end. It ends before the tap's link does.
class TrafficTrace final : public TrafficListener {
  public:
    TrafficTrace(TrafficTap& tap, std::ostream& out) : tap_(tap), out_(out) {
        tap_.addListener(this);
    }
    ~TrafficTrace() { tap_.removeListener(this); }
    TrafficTrace(const TrafficTrace&) = delete;
    TrafficTrace& operator=(const TrafficTrace&) = delete;

    void transactionRecorded(const TrafficRecord& record) override {
        out_ << trafficLine(record) << std::endl;
    }

  private:
    TrafficTap& tap_;
    std::ostream& out_;
};

}  // namespace kvel
