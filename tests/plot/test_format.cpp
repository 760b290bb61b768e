#include <gtest/gtest.h>

#include "plot/date_time.h"
#include "plot/tick_format.h"
#include "plot_test_util.h"

namespace {

TEST(NumberPattern, FormatsWithDotAndDropsTrailingZeros) {
    struct Case {
        const char* pattern;
        double value;
        const char* text;
    } cases[] = {
        {"###0.##", 0, "0"},
        {"###0.##", 1.5, "1.5"},
        {"###0.##", -50, "-50"},
        {"###0.##", 3.14159, "3.14"},
        {"###0.##", 0.125, "0.13"},
        {"###0.##", 2.675, "2.68"},
        {"###0.##", -0.001, "0"},
        {"###0.##", 1234.5, "1234.5"},
        {"###0.##", 0.999, "1"},
        {"###0.##", -500, "-500"},
        {"###0.##", 1e-7, "0"},
        {"###0.##", 46000.25, "46000.25"},
        {"0.00", 2, "2.00"},
        {"000", 7, "007"},
        {"#.##", 0.5, ".5"},
        {"#,##0", 1234567, "1 234 567"},
        {"0.##;(0.##)", -2.5, "(2.5)"},
        {"0.#;-0.#;'zero'", 0, "zero"},
        {"0 °C", 21.4, "21 °C"},
        {"\"t=\"0.0", 3, "t=3.0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatFloatPattern(c.pattern, c.value), QString(c.text))
            << c.pattern << " " << c.value;
}

TEST(DateTimePattern, FormatsTimeOfDayAndDate) {
    const double day = 46000;  // 09.12.2025
    struct Case {
        const char* pattern;
        double value;
        const char* text;
    } cases[] = {
        {"hh:nn:ss", day + (13 * 3600 + 2 * 60 + 3) / 86400.0, "13:02:03"},
        {"hh:nn:ss", day, "00:00:00"},
        {"hh:nn:ss", -10, "00:00:00"},
        {"hh:nn:ss", -10.25, "06:00:00"},
        {"hh:nn:ss", day + 0.99999999999, "00:00:00"},  // rounds up to the next midnight
        {"dd.mm.yy", day, "09.12.25"},
        {"dd.mm.yy", day + 0.99999999999, "10.12.25"},
        {"d/m/yyyy", day, "9.12.2025"},
        {"hh:mm", day + 0.5 + 5 / 1440.0, "12:05"},
        {"h:nn:ss.zzz", day + 1.5 / 86400, "0:00:01.500"},
        {"dd.mm.yy hh:nn", 2.75, "01.01.00 18:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatDateTimePattern(c.pattern, c.value), QString(c.text)) << c.pattern;
}

TEST(DateTime, ConvertsBothWays) {
    const QDateTime t(QDate(2024, 3, 5), QTime(12, 34, 56, 789));
    const double v = dateTimeFromQDateTime(t);
    EXPECT_NEAR(v, 45356 + (12 * 3600 + 34 * 60 + 56.789) / 86400, 1e-9);
    EXPECT_EQ(QDateTimeFromDateTime(v), t);
    const QDateTime before(QDate(1899, 12, 29), QTime(6, 0));
    EXPECT_DOUBLE_EQ(dateTimeFromQDateTime(before), -1.25);
    EXPECT_EQ(QDateTimeFromDateTime(-1.25), before);
}

}  // namespace
