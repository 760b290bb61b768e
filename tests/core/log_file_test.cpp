#include "core/log_file.h"

#include <gtest/gtest.h>
#include <malloc.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csignal>
#include <ctime>
#include <filesystem>
#include <string>
#include <utility>

#include "config/text_encoding.h"
#include "core/csv_export.h"
#include "core/log_stats.h"
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
        EXPECT_NEAR(data.time(row), LocalDays(stamps[row]), 1e-9);
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
        {"an hour back", line("06.12.26", "12:05:11", "1.00"), LogSkip::WrongTime},
        {"years ahead", line("06.12.35", "13:05:11", "1.00"), LogSkip::WrongTime},
        {"years back", line("06.12.01", "13:05:11", "1.00"), LogSkip::WrongTime},
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

// Most values are read by a reader of the log's own shape, the rest by a general one: at the
// edges of that shape both give the same float, and what is no number stays refused.
TEST(LogFile, AValueOfAnyShapeIsTheNearestFloatToWhatIsWritten) {
    for (const char* text : {"5.3", "5.300", "5.", "27.21  ", "-0.00", "0.01", "-.25", "123456.78",
                             "-12345.67", "1234567.89", "99999999.99", "1e2", "---  "}) {
        double when = 0;
        std::array<float, kLogChannels> values{};
        const std::string l = line("06.12.26", "13:05:09", text, "");
        ASSERT_TRUE(readLogLine(l, false, when, values)) << text;
        std::string number = text;
        while (number.back() == ' ') number.pop_back();
        if (number == "---") {
            EXPECT_TRUE(std::isnan(values[0])) << text;
        } else {
            EXPECT_EQ(values[0], float(std::strtod(number.c_str(), nullptr))) << text;
        }
    }
    for (const char* text : {"5.30x", "5.30 x", "----", ".", "-", "--", "+5.00", " 5.00"}) {
        double when = 0;
        std::array<float, kLogChannels> values{};
        EXPECT_FALSE(readLogLine(line("06.12.26", "13:05:09", text, ""), false, when, values))
            << "[" << text << "]";
    }
}

TEST(LogFile, LineFeedsAloneAndTwoDigitYearsOfThisCentury) {
    const LogData data = parseLog(kHeader + line("31.12.99", "23:59:59", "5.50 ", "\n") +
                                  line("01.01.2100", "00:00:00", "100.00", "\n"));
    ASSERT_EQ(data.rows(), 2);
    EXPECT_NEAR(data.time(0), dayNumber(2099, 12, 31) + 86399 / 86400.0, 1e-9);
    EXPECT_NEAR(data.time(1), dayNumber(2100, 1, 1), 1e-9);
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
    test::TempDir dir;
    const std::string csv = dir.File("out.csv");
    std::string error;
    ASSERT_TRUE(writeLogCsv(csv, data, from, to, {1, 2}, error)) << error;
    EXPECT_EQ(test::ReadBytes(csv),
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

// Lines every `step` seconds from 00:00:00 of 16.11.26, channel 1 reading `value(i)`.
std::string Lines(int count, int step, double (*value)(int), int startSecond = 0) {
    std::string text;
    for (int i = 0; i < count; ++i) {
        const int s = startSecond + i * step;
        char date[16], clock[16];
        std::snprintf(date, sizeof date, "%02d.11.26", 16 + s / 86400);
        std::snprintf(clock, sizeof clock, "%02d:%02d:%02d", s / 3600 % 24, s / 60 % 60, s % 60);
        text += line(date, clock, formatLogTemperature(value(i)));
    }
    return text;
}

double Ramp(int i) {
    return 20 + (i % 100) * 0.01;
}

TEST(LogFile, AWrongTimeStampCostsItsOwnLineAndAClockSetBackKeepsTheReadingsAfterIt) {
    // One line dated years ahead in a day's log: only it is left out.
    std::string day = Lines(100, 5, Ramp);
    const std::size_t at = day.find("16.11.26\t00:00:50");
    day.replace(at, 8, "16.11.35");
    LogData data = parseLog(kHeader + day);
    EXPECT_EQ(data.rows(), 99);
    EXPECT_EQ(data.skippedCount(LogSkip::WrongTime), 1);
    EXPECT_EQ(data.firstSkippedLine, 12);

    // A daylight-saving fall-back: the hour from 02:00 is logged twice. Every reading stays, in
    // time order, the repeated hour's two passes side by side.
    const std::string before = Lines(720, 5, Ramp, 3600);
    const std::string again = Lines(
        720 + 12, 5, [](int) { return 30.0; }, 7200);
    data = parseLog(kHeader + before + Lines(720, 5, Ramp, 7200) + again);
    EXPECT_EQ(data.rows(), 720 * 3 + 12);
    EXPECT_EQ(data.skippedTotal(), 0);
    EXPECT_EQ(data.clockSetBacks, 1);
    for (int row = 1; row < data.rows(); ++row) ASSERT_LE(data.time(row - 1), data.time(row));
    double when = 0;
    ASSERT_TRUE(parseLogDateTime("16.11.26", "02:30:00", when));
    const int first = data.rowAtOrAfter(when);
    EXPECT_EQ(data.rowAfter(when) - first, 2);  // both passes' readings of 02:30:00
    EXPECT_EQ(std::min(data.value(first, 1), data.value(first + 1, 1)), float(Ramp(360)));
    EXPECT_EQ(std::max(data.value(first, 1), data.value(first + 1, 1)), 30.0f);
}

TEST(LogFile, AGapWellAboveTheUsualStepBreaksTheCurveAndHasNoValue) {
    // Five-second lines, then six hours without any, then lines again.
    const LogData data =
        parseLog(kHeader + Lines(100, 5, Ramp) + Lines(100, 5, Ramp, 500 + 6 * 3600));
    EXPECT_NEAR(data.usualStep() * 86400, 5, 1e-6);
    for (int row = 1; row < data.rows(); ++row) EXPECT_EQ(data.gapBefore(row), row == 100) << row;
    double v = 0;
    EXPECT_FALSE(data.valueAt(1, data.time(99) + 0.1, v));
    ASSERT_TRUE(data.valueAt(1, (data.time(10) + data.time(11)) / 2, v));
    EXPECT_NEAR(v, (Ramp(10) + Ramp(11)) / 2, 1e-6);
}

TEST(LogFile, EveryReadingIsKeptExactlyAndTheSummaryGivesTheTrueExtremes) {
    // Values of every kind: the module's steps, any hundredths, far apart in one stretch, finer
    // than hundredths, and no reading.
    const char* values[] = {"856.27", "-273.15", "1037.55", "0.00",   "21.46",
                            "-40.01", "1.234",   "---",     "300.00", "-299.99"};
    std::string text = kHeader;
    for (int i = 0; i < 10; ++i) {
        char clock[16];
        std::snprintf(clock, sizeof clock, "00:00:%02d", i);
        text += line("16.11.26", clock, values[i]);
    }
    const LogData few = parseLog(text);
    ASSERT_EQ(few.rows(), 10);
    for (int i = 0; i < 10; ++i) {
        if (i == 7) {
            EXPECT_FALSE(few.hasReading(i, 1));
        } else {
            EXPECT_EQ(few.value(i, 1), std::stof(values[i])) << values[i];
        }
    }
    // Extremes of any run of rows, through the summary's blocks, against a plain scan.
    const LogData data =
        parseLog(kHeader + Lines(200000, 1, [](int i) {
                     return i % 4099 == 0 ? 500.0 - i % 7 : std::sin(i * 0.001) * 50;
                 }));
    for (const auto& [first, end] : {std::pair{0, 200000},
                                     {1, 4097},
                                     {63, 64 * 70 + 1},
                                     {4096 * 3, 4096 * 9},
                                     {12345, 123456},
                                     {5, 5}}) {
        float mn = INFINITY, mx = -INFINITY;
        for (int row = first; row < end; ++row) {
            mn = std::min(mn, data.value(row, 1));
            mx = std::max(mx, data.value(row, 1));
        }
        const ReadingExtent e = data.extent(1, first, end);
        EXPECT_EQ(e.any, first < end);
        if (e.any) {
            EXPECT_EQ(e.min, mn) << first << " " << end;
            EXPECT_EQ(e.max, mx) << first << " " << end;
        }
        EXPECT_FALSE(data.extent(2, first, end).any);
    }
}

// Equal times and readings, row by row, and equal extremes over runs of rows.
void ExpectSameLog(const LogData& a, const LogData& b) {
    ASSERT_EQ(a.rows(), b.rows());
    for (int row = 0; row < a.rows(); ++row) {
        ASSERT_EQ(a.time(row), b.time(row)) << row;
        for (int c = 1; c <= kLogChannels; ++c) {
            ASSERT_EQ(a.hasReading(row, c), b.hasReading(row, c)) << row << " " << c;
            if (a.hasReading(row, c)) {
                ASSERT_EQ(a.value(row, c), b.value(row, c)) << row;
            }
        }
    }
    for (int first : {0, 1, 63, 700}) {
        const ReadingExtent x = a.extent(1, first, a.rows() - first / 2);
        const ReadingExtent y = b.extent(1, first, b.rows() - first / 2);
        EXPECT_EQ(x.any, y.any);
        EXPECT_EQ(x.min, y.min);
        EXPECT_EQ(x.max, y.max);
    }
}

TEST(LogFile, ALongLogsReadingsAreReadBackExactlyAndAFileChangedAfterReadingIsNoticed) {
    test::TempDir dir;
    // The later file named first; in it a wrong time stamp, a bad line, a clock set back by an
    // hour, a BOM before the header, and a last line cut while being written.
    std::string later = "\xEF\xBB\xBF" + kHeader + Lines(900, 5, Ramp, 86400 * 3);
    later.replace(later.find("19.11.26\t00:00:50"), 8, "19.11.35");
    later += line("19.11.26", "01:20:00", "2l.5");
    later += Lines(
        1500, 5, [](int i) { return -5.0 - i * 0.37; }, 86400 * 3 + 3600);
    later += line("19.11.26", "09:00:00", "7.00").substr(0, 40);
    test::WriteBytes(dir.File("later.txt"), later);
    test::WriteBytes(dir.File("first.txt"), kHeader + Lines(3000, 2, [](int i) {
                                                return i % 3 ? 1000.5 - i : 0.125 * i;
                                            }));
    const std::vector<std::string> paths = {dir.File("later.txt"), dir.File("first.txt")};
    LogData held, readBack;
    std::string error;
    ASSERT_TRUE(readLogFiles(paths, held, error, nullptr, 1 << 30)) << error;
    ASSERT_TRUE(readLogFiles(paths, readBack, error, nullptr, 0)) << error;
    EXPECT_EQ(held.rows(), 900 - 1 + 1500 + 3000);
    EXPECT_EQ(held.clockSetBacks, readBack.clockSetBacks);
    EXPECT_EQ(held.skipped, readBack.skipped);

    // Renamed and deleted files still answer: they were read through descriptors kept open.
    std::filesystem::rename(dir.File("later.txt"), dir.File("moved.txt"));
    std::filesystem::remove(dir.File("first.txt"));
    test::WriteBytes(dir.File("first.txt"), kHeader);
    ExpectSameLog(held, readBack);
    EXPECT_FALSE(readBack.sourceChanged());

    // A file rewritten in place no longer holds the lines: its readings are none, and said so.
    const std::string path = dir.File("log.txt");
    test::WriteBytes(path, kHeader + Lines(1000, 5, Ramp));
    LogData stale;
    ASSERT_TRUE(readLogFile(path, stale, error, 0)) << error;
    test::WriteBytes(path, kHeader + Lines(1000, 5, Ramp, 1));
    EXPECT_FALSE(stale.hasReading(500, 1));
    EXPECT_TRUE(stale.sourceChanged());
    test::WriteBytes(path, kHeader);
    EXPECT_FALSE(stale.hasReading(900, 1));
    // Nor is such a log exported: the CSV is not written, and the reason is given.
    const std::string csv = dir.File("stale.csv");
    EXPECT_FALSE(writeLogCsv(csv, stale, stale.time(0), stale.time(999), {1}, error));
    EXPECT_NE(error.find("изменился"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(csv));
}

// An export is written whole or not at all: a cancelled one or one the disk cannot take leaves
// the file that was there as it was, and no temporary file beside it.
TEST(LogCsv, AnExportThatFailsOrIsCancelledLeavesTheOldFileAndNoTemporary) {
    test::TempDir dir;
    const std::string path = dir.File("log.txt");
    test::WriteBytes(path, kHeader + Lines(20000, 5, Ramp));
    LogData data;
    std::string error;
    ASSERT_TRUE(readLogFile(path, data, error, 0)) << error;
    const std::string csv = dir.File("out.csv");
    test::WriteBytes(csv, "old");
    const auto filesInFolder = [&] {
        return std::distance(std::filesystem::directory_iterator(dir.Path()), {});
    };

    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(writeLogCsv(csv, data, data.time(0), data.time(19999), {1}, error, &cancel));
    EXPECT_EQ(test::ReadBytes(csv), "old");
    EXPECT_EQ(filesInFolder(), 2);

    // Files may grow to 100 KB only: the export (about 500 KB) fails in the middle.
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 100 << 10;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    error.clear();
    const bool written = writeLogCsv(csv, data, data.time(0), data.time(19999), {1}, error);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(written);
    EXPECT_NE(error.find(csv + ": "), std::string::npos) << error;
    EXPECT_EQ(test::ReadBytes(csv), "old");
    EXPECT_EQ(filesInFolder(), 2);

    // The whole range goes out row by row, every row as the log holds it.
    ASSERT_TRUE(writeLogCsv(csv, data, data.time(0), data.time(19999), {1}, error)) << error;
    const std::string text = test::ReadBytes(csv);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 20001);
    EXPECT_NE(text.find("\r\n2026-11-16 00:00:05,"), std::string::npos);
    EXPECT_EQ(filesInFolder(), 2);
}

TEST(LogFile, AFileReadOnTwoThreadsGivesWhatReadingItLineByLineGives) {
    // Megabytes, so that pieces and their halves are cut; bad lines and a wrong time stamp far
    // from the start, and a clock set back.
    std::string text = kHeader + Lines(20000, 5, Ramp);
    text.replace(text.find("16.11.26\t23:00:00"), 8, "16.11.35");
    text += line("17.11.26", "03:00:00", "1,5") + "\r\n\r\n" + std::string(9000, 'z') + "\n";
    text += Lines(
        15000, 5, [](int i) { return i * 0.5; }, 86400 + 3600);
    test::TempDir dir;
    test::WriteBytes(dir.File("log.txt"), text);
    LogData onThreads;
    std::string error;
    ASSERT_TRUE(readLogFile(dir.File("log.txt"), onThreads, error)) << error;
    const LogData lineByLine = parseLog(text);
    EXPECT_EQ(onThreads.skipped, lineByLine.skipped);
    EXPECT_EQ(onThreads.firstSkippedLine, lineByLine.firstSkippedLine);
    EXPECT_EQ(onThreads.clockSetBacks, 1);
    EXPECT_EQ(onThreads.skippedTotal(), 3);
    ExpectSameLog(onThreads, lineByLine);
    // Read back by the places of their lines, found while the pieces were cut.
    LogData readBack;
    ASSERT_TRUE(readLogFile(dir.File("log.txt"), readBack, error, 0)) << error;
    ExpectSameLog(readBack, lineByLine);
    EXPECT_FALSE(readBack.sourceChanged());
}

// The file is read 64 KiB at a time: wherever a piece ends (inside a line far too long, just
// before or after a line's end, between CR and LF), the log is the one line by line gives.
TEST(LogFile, WhereverAPieceOfTheFileEndsTheLogIsTheSame) {
    const std::string lines = Lines(12000, 5, Ramp);
    const std::size_t cut = lines.find('\n', 30000) + 1;
    const std::string body = lines.substr(0, cut) + std::string(9000, 'z') + "\n" +
                             lines.substr(cut) + "16.11.26\t23:59:59\t1";
    constexpr std::size_t kPiece = 64 << 10;
    test::TempDir dir;
    // The long line starts at `at`: the first piece ends inside it, right after the line
    // before it, between that line's CR and LF, or just before its CR.
    for (const std::size_t at : {kPiece - 100, kPiece, kPiece + 1, kPiece + 2}) {
        // A header line ("Дата…", 8 bytes before its blanks) as long as it takes.
        const std::string pad = "Дата" + std::string(at - kHeader.size() - cut - 10, ' ') + "\r\n";
        const std::string text = kHeader + pad + body;
        ASSERT_EQ(text.find(std::string(100, 'z')), at);
        test::WriteBytes(dir.File("log.txt"), text);
        LogData read;
        std::string error;
        ASSERT_TRUE(readLogFile(dir.File("log.txt"), read, error, 0)) << error;
        const LogData lineByLine = parseLog(text);
        EXPECT_EQ(read.skipped, lineByLine.skipped) << at;
        EXPECT_EQ(read.skippedCount(LogSkip::TornLine), 1) << at;
        EXPECT_EQ(read.skippedCount(LogSkip::FieldCount), 1) << at;
        EXPECT_EQ(read.firstSkippedLine, lineByLine.firstSkippedLine) << at;
        ExpectSameLog(read, lineByLine);
        EXPECT_FALSE(read.sourceChanged());
    }
}

TEST(LogFile, SeveralFilesOnOneTimeAxisAndALineWithoutEndIsNeverHeldWhole) {
    test::TempDir dir;
    // The later month named first: the rows still come in time order.
    test::WriteBytes(dir.File("b.txt"), kHeader + Lines(10, 5, Ramp, 86400 * 10));
    test::WriteBytes(dir.File("a.txt"), kHeader + Lines(10, 5, Ramp));
    // Megabytes without a line end: one line that is not a log line.
    test::WriteBytes(dir.File("junk.txt"), std::string(3 << 20, 'x'));
    LogData data;
    std::string error;
    ASSERT_TRUE(
        readLogFiles({dir.File("b.txt"), dir.File("a.txt"), dir.File("junk.txt")}, data, error))
        << error;
    EXPECT_EQ(data.rows(), 20);
    EXPECT_LT(data.time(9), data.time(10));
    EXPECT_EQ(data.skippedCount(LogSkip::FieldCount), 1);

    const std::atomic<bool> cancel{true};
    LogLoadProgress progress;
    progress.cancel = &cancel;
    EXPECT_FALSE(readLogFiles({dir.File("a.txt")}, data, error, &progress));
    EXPECT_EQ(data.rows(), 0);
}

TEST(LogFile, RunningOutOfMemoryIsAnErrorNotTheEndOfTheProgram) {
    // The reader runs in a fresh process of this test alone: a forked one would inherit the
    // heaps that earlier tests' threads left reserved, and read within them whatever the limit.
    if (const char* path = std::getenv("KVEL_READ_UNDER_LIMIT")) {
        for (int i = 0; i < 2000 && mallinfo2().fordblks > (2u << 20); ++i) {
            if (!std::malloc(64 << 10)) _exit(3);
        }
        // An address space that ends a little above what the process uses now.
        long pages = 0;
        std::FILE* statm = std::fopen("/proc/self/statm", "r");
        if (!statm || std::fscanf(statm, "%ld", &pages) != 1) _exit(3);
        const rlim_t limit = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (8 << 20);
        const rlimit r{limit, limit};
        if (setrlimit(RLIMIT_AS, &r) != 0) _exit(3);
        LogData data;
        std::string error;
        const bool read = readLogFile(path, data, error);
        _exit(read ? 1 : error.find("недостаточно памяти") != std::string::npos ? 0 : 2);
    }
    test::TempDir dir;
    const std::string path = dir.File("big.txt");
    test::WriteBytes(path, kHeader + Lines(400000, 1, Ramp));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        setenv("KVEL_READ_UNDER_LIMIT", path.c_str(), 1);
        execl("/proc/self/exe", "test_history",
              "--gtest_filter=LogFile.RunningOutOfMemoryIsAnErrorNotTheEndOfTheProgram",
              static_cast<char*>(nullptr));
        _exit(4);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the reader ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST(LogStats, ExtremesMeanAndTimeAboveTheThresholdBetweenTwoTimes) {
    // Channel 1: 10, 20, 30, 20, 10 a minute apart; above 25 from 12:01:30 to 12:02:30.
    std::string text = kHeader;
    const char* values[] = {"10.00", "20.00", "30.00", "20.00", "10.00"};
    for (int i = 0; i < 5; ++i) {
        text += line("16.11.26", "12:0" + std::to_string(i) + ":00", values[i]);
    }
    const LogData data = parseLog(text);
    const std::vector<ChannelStats> stats = logStats(data, data.time(4), data.time(0), {1, 2}, 25);
    ASSERT_EQ(stats.size(), 2u);
    EXPECT_EQ(stats[0].readings, 5);
    EXPECT_DOUBLE_EQ(stats[0].min, 10);
    EXPECT_DOUBLE_EQ(stats[0].max, 30);
    EXPECT_DOUBLE_EQ(stats[0].mean, 18);
    EXPECT_NEAR(stats[0].secondsAbove, 60, 1e-6);
    EXPECT_EQ(stats[1].readings, 0);
    EXPECT_EQ(logStatsText(stats, {"Печь", "Канал 2"}, data.time(0), data.time(4), 25),
              "С\t2026-11-16 12:00:00\nПо\t2026-11-16 12:04:00\nПорог, °C\t25.00\n"
              "Канал\tМинимум\tМаксимум\tСреднее\tВыше порога\n"
              "Печь\t10.00\t30.00\t18.00\t00:01:00\n"
              "Канал 2\tнет показаний\n");
}

}  // namespace
}  // namespace kvel
