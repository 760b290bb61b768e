// What one poll leaves for the publishers: the readings, the relays as shown, the channels'
// names and the line's counters, taken when the poll ended.
#pragma once
#include <array>
#include <string>
#include <vector>

#include "core/poll_readings.h"
#include "link/module_map.h"
#include "link/traffic_tap.h"

namespace kvel {

struct PollSnapshot {
    PollReadings readings;  // readings.channels is empty when the link is down
    int channelCount = 0;   // channels the module has (15 or 30)
    std::array<bool, kRelayCount> relays{};
    std::vector<std::string> names;  // channel 1..channelCount, as the grid shows them
    double durationSeconds = 0;      // the poll's time on the line
    TrafficCounters counters;
    int utcOffsetSeconds = 0;  // of the local time at `readings.at`
};

}  // namespace kvel
