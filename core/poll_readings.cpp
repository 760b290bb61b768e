#include "core/poll_readings.h"

#include "link/module_map.h"

namespace kvel {

PollReadings readingsFromRecord(const ReadTransaction& record, int channelCount, std::time_t at) {
    PollReadings readings{at, true, {}};
    for (int k = 0; k < channelCount && k < kMaxChannels; ++k) {
        const std::uint16_t raw = record.registers[k];
        readings.channels.push_back(raw == 0 ? std::optional<double>()
                                             : std::optional<double>(temperature(raw)));
    }
    return readings;
}

}  // namespace kvel
