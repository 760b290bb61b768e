#include <gtest/gtest.h>

#include "plot/date_time.h"
#include "plot/tick_labels.h"
#include "plot_test_util.h"

namespace {

TEST(NumberLabel, WritesUpToTheDecimalsWithADotAndNoTrailingZeros) {
    struct Case {
        double value;
        const char* text;
    } cases[] = {
        {0, "0"},      {1.5, "1.5"},       {-50, "-50"}, {3.14159, "3.14"}, {0.125, "0.13"},
        {-0.001, "0"}, {1234.5, "1234.5"}, {0.999, "1"}, {1e-7, "0"},       {46000.25, "46000.25"},
    };
    for (const Case& c : cases) EXPECT_EQ(decimalsLabel(c.value, 2), QString(c.text)) << c.value;
    QLocale::setDefault(QLocale(QLocale::Russian));  // a comma locale changes nothing
    EXPECT_EQ(decimalsLabel(-12.34, 1), QString("-12.3"));
    QLocale::setDefault(QLocale::c());
}

TEST(DateTimeText, WritesTheStoredClockWithoutTimeZones) {
    const double day = 46000;  // 09.12.2025
    struct Case {
        const char* format;
        double value;
        const char* text;
    } cases[] = {
        {"hh:mm:ss", day + (13 * 3600 + 2 * 60 + 3) / 86400.0, "13:02:03"},
        {"hh:mm:ss", day, "00:00:00"},
        {"hh:mm:ss", -10.25, "06:00:00"},
        {"hh:mm:ss", day + 0.99999999999, "00:00:00"},  // rounds up to the next midnight
        {"dd.MM.yy", day + 0.99999999999, "10.12.25"},
        {"dd.MM.yy hh:mm", 2.75, "01.01.00 18:00"},
        // 02:30 on the night the clocks go forward exists in no time zone with summer time,
        // yet a log may hold it: it shows as stored.
        {"dd.MM.yy hh:mm:ss", 45382 + 2.5 / 24, "31.03.24 02:30:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(dateTimeText(c.value, c.format), QString(c.text)) << c.format << " " << c.value;
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
