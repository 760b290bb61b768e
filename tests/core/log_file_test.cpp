#include "core/log_file.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <string>

#include "config/text_encoding.h"
#include "core/csv_export.h"
#include "core/measurement_log.h"
#include "link/message_sink.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

// Channel c reads 6.85 + 0.2·c °C; channel 4 has no reading.
ReadTransaction record() {
    ReadTransaction record;
    for (int c = 1; c <= kLogChannels; ++c)
        record.registers[c - 1] = c == 4 ? 0 : std::uint16_t(14000 + 10 * c);
    return record;
}

double LocalDays(std::time_t t) {
    std::tm local{};
    localtime_r(&t, &local);
    return dayNumber(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
           (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

void ExpectProgramsValues(const LogData& data, const std::time_t (&stamps)[2]) {
    ASSERT_EQ(data.rows(), 2);
    EXPECT_EQ(data.skippedTotal(), 0);
    for (int row = 0; row < 2; ++row) {
        EXPECT_NEAR(data.times[std::size_t(row)], LocalDays(stamps[row]), 1e-9);
        for (int c = 1; c <= kLogChannels; ++c) {
            if (c == 4) {
                EXPECT_FALSE(data.hasReading(row, c));
            } else {
                EXPECT_NEAR(data.value(row, c), 6.85 + 0.2 * c, 1e-4) << "channel " << c;
            }
        }
    }
}

TEST(LogFile, ProgramsOwnLogOpensWithEveryValueInItsChannelAndTime) {
    test::TempDir dir;
    const std::string path = dir.File("log.txt");
    MemIni ini(dir.File("mem.ini"));
    const std::time_t stamps[2] = {1796562309, 1796562314};  // 5 s apart
    for (std::time_t t : stamps) writeLogLine(record(), path, ini, t);
    LogData data;
    std::string error;
    ASSERT_TRUE(readLogFile(path, data, error)) << error;
    ExpectProgramsValues(data, stamps);

    // The older program's file: the same lines under a code page 1251 header.
    const std::string text = test::ReadBytes(path);
    const std::size_t headerEnd = text.find('\n') + 1;
    const std::string cp1251 = utf8ToCp1251(text.substr(0, headerEnd)) + text.substr(headerEnd);
    ASSERT_NE(cp1251, text);
    test::WriteBytes(path, cp1251);
    ASSERT_TRUE(readLogFile(path, data, error)) << error;
    ExpectProgramsValues(data, stamps);
}

const std::string kHeader = logHeaderLine();

std::string line(const std::string& date, const std::string& time, const std::string& first,
                 const char* end = "\r\n") {
    std::string line = date + "\t" + time + "\t" + first + "\t";
    for (int c = 2; c <= kLogChannels; ++c) line += "---\t";
    return line + end;
}

TEST(LogFile, EachKindOfBadLineIsSkippedAndCountedAndTheRestKept) {
    const std::string good1 = line("06.12.26", "13:05:09", "21.46");
    const std::string good2 = line("06.12.26", "13:05:14", "-12.30");
    struct Case {
        const char* name;
        std::string bad;
        LogSkip kind;
    };
    const Case cases[] = {
        {"too few fields", "06.12.26\t13:05:11\t21.00\t\r\n", LogSkip::FieldCount},
        {"too many fields", line("06.12.26", "13:05:11", "1\t2"), LogSkip::FieldCount},
        {"not a number", line("06.12.26", "13:05:11", "2l.5"), LogSkip::BadField},
        {"decimal comma", line("06.12.26", "13:05:11", "21,5"), LogSkip::BadField},
        {"empty value", line("06.12.26", "13:05:11", ""), LogSkip::BadField},
        {"no such date", line("30.02.26", "13:05:11", "1.00"), LogSkip::BadField},
        {"no such time", line("06.12.26", "24:00:00", "1.00"), LogSkip::BadField},
        {"clock set back", line("06.12.26", "12:05:11", "1.00"), LogSkip::TimeBackwards},
    };
    for (const Case& c : cases) {
        const LogData data = parseLog(kHeader + good1 + c.bad + good2);
        EXPECT_EQ(data.rows(), 2) << c.name;
        EXPECT_EQ(data.skippedCount(c.kind), 1) << c.name;
        EXPECT_EQ(data.skippedTotal(), 1) << c.name;
        EXPECT_EQ(data.firstSkippedLine, 3) << c.name;
        if (data.rows() == 2) {
            EXPECT_FLOAT_EQ(data.value(1, 1), -12.30f) << c.name;
        }
    }
    // The last line cut while it was being written, even inside its last value.
    const std::string full = line("06.12.26", "13:05:19", "35.00");
    for (std::size_t cut : {std::size_t(5), full.size() - 4}) {
        const LogData data = parseLog(kHeader + good1 + good2 + full.substr(0, cut));
        EXPECT_EQ(data.rows(), 2) << cut;
        EXPECT_EQ(data.skippedCount(LogSkip::TornLine), 1) << cut;
    }
    // Only its line end missing: the line is whole.
    EXPECT_EQ(parseLog(kHeader + good1 + full.substr(0, full.size() - 2)).rows(), 2);
}

TEST(LogFile, LineFeedsAloneAndTwoDigitYearsOfThisCentury) {
    const LogData data = parseLog(kHeader + line("31.12.99", "23:59:59", "5.50 ", "\n") +
                                  line("01.01.2100", "00:00:00", "100.00", "\n"));
    ASSERT_EQ(data.rows(), 2);
    EXPECT_NEAR(data.times[0], dayNumber(2099, 12, 31) + 86399 / 86400.0, 1e-9);
    EXPECT_NEAR(data.times[1], dayNumber(2100, 1, 1), 1e-9);
    EXPECT_FLOAT_EQ(data.value(0, 1), 5.5f);
    EXPECT_EQ(dayNumber(1899, 12, 30), 0);
    EXPECT_EQ(dayNumber(2026, 12, 6), 46362);
}

TEST(LogFile, MissingFileIsReportedWithTheSystemsReason) {
    LogData data;
    std::string error;
    EXPECT_FALSE(readLogFile("/nonexistent/log.txt", data, error));
    EXPECT_NE(error.find("/nonexistent/log.txt: "), std::string::npos);
}

TEST(LogCsv, TheRangeWithIsoTimesDotDecimalsAndEmptyCellsForNoReading) {
    const LogData data = parseLog(
        kHeader + line("06.12.26", "13:05:09", "21.46") + line("06.12.26", "13:05:14", "---") +
        line("06.12.26", "13:05:19", "-0.05") + line("06.12.26", "13:05:24", "7.00"));
    double from = 0, to = 0;
    ASSERT_TRUE(parseTimeArgument("2026-12-06T13:05:14", from));
    ASSERT_TRUE(parseTimeArgument("06.12.26 13:05:19", to));
    EXPECT_EQ(logCsv(data, from, to, {1, 2}),
              "Дата и время,Канал 1,Канал 2\r\n"
              "2026-12-06 13:05:14,,\r\n"
              "2026-12-06 13:05:19,-0.05,\r\n");
    EXPECT_EQ(isoDateTime(dayNumber(1999, 2, 28) + 0.5), "1999-02-28 12:00:00");
    double t = 0;
    EXPECT_TRUE(parseTimeArgument("2026-12-06", t));
    EXPECT_TRUE(parseTimeArgument("06.12.2026 13:05", t));
    for (const char* bad :
         {"", "2026-13-01", "2026-12-06T25:00", "06.12.26T13:05", "6/12/26", "2026-12-06 "}) {
        EXPECT_FALSE(parseTimeArgument(bad, t)) << bad;
    }
}

}  // namespace
}  // namespace kvel
