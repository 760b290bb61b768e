// A point in time as the program keeps it: a double counting days since
// 30 December 1899 00:00 local time, the fraction being the time of day
// (for negative values the fraction still counts forward from midnight).
#pragma once

#include <QDateTime>

namespace kvel {

double dateTimeFromQDateTime(const QDateTime& dt);
// Rounds to the nearest millisecond, as the labels and the log show whole milliseconds.
QDateTime QDateTimeFromDateTime(double value);

struct DateTimeParts {
    int Year, Month, Day, Hour, Minute, Second, MSec;
};
// Calendar and clock fields of a day number, without any time-zone conversion.
DateTimeParts decodeDateTime(double value);
// The day number written by a QDateTime format ("dd.MM.yy hh:mm:ss"), rounded to the
// millisecond, without any time-zone conversion (a clock time skipped by summer time still
// shows as it was stored).
QString dateTimeText(double value, const QString& format);

}  // namespace kvel
