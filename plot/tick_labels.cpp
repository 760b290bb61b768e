#include "plot/tick_labels.h"

#include <QLocale>
#include <algorithm>
#include <cmath>
#include <cstdio>

namespace kvel {

namespace {

// Decimal exponent of |v|, v not zero.
int decade(double v) {
    return int(std::floor(std::log10(std::fabs(v))));
}

QString dropTrailingZeros(QString s) {
    if (!s.contains('.')) return s;
    while (s.endsWith('0')) s.chop(1);
    if (s.endsWith('.')) s.chop(1);
    return s;
}

// Whether the labels shown with stride s leave room between them and all differ.
bool fits(const std::vector<LabelExtent>& labels, const std::vector<bool>& shown, int gap) {
    std::vector<const LabelExtent*> order;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (shown[i]) order.push_back(&labels[i]);
    }
    if (order.empty()) return false;
    std::sort(order.begin(), order.end(),
              [](const LabelExtent* a, const LabelExtent* b) { return a->from < b->from; });
    for (std::size_t i = 1; i < order.size(); ++i) {
        if (order[i]->from - order[i - 1]->to < gap) return false;
        for (std::size_t j = 0; j < i; ++j) {
            if (order[i]->text == order[j]->text) return false;
        }
    }
    return true;
}

}  // namespace

QString exponentLabel(double value, double unit) {
    if (value == 0 || !std::isfinite(value)) return QLocale::c().toString(value, 'g', 15);
    const int digits =
        std::clamp(unit > 0 && std::isfinite(unit) ? decade(value) - decade(unit) + 1 : 15, 1, 15);
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", digits - 1, value);
    const QString s = QString::fromLatin1(buf);
    const int e = s.indexOf('e');
    return dropTrailingZeros(s.left(e)) + 'E' + QString::number(s.mid(e + 1).toInt());
}

QString fixedLabel(double value, double unit) {
    if (value == 0) return QStringLiteral("0");
    const int decimals =
        unit > 0 && std::isfinite(unit) ? std::clamp(-decade(unit * (1 + 1e-9)), 0, 17) : 0;
    if (std::isfinite(value) && std::fabs(value) < 1e10) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
        QString s = dropTrailingZeros(QString::fromLatin1(buf));
        if (s == "-0") s = "0";
        if (s.size() <= kLongestFixedLabel) return s;
    }
    return exponentLabel(value, unit);
}

double dateTimeResolution(const QString& format) {
    if (format.contains('z')) return 1.0 / 86'400'000;
    if (format.contains('s')) return 1.0 / 86'400;
    if (format.contains('m')) return 1.0 / 1440;  // "MM" is the month
    if (format.contains('h') || format.contains('H')) return 1.0 / 24;
    return 1.0;
}

QString decimalsLabel(double value, int decimals) {
    QString s = QLocale::c().toString(value, 'f', std::max(decimals, 0));
    if (s.contains('.')) {
        while (s.endsWith('0')) s.chop(1);
        if (s.endsWith('.')) s.chop(1);
    }
    // A value that rounds to zero is written without its sign.
    if (s == QLatin1String("-0")) s = QStringLiteral("0");
    return s;
}

std::vector<bool> thinLabels(const std::vector<LabelExtent>& labels, int gap) {
    const long long n = static_cast<long long>(labels.size());
    std::vector<bool> shown(labels.size(), false);
    if (n == 0) return shown;
    // Round strides first, so that the labels keep to round steps of the grid.
    std::vector<long long> strides = {1, 2, 4, 5, 10, 20};
    for (long long s = 3; s <= 2 * n; ++s) {
        if (std::find(strides.begin(), strides.end(), s) == strides.end()) strides.push_back(s);
    }
    for (const long long s : strides) {
        for (std::size_t i = 0; i < labels.size(); ++i) {
            shown[i] = ((labels[i].grid % s) + s) % s == 0;
        }
        if (fits(labels, shown, gap)) return shown;
    }
    std::fill(shown.begin(), shown.end(), false);
    shown[0] = true;
    return shown;
}

}  // namespace kvel
