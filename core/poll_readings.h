#pragma once
#include <ctime>
#include <optional>
#include <vector>

#include "link/transactions.h"

namespace kvel {

// What one poll brought: whether the module answered (`linkUp`) and, then, the value of each
// channel in °C (index 0 = channel 1), none where the channel has no reading.
struct PollReadings {
    std::time_t at = 0;
    bool linkUp = false;
    std::vector<std::optional<double>> channels;
};

// The readings of a measurement read: `channelCount` registers, raw 0 for no reading.
PollReadings readingsFromRecord(const ReadTransaction& record, int channelCount, std::time_t at);

}  // namespace kvel
