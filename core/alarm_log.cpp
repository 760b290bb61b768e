#include "core/alarm_log.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QtGlobal>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "config/safe_file.h"

namespace kvel {

const char* alarmKindWord(AlarmKind kind) {
    switch (kind) {
        case AlarmKind::High:
            return "high";
        case AlarmKind::Low:
            return "low";
        case AlarmKind::Sensor:
            return "sensor";
        case AlarmKind::Link:
            return "link";
    }
    return "";
}

const char* alarmEventWord(AlarmEventType type) {
    switch (type) {
        case AlarmEventType::Raised:
            return "raised";
        case AlarmEventType::Cleared:
            return "cleared";
        case AlarmEventType::Acknowledged:
            return "acknowledged";
    }
    return "";
}

const char* alarmKindText(AlarmKind kind) {
    switch (kind) {
        case AlarmKind::High:
            return QT_TRANSLATE_NOOP("KvelView", "выше предела");
        case AlarmKind::Low:
            return QT_TRANSLATE_NOOP("KvelView", "ниже предела");
        case AlarmKind::Sensor:
            return QT_TRANSLATE_NOOP("KvelView", "нет показаний");
        case AlarmKind::Link:
            return QT_TRANSLATE_NOOP("KvelView", "нет связи");
    }
    return "";
}

const char* alarmStateText(const Alarm& alarm) {
    if (!alarm.active()) return QT_TRANSLATE_NOOP("KvelView", "снята, не квитирована");
    return alarm.acknowledged ? QT_TRANSLATE_NOOP("KvelView", "квитирована")
                              : QT_TRANSLATE_NOOP("KvelView", "не квитирована");
}

std::string alarmChannelField(const Alarm& alarm) {
    return alarm.kind == AlarmKind::Link ? "-" : std::to_string(alarm.channel);
}

std::string alarmValueField(const Alarm& alarm, const std::optional<double>& value) {
    if (alarm.kind == AlarmKind::Link) return "";
    return value ? formatCelsius(*value) : "---";
}

std::string alarmLimitField(const Alarm& alarm) {
    return alarm.limit ? formatCelsius(*alarm.limit) : "";
}

std::string alarmLogHeader() {
    return "Дата\tВремя\tКанал\tИмя\tВид\tЗначение\tПредел\tСобытие\t\r\n";
}

std::string alarmEventText(const AlarmEvent& event, const std::string& channelName) {
    std::tm local{};
    ::localtime_r(&event.at, &local);
    char stamp[40];
    std::snprintf(stamp, sizeof stamp, "%02d.%02d.%02d\t%02d:%02d:%02d\t", local.tm_mday,
                  local.tm_mon + 1, local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
    const Alarm& a = event.alarm;
    return stamp + alarmChannelField(a) + '\t' + channelName + '\t' + alarmKindWord(a.kind) + '\t' +
           alarmValueField(a, event.value) + '\t' + alarmLimitField(a) + '\t' +
           alarmEventWord(event.type) + '\t';
}

std::string alarmLogLine(const AlarmEvent& event, const std::string& channelName) {
    return alarmEventText(event, channelName) + "\r\n";
}

bool appendAlarmLog(const std::string& fileName, const std::vector<std::string>& lines,
                    std::string& error) {
    const int fd = ::open(fileName.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    bool written = ::fstat(fd, &st) == 0 && (st.st_size > 0 || appendWhole(fd, alarmLogHeader()));
    for (std::size_t k = 0; written && k < lines.size(); ++k) written = appendWhole(fd, lines[k]);
    if (!written) error = std::strerror(errno != 0 ? errno : EIO);
    if (::close(fd) != 0 && written) {
        written = false;
        error = std::strerror(errno);
    }
    return written;
}

}  // namespace kvel
