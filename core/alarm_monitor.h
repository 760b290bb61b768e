#pragma once
#include <array>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "core/alarm_rules.h"
#include "core/poll_readings.h"

namespace kvel {

enum class AlarmKind { High, Low, Sensor, Link };

// An alarm as plant alarm systems keep it: raised and waiting for acknowledgement, then either
// acknowledged while its condition lasts, or cleared before anybody acknowledged it; it leaves
// the list once it is both cleared and acknowledged.
struct Alarm {
    int id = 0;
    int channel = 0;  // 0 for the link
    AlarmKind kind = AlarmKind::High;
    std::optional<double> value;  // at the raise
    std::optional<double> limit;
    std::time_t raisedAt = 0;
    std::optional<std::time_t> clearedAt;
    bool acknowledged = false;

    bool active() const { return !clearedAt; }
};

enum class AlarmEventType { Raised, Cleared, Acknowledged };

struct AlarmEvent {
    AlarmEventType type = AlarmEventType::Raised;
    std::time_t at = 0;
    std::optional<double> value;  // the channel's value at the event (at the raise for an
                                  // acknowledgement)
    Alarm alarm;                  // as it stands after the event
};

// How the grid shows a channel: the most urgent of its listed alarms.
enum class ChannelAlarmState { None, Acknowledged, ClearedUnacknowledged, Raised };

// Evaluates the rules after every poll and keeps the alarms. No clock of its own: every call
// says when it happens, so the times are those of the measurement log.
class AlarmMonitor {
  public:
    void setRules(const AlarmRules& rules) { rules_ = rules; }
    const AlarmRules& rules() const { return rules_; }

    std::vector<AlarmEvent> evaluate(const PollReadings& readings);
    // Acknowledges one listed alarm (by id) or every unacknowledged one.
    std::vector<AlarmEvent> acknowledge(int id, std::time_t at);
    std::vector<AlarmEvent> acknowledgeAll(std::time_t at);

    // Active alarms and cleared ones not yet acknowledged, oldest first.
    const std::vector<Alarm>& alarms() const { return alarms_; }
    int unacknowledgedCount() const;
    ChannelAlarmState channelState(int channel) const;

  private:
    struct Condition {
        std::optional<std::time_t> since;  // holding since, not yet raised (the delay)
        int alarmId = 0;                   // the active alarm of this condition, 0 for none
    };
    // `holds`: the condition now; none when this poll cannot tell (no reading, no link).
    void update(int channel, AlarmKind kind, std::optional<bool> holds, std::optional<double> value,
                std::optional<double> limit, std::time_t at, std::vector<AlarmEvent>& events);
    Alarm* find(int id);
    void dropFinished();

    AlarmRules rules_;
    static constexpr int kKinds = 4;
    Condition& condition(int channel, AlarmKind kind) {
        return conditions_[static_cast<std::size_t>(channel * kKinds + static_cast<int>(kind))];
    }
    std::array<Condition, (kMaxChannels + 1) * kKinds> conditions_{};
    std::vector<Alarm> alarms_;
    int nextId_ = 1;
};

}  // namespace kvel
