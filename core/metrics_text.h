// The Prometheus text exposition of the last poll.
#pragma once
#include <cstdint>
#include <string>

#include "core/poll_snapshot.h"

namespace kvel {

// The polls seen so far and the last one; `text()` is what /metrics answers.
class PollMetrics {
  public:
    void add(const PollSnapshot& snapshot);
    // Empty until the first poll has ended: an exporter with nothing to say says nothing.
    std::string text() const;

  private:
    PollSnapshot last_;
    std::uint64_t polls_ = 0;
    double durationSum_ = 0;
};

// A label value with Prometheus' escapes: backslash, double quote and line feed.
std::string metricsLabel(const std::string& value);

}  // namespace kvel
