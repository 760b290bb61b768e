#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/poll_readings.h"
#include "link/module_map.h"
#include "link/traffic_tap.h"
#include "link/transactions.h"

namespace kvel {

// What one poll of the module brought, handed from the link thread to the windows as a value:
// what the status bar, the link indicator, the grid and the relay lamps show after it, the
// measurement record for the chart and the log, and the readings for the alarms.
struct PollResult {
    // Panel 0: "МОДУЛЬ НА СВЯЗИ", why the link is down, or "Ошибка открытия порта".
    std::string linkStatus;
    // Panel 1, when this poll identified the module: "Метрологическая версия ПО  N".
    std::optional<std::string> versionStatus;
    bool linkUp = false;
    // The grid's column 1, channel 1 first: a reading or kNoReading for every channel.
    std::vector<std::string> channelTexts;
    std::array<bool, kRelayCount> relays{};
    // The measurements read, for the chart and the log; none when the read failed.
    std::optional<ReadTransaction> measurements;
    PollReadings readings;
    int channelCount = 0;
    double durationSeconds = 0;  // the poll's time on the line
    TrafficCounters counters;    // the line's counters after the poll
    // What opening the port had to tell (a device that is no serial port), for a box.
    std::vector<std::string> portNotices;
};

}  // namespace kvel
