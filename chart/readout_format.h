// Texts of the chart's read-outs: values in a short general format, times as "hh:nn:ss".
#pragma once

#include <string>

namespace kvel {

// General format with 4 significant digits: fixed notation while the rounded value has at most
// 4 integer digits and a magnitude of at least 0.00001, otherwise "d.dddE±x" with the fewest
// exponent digits; trailing zeros dropped, "." as the decimal point ("25.85", "-0.5",
// "1.235E4", "1E-6"). Not-a-number and infinities are written "NAN", "INF", "-INF".
std::string formatGeneral4(double value);

// The time of day of a point in time (days since 30.12.1899) as "hh:nn:ss"; for a span the part
// below one day.
std::string formatTimeOfDay(double days);

// "dd.mm.yy hh:nn:ss": a point in time on a view of more than one day.
std::string formatDateTime(double days);

// A span: "hh:nn:ss" below one day, "10 д 12:08:58" from one day on.
std::string formatSpan(double days);

// A reading as the log holds it: two decimals ("856.27", "-0.50").
std::string formatReading(double value);

}  // namespace kvel
