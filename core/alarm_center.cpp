#include "core/alarm_center.h"

#include "config/channel_name.h"
#include "core/alarm_log.h"
#include "core/shown_text.h"
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
        error = shownText(ini_.lastFailure());
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
        showMessage(
            shownText(QT_TRANSLATE_NOOP("KvelView", "Ошибка записи журнала сигнализации %1: %2"),
                      {file, error}),
            "Ошибка");
    }
    if (monitor_.rules().notify) {
        // The desktop's notifications are shown in the language of the windows.
        const auto shown = [](const char* source, std::initializer_list<std::string> args = {}) {
            return QString::fromStdString(shownText(source, args));
        };
        for (const AlarmEvent& event : events) {
            if (event.type != AlarmEventType::Raised) continue;
            const Alarm& a = event.alarm;
            if (a.kind == AlarmKind::Link) {
                notifier_.notify(
                    shown(QT_TRANSLATE_NOOP("KvelView", "Тревога: нет связи с модулем")),
                    shown(QT_TRANSLATE_NOOP("KvelView", "Модуль не отвечает")));
                continue;
            }
            const std::string kind = shownText(alarmKindText(a.kind));
            QString body = QString::fromStdString(channelName(a)) + ": ";
            if (a.kind == AlarmKind::Sensor) {
                body += QString::fromStdString(kind);
            } else {
                body += shown(QT_TRANSLATE_NOOP("KvelView", "%1 гр.С"),
                              {alarmValueField(a, event.value)});
            }
            if (a.limit) {
                body +=
                    shown(QT_TRANSLATE_NOOP("KvelView", ", предел %1 гр.С"), {alarmLimitField(a)});
            }
            notifier_.notify(shown(QT_TRANSLATE_NOOP("KvelView", "Тревога: канал %1, %2"),
                                   {std::to_string(a.channel), kind}),
                             body);
        }
    }
    emit alarmsChanged();
}

}  // namespace kvel
