// Tick labels that can be read: numbers too long for the fixed form in exponent form, forms
// that tell the ticks apart when the axis's own pattern cannot, and labels thinned out where
// they would run into each other.
#pragma once

#include <QString>
#include <vector>

namespace kvel {

// The longest number label, in characters, that is still written in fixed form.
inline constexpr int kLongestFixedLabel = 10;

// `value` to the place of `unit` (the smallest difference between ticks): fixed ("0.0035",
// "-120") when that takes at most kLongestFixedLabel characters, else exponentLabel.
QString fixedLabel(double value, double unit);
// `value` in exponent form with the significant digits that `unit` needs, trailing zeros
// dropped: "-4.4E307", "1.5E-12"; zero is "0".
QString exponentLabel(double value, double unit);

// The smallest time unit a QDateTime format shows, in days: a millisecond, a second, a
// minute, an hour or a day.
double dateTimeResolution(const QString& format);

// `value` with at most `decimals` decimals, trailing zeros dropped, "." the decimal point
// whatever the locale: "12.5", "-3", "0".
QString decimalsLabel(double value, int decimals);

// One label along its axis: the pixels it covers there, its text, and the place of its tick in
// the tick grid (whole steps from a fixed origin, so that the same ticks keep their labels
// while the grid scrolls).
struct LabelExtent {
    int from = 0;
    int to = 0;
    QString text;
    long long grid = 0;
};

// Which labels to draw: those of every s-th grid place, s the smallest stride that leaves at
// least `gap` pixels between neighbours and no two texts alike. One label at least.
std::vector<bool> thinLabels(const std::vector<LabelExtent>& labels, int gap);

}  // namespace kvel
