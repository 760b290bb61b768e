#include "plot/tick_format.h"

#include <QLocale>
#include <QStringList>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "plot/date_time.h"

namespace {

// One section of a number pattern, taken apart.
struct NumberSection {
    QString prefix, suffix;
    int placeholders = 0;
    int minInt = 0;
    int minFrac = 0;
    int maxFrac = 0;
    bool grouping = false;
};

QStringList splitSections(const QString& pattern) {
    QStringList parts{QString()};
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote) quote = QChar();
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == ';') {
            parts.append(QString());
            continue;
        }
        parts.last().append(c);
    }
    return parts;
}

NumberSection parseSection(const QString& s) {
    NumberSection r;
    bool afterPoint = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        QString* literal = r.placeholders == 0 ? &r.prefix : &r.suffix;
        if (c == '"' || c == '\'') {
            const int end = s.indexOf(c, i + 1);
            const int stop = end < 0 ? s.size() : end;
            literal->append(s.mid(i + 1, stop - i - 1));
            i = stop;
        } else if (c == '0' || c == '#') {
            ++r.placeholders;
            if (afterPoint) {
                ++r.maxFrac;
                if (c == '0') r.minFrac = r.maxFrac;
            } else if (c == '0') {
                ++r.minInt;
            }
        } else if (c == '.' && !afterPoint) {
            afterPoint = true;
        } else if (c == ',') {
            r.grouping = true;
        } else {
            literal->append(c);
        }
    }
    return r;
}

// The decimal digits of |value| rounded half away from zero to `decimals` places,
// from 15 significant digits (the precision a double really holds).
void roundedDigits(double value, int decimals, QString& intPart, QString& fracPart) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    QString digits;
    int exp10 = 0;
    for (const char* p = buf; *p; ++p) {
        if (*p >= '0' && *p <= '9') digits.append(QChar(*p));
        if (*p == 'e') {
            exp10 = std::atoi(p + 1);
            break;
        }
    }
    // value = 0.digits × 10^(exp10 + 1)
    int pointPos = exp10 + 1;
    int keep = pointPos + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < digits.size()) {
        const bool up = digits[keep] >= '5';
        digits.truncate(keep);
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == '9') digits[i--] = '0';
            if (i >= 0)
                digits[i] = QChar(digits[i].unicode() + 1);
            else {
                digits.prepend('1');
                ++pointPos;
            }
        }
    }
    if (pointPos <= 0) {
        digits.prepend(QString(-pointPos, '0'));
        pointPos = 0;
    }
    if (digits.size() < pointPos) digits.append(QString(pointPos - digits.size(), '0'));
    intPart = digits.left(pointPos);
    fracPart = digits.mid(pointPos);
    while (intPart.startsWith('0')) intPart.remove(0, 1);
    if (fracPart.size() < decimals) fracPart.append(QString(decimals - fracPart.size(), '0'));
}

QString formatSection(const NumberSection& sec, double value, bool withMinus) {
    QString intPart, fracPart;
    roundedDigits(value, sec.maxFrac, intPart, fracPart);
    while (fracPart.size() > sec.minFrac && fracPart.endsWith('0')) fracPart.chop(1);
    const bool zero = intPart.isEmpty() && fracPart.count('0') == fracPart.size();
    if (intPart.size() < sec.minInt) intPart.prepend(QString(sec.minInt - intPart.size(), '0'));
    if (sec.grouping)
        for (int i = intPart.size() - 3; i > 0; i -= 3) intPart.insert(i, ' ');
    QString r = sec.prefix;
    if (withMinus && !zero) r.append('-');
    r.append(intPart);
    if (!fracPart.isEmpty()) r.append('.').append(fracPart);
    return r + sec.suffix;
}

QString pad(int v, int width) {
    return QString::number(v).rightJustified(width, '0');
}

}  // namespace

QString formatFloatPattern(const QString& pattern, double value) {
    if (std::isnan(value)) return QStringLiteral("NAN");
    if (std::isinf(value)) return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    const QStringList sections = splitSections(pattern);
    int index = 0;
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) index = 1;
    if (value == 0 && sections.size() > 2 && !sections[2].isEmpty()) index = 2;
    const NumberSection sec = parseSection(sections[index]);
    if (sec.placeholders == 0) {
        if (pattern.isEmpty()) return QLocale::c().toString(value, 'g', 15);
        return sec.prefix + sec.suffix;
    }
    return formatSection(sec, value, value < 0 && index == 0);
}

QString formatDateTimePattern(const QString& pattern, double value) {
    const DateTimeParts t = decodeDateTime(value);
    QString r;
    bool afterHour = false;
    for (int i = 0; i < pattern.size();) {
        const QChar c = pattern[i];
        const QChar lc = c.toLower();
        int run = 1;
        while (i + run < pattern.size() && pattern[i + run].toLower() == lc) ++run;
        if (c == '"' || c == '\'') {
            const int end = pattern.indexOf(c, i + 1);
            const int stop = end < 0 ? pattern.size() : end;
            r.append(pattern.mid(i + 1, stop - i - 1));
            i = stop + 1;
            continue;
        }
        const int width = run >= 2 ? 2 : 1;
        bool hour = false;
        if (lc == 'y')
            r.append(run >= 3 ? pad(t.Year, 4) : pad(t.Year % 100, 2));
        else if (lc == 'm')
            r.append(pad(afterHour ? t.Minute : t.Month, width));
        else if (lc == 'd')
            r.append(pad(t.Day, width));
        else if (lc == 'h') {
            r.append(pad(t.Hour, width));
            hour = true;
        } else if (lc == 'n')
            r.append(pad(t.Minute, width));
        else if (lc == 's')
            r.append(pad(t.Second, width));
        else if (lc == 'z')
            r.append(pad(t.MSec, run >= 3 ? 3 : 1));
        else if (c == '/')
            r.append(QString(run, '.'));
        else
            r.append(QString(run, c));
        // "mm" means minutes when an hour came just before it (separators aside).
        if (hour)
            afterHour = true;
        else if (lc.isLetter())
            afterHour = false;
        i += run;
    }
    return r;
}
