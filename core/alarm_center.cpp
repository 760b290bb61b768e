#include "core/alarm_center.h"

#include "config/channel_name.h"
#include "core/alarm_log.h"
#include "link/message_sink.h"

namespace kvel {

AlarmCenter::AlarmCenter(MemIni& ini, QObject* parent) : QObject(parent), ini_(ini) {}

void AlarmCenter::loadRules(std::vector<std::string>* problems) {
    monitor_.setRules(loadAlarmRules(ini_, problems));
    if (monitor_.rules().notify) notifier_.probe();
}

bool AlarmCenter::applyRules(const AlarmRules& rules, std::string& error) {
    const bool notifyTurnedOn = rules.notify && !monitor_.rules().notify;
    monitor_.setRules(rules);
    storeAlarmRules(rules, ini_);
    if (notifyTurnedOn) notifier_.probe();
    if (!ini_.updateFile()) {
        error = ini_.lastError();
        return false;
    }
    return true;
}

void AlarmCenter::evaluate(const PollReadings& readings) {
    record(monitor_.evaluate(readings));
}

void AlarmCenter::acknowledge(int id) {
    record(monitor_.acknowledge(id, std::time(nullptr)));
}

void AlarmCenter::acknowledgeAll() {
    record(monitor_.acknowledgeAll(std::time(nullptr)));
}

std::string AlarmCenter::channelName(const Alarm& alarm) const {
    return alarm.kind == AlarmKind::Link ? std::string() : channelName(alarm.channel);
}

std::string AlarmCenter::channelName(int channel) const {
    return gridChannelName(ini_, channel);
}

void AlarmCenter::record(const std::vector<AlarmEvent>& events) {
    if (events.empty()) return;
    std::vector<std::string> lines;
    for (const AlarmEvent& event : events) {
        lines.push_back(alarmLogLine(event, channelName(event.alarm)));
    }
    const std::string& file = monitor_.rules().logFile;
    std::string error;
    if (appendAlarmLog(file, lines, error)) {
        logFailureShown_ = false;
    } else if (!logFailureShown_) {
        // Once until the log can be written again: a box per poll would bury the window.
        logFailureShown_ = true;
        showMessage("Ошибка записи журнала сигнализации " + file + ": " + error, "Ошибка");
    }
    if (monitor_.rules().notify) {
        for (const AlarmEvent& event : events) {
            if (event.type != AlarmEventType::Raised) continue;
            const Alarm& a = event.alarm;
            if (a.kind == AlarmKind::Link) {
                notifier_.notify("Тревога: нет связи с модулем", "Модуль не отвечает");
                continue;
            }
            QString body = QString::fromStdString(channelName(a)) + ": ";
            if (a.kind == AlarmKind::Sensor) {
                body += alarmKindText(a.kind);
            } else {
                body += QString::fromStdString(alarmValueField(a, event.value)) + " гр.С";
            }
            if (a.limit) {
                body += ", предел " + QString::fromStdString(alarmLimitField(a)) + " гр.С";
            }
            notifier_.notify(
                "Тревога: канал " + QString::number(a.channel) + ", " + alarmKindText(a.kind),
                body);
        }
    }
    emit alarmsChanged();
}

}  // namespace kvel
