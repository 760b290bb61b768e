#include "monitor/poll_interval.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace kvel {

int PollIntervalMs(int periodSeconds) {
    const std::int64_t ms = std::int64_t{periodSeconds} * 1000;
    return static_cast<int>(std::clamp<std::int64_t>(ms, 0, std::numeric_limits<int>::max()));
}

}  // namespace kvel
