#include "plot/date_time.h"

#include <QLocale>
#include <cmath>

namespace kvel {

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr double kMSecsPerDay = 86400000.0;
}  // namespace

double dateTimeFromQDateTime(const QDateTime& dt) {
    const QDateTime local = dt.toLocalTime();
    const double days = double(kEpoch.daysTo(local.date()));
    const double frac = local.time().msecsSinceStartOfDay() / kMSecsPerDay;
    // Before the epoch the day part is negative but the time of day still adds its size.
    return days >= 0 ? days + frac : days - frac;
}

DateTimeParts decodeDateTime(double value) {
    double dayPart = std::trunc(value);
    double ms = std::round(std::fabs(value - dayPart) * kMSecsPerDay);
    if (ms >= kMSecsPerDay) {  // 23:59:59.9996 rounds to the next midnight
        ms -= kMSecsPerDay;
        dayPart += value < 0 ? -1 : 1;
    }
    const QDate date = kEpoch.addDays(qint64(dayPart));
    const int msec = int(ms);
    return {date.year(),       date.month(),     date.day(), msec / 3600000,
            msec / 60000 % 60, msec / 1000 % 60, msec % 1000};
}

QDateTime QDateTimeFromDateTime(double value) {
    const DateTimeParts d = decodeDateTime(value);
    return QDateTime(QDate(d.Year, d.Month, d.Day), QTime(d.Hour, d.Minute, d.Second, d.MSec));
}

QString dateTimeText(double value, const QString& format) {
    const DateTimeParts d = decodeDateTime(value);
    const QDateTime utc(QDate(d.Year, d.Month, d.Day), QTime(d.Hour, d.Minute, d.Second, d.MSec),
                        Qt::UTC);
    return QLocale::c().toString(utc, format);
}

}  // namespace kvel
