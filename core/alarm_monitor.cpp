#include "core/alarm_monitor.h"

#include <algorithm>

namespace kvel {

std::vector<AlarmEvent> AlarmMonitor::evaluate(const PollReadings& readings) {
    std::vector<AlarmEvent> events;
    update(0, AlarmKind::Link, rules_.link && !readings.linkUp, std::nullopt, std::nullopt,
           readings.at, events);
    const double hysteresis = rules_.hysteresis;
    for (int n = 1; n <= kMaxChannels; ++n) {
        const auto index = static_cast<std::size_t>(n);
        const bool present = index <= readings.channels.size();
        const std::optional<double> value =
            present ? readings.channels[index - 1] : std::optional<double>();
        // Without the link nothing is known of the channels: their alarms stay as they are.
        // A channel the module does not have (fewer channels now) holds no condition.
        const auto known = [&](auto condition) -> std::optional<bool> {
            if (!readings.linkUp) return std::nullopt;
            if (!present) return false;
            return condition();
        };
        update(n, AlarmKind::Sensor, known([&] { return rules_.sensor && !value; }), value,
               std::nullopt, readings.at, events);
        const auto limitCondition = [&](AlarmKind kind, const std::optional<double>& limit) {
            const bool active = condition(n, kind).alarmId != 0;
            return known([&]() -> std::optional<bool> {
                if (!limit) return false;
                if (!value) return std::nullopt;  // no reading: its sensor alarm says so
                // Once raised, the value has to come back by the hysteresis to clear.
                if (kind == AlarmKind::High) {
                    return active ? *value > *limit - hysteresis : *value > *limit;
                }
                return active ? *value < *limit + hysteresis : *value < *limit;
            });
        };
        update(n, AlarmKind::High, limitCondition(AlarmKind::High, rules_.high[index]), value,
               rules_.high[index], readings.at, events);
        update(n, AlarmKind::Low, limitCondition(AlarmKind::Low, rules_.low[index]), value,
               rules_.low[index], readings.at, events);
    }
    return events;
}

void AlarmMonitor::update(int channel, AlarmKind kind, std::optional<bool> holds,
                          std::optional<double> value, std::optional<double> limit, std::time_t at,
                          std::vector<AlarmEvent>& events) {
    Condition& c = condition(channel, kind);
    if (!holds) {
        c.since.reset();
        return;
    }
    if (*holds) {
        if (c.alarmId != 0) return;
        if (!c.since) c.since = at;
        if (std::difftime(at, *c.since) < rules_.delaySeconds) return;
        Alarm alarm;
        alarm.id = nextId_++;
        alarm.channel = channel;
        alarm.kind = kind;
        alarm.value = value;
        alarm.limit = limit;
        alarm.raisedAt = at;
        alarms_.push_back(alarm);
        c = {std::nullopt, alarm.id};
        events.push_back({AlarmEventType::Raised, at, value, alarm});
        return;
    }
    c.since.reset();
    if (c.alarmId == 0) return;
    Alarm* active = find(c.alarmId);  // an active alarm is never dropped
    c.alarmId = 0;
    if (!active) return;
    active->clearedAt = at;
    events.push_back({AlarmEventType::Cleared, at, value, *active});
    dropFinished();
}

std::vector<AlarmEvent> AlarmMonitor::acknowledge(int id, std::time_t at) {
    Alarm* alarm = find(id);
    if (!alarm || alarm->acknowledged) return {};
    alarm->acknowledged = true;
    std::vector<AlarmEvent> events{{AlarmEventType::Acknowledged, at, alarm->value, *alarm}};
    dropFinished();
    return events;
}

std::vector<AlarmEvent> AlarmMonitor::acknowledgeAll(std::time_t at) {
    std::vector<int> ids;
    for (const Alarm& alarm : alarms_) {
        if (!alarm.acknowledged) ids.push_back(alarm.id);
    }
    std::vector<AlarmEvent> events;
    for (const int id : ids) {
        for (AlarmEvent& event : acknowledge(id, at)) events.push_back(std::move(event));
    }
    return events;
}

int AlarmMonitor::unacknowledgedCount() const {
    return static_cast<int>(std::count_if(alarms_.begin(), alarms_.end(),
                                          [](const Alarm& a) { return !a.acknowledged; }));
}

ChannelAlarmState AlarmMonitor::channelState(int channel) const {
    ChannelAlarmState state = ChannelAlarmState::None;
    for (const Alarm& a : alarms_) {
        if (a.channel != channel) continue;
        const ChannelAlarmState s = a.acknowledged ? ChannelAlarmState::Acknowledged
                                    : a.active()   ? ChannelAlarmState::Raised
                                                   : ChannelAlarmState::ClearedUnacknowledged;
        state = std::max(state, s);
    }
    return state;
}

Alarm* AlarmMonitor::find(int id) {
    const auto it =
        std::find_if(alarms_.begin(), alarms_.end(), [id](const Alarm& a) { return a.id == id; });
    return it == alarms_.end() ? nullptr : &*it;
}

void AlarmMonitor::dropFinished() {
    std::erase_if(alarms_, [](const Alarm& a) { return a.acknowledged && !a.active(); });
}

}  // namespace kvel
