#include "chart/readout_format.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "plot/date_time.h"

namespace kvel {
namespace {

constexpr int kDigits = 4;

// The value's first kDigits significant digits, rounded half away from zero from its
// 15-digit decimal form (so 12.125 gives 1213 as a reader expects), and its decimal exponent:
// value ≈ 0.d1d2d3d4 × 10^exponent.
void roundedDigits(double magnitude, char (&digits)[kDigits + 1], int& exponent) {
    char text[32];
    std::snprintf(text, sizeof text, "%.14e", magnitude);  // "d.dddddddddddddde±xx"
    std::string all;
    all += text[0];
    for (const char* p = text + 2; *p >= '0' && *p <= '9'; ++p) all += *p;
    exponent = std::atoi(std::strchr(text, 'e') + 1) + 1;
    bool carry = all[kDigits] >= '5';
    for (int i = kDigits - 1; i >= 0; --i) {
        char& d = all[static_cast<std::size_t>(i)];
        if (!carry) break;
        carry = d == '9';
        d = carry ? '0' : static_cast<char>(d + 1);
    }
    if (carry) {  // 9999.5 → 1000 × 10^1
        all.insert(all.begin(), '1');
        ++exponent;
    }
    for (int i = 0; i < kDigits; ++i) digits[i] = all[static_cast<std::size_t>(i)];
    digits[kDigits] = '\0';
}

}  // namespace

std::string formatGeneral4(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
    if (value == 0) return "0";
    char digits[kDigits + 1];
    int exponent = 0;
    roundedDigits(std::fabs(value), digits, exponent);
    int used = kDigits;
    while (used > 1 && digits[used - 1] == '0') --used;

    std::string out = value < 0 ? "-" : "";
    if (exponent > kDigits || exponent < -4) {
        out += digits[0];
        if (used > 1) {
            out += '.';
            out.append(digits + 1, static_cast<std::size_t>(used - 1));
        }
        out += 'E';
        out += std::to_string(exponent - 1);
    } else if (exponent <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent), '0');
        out.append(digits, static_cast<std::size_t>(used));
    } else {
        out.append(digits, static_cast<std::size_t>(std::min(used, exponent)));
        out.append(static_cast<std::size_t>(std::max(0, exponent - used)), '0');
        if (used > exponent) {
            out += '.';
            out.append(digits + exponent, static_cast<std::size_t>(used - exponent));
        }
    }
    return out;
}

std::string formatTimeOfDay(double days) {
    return dateTimeText(days, QStringLiteral("hh:mm:ss")).toStdString();
}

std::string formatDateTime(double days) {
    return dateTimeText(days, QStringLiteral("dd.MM.yy hh:mm:ss")).toStdString();
}

std::string formatSpan(double days) {
    // Whole seconds, so that 23:59:59.7 does not show as a day short.
    const long long seconds = std::llround(std::fabs(days) * 86400.0);
    char text[48];
    const long long d = seconds / 86400, rest = seconds % 86400;
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", rest / 3600, rest / 60 % 60,
                  rest % 60);
    if (d == 0) return text;
    return QCoreApplication::translate("KvelView", "%1 д %2")
        .arg(QString::number(d), QString::fromLatin1(text))
        .toStdString();
}

std::string formatReading(double value) {
    if (!std::isfinite(value)) return formatGeneral4(value);
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", value);
    // "-0.00" is 0.
    return std::string_view(text) == "-0.00" ? std::string("0.00") : std::string(text);
}

}  // namespace kvel
