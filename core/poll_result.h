#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/poll_readings.h"
#include "link/module_map.h"
#include "link/text_mark.h"
#include "link/traffic_tap.h"
#include "link/transactions.h"

namespace kvel {

// Panel 1's text once the module is identified; %1 is the software version.
inline constexpr char kVersionStatus[] =
    QT_TRANSLATE_NOOP("KvelView", "Метрологическая версия ПО  %1");
// The same in Russian, the version put in.
inline std::string versionStatusText(int version) {
    std::string text = kVersionStatus;
    return text.replace(text.find("%1"), 2, std::to_string(version));
}

// What one poll of the module brought, handed from the link thread to the windows as a value:
// what the status bar, the link indicator, the grid and the relay lamps show after it, the
// measurement record for the chart and the log, and the readings for the alarms.
struct PollResult {
    // Panel 0: "МОДУЛЬ НА СВЯЗИ", why the link is down, or "Ошибка открытия порта".
    std::string linkStatus;
    // Why the link is down, when an exchange failed: the window makes its text from this.
    LinkFailure linkFailure;
    // Panel 1, when this poll identified the module: the software version read
    // (versionStatusText).
    std::optional<int> softwareVersion;
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
