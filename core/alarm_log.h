#pragma once
#include <string>
#include <vector>

#include "core/alarm_monitor.h"

namespace kvel {

// Words that scripts read (the alarm log, kvelctl): high, low, sensor, link; raised, cleared,
// acknowledged.
const char* alarmKindWord(AlarmKind kind);
const char* alarmEventWord(AlarmEventType type);
// What the window and the notifications say, marked for the translation (context "KvelView");
// the alarm log writes them as they are.
const char* alarmKindText(AlarmKind kind);
const char* alarmStateText(const Alarm& alarm);

// The channel field: its number, "-" for the link.
std::string alarmChannelField(const Alarm& alarm);
// A value or limit in °C with "."; "---" for a channel without a reading, empty when the kind
// has none (a link alarm).
std::string alarmValueField(const Alarm& alarm, const std::optional<double>& value);
std::string alarmLimitField(const Alarm& alarm);

// The alarm log, laid out as the measurement log: a header when the file is new, then one line
// per event, every field followed by a TAB, CR LF at the end:
// date, time, channel, name, kind, value, limit, event.
std::string alarmLogHeader();
std::string alarmLogLine(const AlarmEvent& event, const std::string& channelName);
// The event's line without the line end, for a terminal.
std::string alarmEventText(const AlarmEvent& event, const std::string& channelName);

// Appends the lines, each written whole or not at all, to `fileName`, starting it with the
// header when it is new or empty. False with the system's reason in `error`.
bool appendAlarmLog(const std::string& fileName, const std::vector<std::string>& lines,
                    std::string& error);

}  // namespace kvel
