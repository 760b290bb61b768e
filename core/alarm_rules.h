#pragma once
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "config/mem_ini.h"
#include "link/module_map.h"

namespace kvel {

// What raises an alarm, as mem.ini's [alarms] holds it: limits per channel in °C, the
// hysteresis a value must come back by before its alarm clears, the delay a condition must hold
// before it is raised, and which faults count.
struct AlarmRules {
    // Index = channel number (1..kMaxChannels); index 0 is unused.
    std::array<std::optional<double>, kMaxChannels + 1> high{};
    std::array<std::optional<double>, kMaxChannels + 1> low{};
    double hysteresis = 1.0;
    double delaySeconds = 0.0;
    bool sensor = true;  // a channel without a reading while the link is up
    bool link = true;    // the module not answering
    bool notify = true;  // desktop notifications
    std::string logFile = "alarms.txt";

    bool operator==(const AlarmRules&) const = default;
};

// The rules as text fields (the alarm window's values): what the user typed, checked before it
// is stored. Empty limit fields mean no limit.
struct AlarmRulesForm {
    std::array<std::string, kMaxChannels + 1> high{};
    std::array<std::string, kMaxChannels + 1> low{};
    std::string hysteresis = "1.0";
    std::string delay = "0";
    bool sensor = true;
    bool link = true;
    bool notify = true;
    std::string logFile = "alarms.txt";
};

// A number with "." as its decimal point and nothing else around it.
std::optional<double> parseDecimal(const std::string& text);
// The shortest text with "." that reads back as the same number: 80, 80.5, -0.25.
std::string decimalText(double value);
// "%.2f" with "."; trailing zeros kept so that limits line up in lists.
std::string formatCelsius(double celsius);

// The form's fields turned into rules; nullopt with the message for the first field at fault.
std::optional<AlarmRules> rulesFromForm(const AlarmRulesForm& form, std::string& error);
AlarmRulesForm formFromRules(const AlarmRules& rules);

// Reads [alarms]. A value that cannot be read (a hand-edited "8o.5") is left out, and `problems`
// gets a line naming the key, so that the program can say so rather than watch silently
// without it.
AlarmRules loadAlarmRules(const MemIni& ini, std::vector<std::string>* problems = nullptr);
// Writes every key of [alarms]; limits that are not set are removed as empty values.
void storeAlarmRules(const AlarmRules& rules, MemIni& ini);

}  // namespace kvel
