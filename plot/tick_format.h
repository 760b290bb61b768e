// Formatting of tick labels by the two pattern languages the program uses, always with
// "." as the decimal separator whatever the locale.
#pragma once

#include <QString>

// Number patterns such as "###0.##" or "0.000": '0' a digit always shown, '#' a digit shown
// only when significant, '.' the decimal point, ',' anywhere in the integer part groups
// thousands with a space, text in quotes copied; up to three sections "pos;neg;zero".
// A value that rounds to zero is written without a minus sign.
QString formatFloatPattern(const QString& pattern, double value);

// Date-time patterns such as "hh:nn:ss" or "dd.mm.yy": d, dd, m, mm, yy, yyyy for the date,
// h, hh, n, nn, s, ss, z, zzz for the time ("m"/"mm" right after an hour means minutes),
// "/" the date separator ".", text in quotes or any other character copied.
QString formatDateTimePattern(const QString& pattern, double value);
