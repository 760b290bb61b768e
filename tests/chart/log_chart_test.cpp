#include "chart/log_chart.h"

#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <cmath>
#include <filesystem>
#include <memory>
#include <sstream>
#include <tuple>

#include "chart/markers.h"
#include "chart/readout_format.h"
#include "core/log_file.h"
#include "core/measurement_log.h"
#include "ctl/ctl.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

// Channel 1 rises by a degree a minute over an hour; channel 2 has no reading from minute 20
// to minute 29.
std::string HourLog() {
    std::string text = logHeaderLine();
    for (int m = 0; m < 60; ++m) {
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "06.12.26\t13:%02d:00\t", m);
        text += stamp + formatLogTemperature(m) + "\t" +
                (m >= 20 && m < 30 ? std::string("---") : formatLogTemperature(40 - m / 2.0)) +
                "\t";
        for (int c = 3; c <= kLogChannels; ++c) text += "---\t";
        text += "\r\n";
    }
    return text;
}

TEST(LogChart, ChannelWithoutAReadingIsAGapNotZero) {
    const auto log = std::make_shared<LogData>(parseLog(HourLog()));
    const LogData& data = *log;
    XYPlot plot;
    MemIni ini("");
    LogChart chart(plot, ini);
    chart.setData(log);
    chart.standardView();
    chart.fillView(1000);
    const XYLine& two = *chart.line(2);
    ASSERT_EQ(two.count(), 50);  // no point where the log says "---"
    EXPECT_EQ(two.breaks(), std::vector<int>{20});
    EXPECT_FALSE(chart.hasReadings(3));
    const double minute = 1.0 / 1440;
    const double start = data.time(0);
    // Inside the gap the curve has no value; at the points around it, it has theirs.
    EXPECT_FALSE(curveValueAt(two, start + 25 * minute));
    ASSERT_TRUE(curveValueAt(two, data.time(30)));
    EXPECT_DOUBLE_EQ(curveValueAt(two, data.time(30))->value, 25.0);
    ASSERT_TRUE(curveValueAt(*chart.line(1), start + 25.5 * minute));
    EXPECT_NEAR(curveValueAt(*chart.line(1), start + 25.5 * minute)->value, 25.5, 1e-6);
}

// Five-second lines of channel 1 with a spike every 997 lines and six hours without lines after
// line 20000.
std::string SpikyText() {
    std::string text = logHeaderLine();
    for (int i = 0; i < 30000; ++i) {
        const int s = i * 5 + (i >= 20000 ? 6 * 3600 : 0);
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "%02d.11.26\t%02d:%02d:%02d\t", 1 + s / 86400,
                      s / 3600 % 24, s / 60 % 60, s % 60);
        text += stamp + formatLogTemperature(i % 997 == 0 ? 500 : 20 + std::sin(i * 0.01)) + "\t";
        for (int c = 2; c <= kLogChannels; ++c) text += "---\t";
        text += "\r\n";
    }
    return text;
}

std::shared_ptr<LogData> SpikyLog() {
    return std::make_shared<LogData>(parseLog(SpikyText()));
}

TEST(LogChart, EveryZoomShowsWhatTheFileHoldsAndBreaksAtAGap) {
    const auto log = SpikyLog();
    const LogData& d = *log;
    ASSERT_EQ(d.rows(), 30000);
    XYPlot plot;
    MemIni ini("");
    LogChart chart(plot, ini);
    chart.setData(log);
    const XYLine& one = *chart.line(1);

    // Narrow: the file's own samples, one point per line, broken where the six hours are.
    chart.setTimeRange(d.time(19900), d.time(20099));
    chart.fillView(800);
    ASSERT_EQ(one.count(), 200);
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(one.xValue(i), d.time(19900 + i));
        ASSERT_EQ(one.yValue(i), d.value(19900 + i, 1));
    }
    EXPECT_EQ(one.breaks(), std::vector<int>{100});

    // Overviews: each column holds the true lowest and highest reading of its lines.
    for (const auto& [first, last, columns] :
         {std::tuple{0, 29999, 300}, std::tuple{3000, 12000, 150}}) {
        const double from = d.time(first), to = d.time(last);
        chart.setTimeRange(from, to);
        chart.fillView(columns);
        const double width = (to - from) / columns;
        int spikes = 0;
        for (int k = 0, a = first; k < columns; ++k) {
            const int b = k + 1 == columns ? last + 1 : d.rowAtOrAfter(from + (k + 1) * width);
            if (b <= a) continue;
            float mn = INFINITY, mx = -INFINITY;
            for (int row = a; row < b; ++row) {
                mn = std::min(mn, d.value(row, 1));
                mx = std::max(mx, d.value(row, 1));
            }
            float shownMin = INFINITY, shownMax = -INFINITY;
            for (int i = 0; i < one.count(); ++i) {
                if (one.xValue(i) < d.time(a) || one.xValue(i) > d.time(b - 1)) continue;
                shownMin = std::min(shownMin, float(one.yValue(i)));
                shownMax = std::max(shownMax, float(one.yValue(i)));
            }
            ASSERT_EQ(shownMin, mn) << "column " << k;
            ASSERT_EQ(shownMax, mx) << "column " << k;
            spikes += mx == 500;
            a = b;
        }
        EXPECT_GE(spikes, (last - first) / 997) << columns;
    }
    // The whole log: the gap breaks the overview too.
    chart.setTimeRange(d.time(0), d.time(29999));
    chart.fillView(300);
    ASSERT_EQ(one.breaks().size(), 1u);
    EXPECT_LT(one.xValue(one.breaks()[0] - 1), d.time(20000));
    EXPECT_EQ(one.xValue(one.breaks()[0]), d.time(20000));
}

TEST(LogChart, AnOverviewOfALogReadBackFromItsFileShowsEverySpikeAndTheTrueExtremes) {
    test::TempDir dir;
    test::WriteBytes(dir.File("log.txt"), SpikyText());
    auto log = std::make_shared<LogData>();
    std::string error;
    ASSERT_TRUE(readLogFile(dir.File("log.txt"), *log, error, 0)) << error;
    const LogData& d = *log;
    XYPlot plot;
    MemIni ini("");
    LogChart chart(plot, ini);
    chart.setData(log);
    const XYLine& one = *chart.line(1);
    // Twenty columns of 1,500 lines: columns part at whole blocks of lines.
    chart.setTimeRange(d.time(0), d.time(29999));
    chart.fillView(20);
    const double column = (d.time(29999) - d.time(0)) / 20;
    float shownMin = INFINITY, trueMin = INFINITY;
    for (int i = 0; i < one.count(); ++i) shownMin = std::min(shownMin, float(one.yValue(i)));
    for (int row = 0; row < d.rows(); ++row) trueMin = std::min(trueMin, d.value(row, 1));
    EXPECT_EQ(shownMin, trueMin);
    for (int spike = 0; spike < d.rows(); spike += 997) {
        bool shown = false;
        for (int i = 0; i < one.count() && !shown; ++i) {
            shown = one.yValue(i) == 500 && std::fabs(one.xValue(i) - d.time(spike)) < column;
        }
        EXPECT_TRUE(shown) << "the spike of line " << spike;
    }
    EXPECT_EQ(one.breaks().size(), 1u);
    EXPECT_FALSE(d.sourceChanged());
}

TEST(LogChart, ReadOutsGiveDatesDaysAndTheLogsTwoDecimals) {
    const double x1 = dayNumber(2026, 11, 16) + (18 * 3600 + 8 * 60 + 58) / 86400.0;
    const double x2 = dayNumber(2026, 11, 27) + (6 * 3600 + 17 * 60 + 56) / 86400.0;
    EXPECT_EQ(formatSpan(x2 - x1), "10 д 12:08:58");
    EXPECT_EQ(formatSpan(0.5), "12:00:00");
    EXPECT_EQ(formatDateTime(x1), "16.11.26 18:08:58");
    EXPECT_EQ(formatReading(856.27), "856.27");
    EXPECT_EQ(formatReading(-0.5), "-0.50");
}

TEST(LogChart, ATimeRangeFitsTheValueAxesToItsReadings) {
    const auto log = std::make_shared<LogData>(parseLog(HourLog()));
    XYPlot plot;
    MemIni ini("");
    LogChart chart(plot, ini);
    chart.setData(log);
    chart.standardView();
    chart.fillView(600);
    EXPECT_GT(plot.leftAxis()->max(), 59);  // channel 1 reaches 59 in the hour
    chart.setTimeRange(log->time(0), log->time(10));
    chart.fillView(600);
    EXPECT_LT(plot.leftAxis()->max(), 45);  // minutes 0 … 10: channel 2 reads 40 at most
    EXPECT_GT(plot.leftAxis()->min(), -5);
}

class KvelctlPlot : public ::testing::Test {
  protected:
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        args.insert(args.begin(), "plot");
        return runCtl(args, out, err, stop);
    }
    test::TempDir dir;
    std::ostringstream out, err;
    std::atomic<bool> stop{false};
};

// Pixels of a colour, in RGB.
int CountColour(const QImage& image, QRgb colour) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) n += (image.pixel(x, y) & 0xFFFFFF) == colour;
    return n;
}

TEST_F(KvelctlPlot, WritesAPictureOfTheAskedSizeWithTheCurves) {
    const std::string log = dir.File("log.txt");
    test::WriteBytes(log, HourLog());
    const std::string png = dir.File("chart.png");
    ASSERT_EQ(Run({log, "--png", png, "--size", "640x360"}), 0) << err.str();
    QImage image(QString::fromStdString(png));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(640, 360));
    const QRgb navy = 0x000080, fuchsia = 0xFF00FF;  // the colours of slots 1 and 2
    EXPECT_GT(CountColour(image, navy), 300);
    EXPECT_GT(CountColour(image, fuchsia), 200);

    // Only channel 2, and only its gap's quarter hour: no curve of channel 1, none of 2 inside.
    ASSERT_EQ(Run({log, "--channels", "2", "--from", "2026-12-06T13:18", "--to", "06.12.26 13:32",
                   "--png", png}),
              0)
        << err.str();
    image.load(QString::fromStdString(png));
    EXPECT_EQ(image.size(), QSize(1280, 720));
    EXPECT_EQ(CountColour(image, navy), 0);
    EXPECT_GT(CountColour(image, fuchsia), 50);

    const std::string svg = dir.File("chart.svg");
    ASSERT_EQ(Run({log, "--svg", svg}), 0) << err.str();
    const std::string text = test::ReadBytes(svg);
    EXPECT_NE(text.find("<svg"), std::string::npos);
    EXPECT_NE(text.find("#000080"), std::string::npos);
}

TEST_F(KvelctlPlot, BadUsageIsTwoAndAnUnreadableLogOne) {
    const std::string log = dir.File("log.txt");
    test::WriteBytes(log, HourLog());
    const std::string png = dir.File("chart.png");
    const std::vector<std::vector<std::string>> bad = {
        {},
        {log},
        {"--png", png},
        {log, "--png", png, "--svg", png},
        {log, "--png", png, "--size", "5x5"},
        {log, "--png", png, "--size", "640"},
        {log, "--png", png, "--channels", "0"},
        {log, "--png", png, "--channels", "1,,2"},
        {log, "--png", png, "--from", "yesterday"},
        {log, "--png", png, "--from", "2026-12-06T14:00", "--to", "2026-12-06T13:00"},
        {log, "--png", png, "--colour", "red"},
    };
    for (const auto& args : bad) {
        EXPECT_EQ(Run(args), 2) << ::testing::PrintToString(args);
        // Says why before the usage line.
        EXPECT_EQ(err.str().rfind("kvelctl plot: ", 0), 0u) << err.str();
        EXPECT_GT(err.str().find("\nUsage:"), 14u) << err.str();
    }
    EXPECT_FALSE(std::filesystem::exists(png));
    EXPECT_EQ(Run({dir.File("missing.txt"), "--png", png}), 1);
    EXPECT_NE(err.str().find("missing.txt"), std::string::npos);
    EXPECT_EQ(Run({dir.Path().string(), "--png", png}), 1);  // a folder
    EXPECT_EQ(Run({log, "--png", dir.File("no/such/folder/chart.png")}), 1);
    EXPECT_FALSE(std::filesystem::exists(png));
}

TEST_F(KvelctlPlot, NothingToDrawIsOneWithAReasonAndNoPicture) {
    const std::string log = dir.File("log.txt");
    const std::string png = dir.File("chart.png");
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::string> more;
    };
    std::string junk(4096, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = char(i * 37 % 256);
    const Case cases[] = {
        {"empty", "", {}},
        {"header only", logHeaderLine(), {}},
        {"binary junk", junk, {}},
        {"range without lines", HourLog(), {"--from", "2026-12-07", "--to", "2026-12-08"}},
        {"channel without readings", HourLog(), {"--channels", "3"}},
    };
    for (const Case& c : cases) {
        test::WriteBytes(log, c.text);
        std::vector<std::string> args{log, "--png", png};
        args.insert(args.end(), c.more.begin(), c.more.end());
        EXPECT_EQ(Run(args), 1) << c.name;
        EXPECT_NE(err.str().find("рисовать нечего"), std::string::npos) << c.name << err.str();
        EXPECT_FALSE(std::filesystem::exists(png)) << c.name;
    }
}

TEST_F(KvelctlPlot, SvgOpensAtTheAskedSizeAndPicturesNameTheLogAndItsChannels) {
    const std::string log = dir.File("furnace.txt");
    test::WriteBytes(log, HourLog());
    const std::string svg = dir.File("chart.svg");
    ASSERT_EQ(Run({log, "--svg", svg, "--size", "1200x600"}), 0) << err.str();
    const std::string text = test::ReadBytes(svg);
    // 1200 × 600 pixels at 96 dots per inch.
    EXPECT_NE(text.find("width=\"317.5mm\" height=\"158.75mm\""), std::string::npos)
        << text.substr(0, 400);
    EXPECT_NE(text.find("furnace.txt"), std::string::npos);
    EXPECT_NE(text.find("Канал 2"), std::string::npos);
    EXPECT_NE(text.find("06.12.26 12:58"), std::string::npos);  // the range shown
}

}  // namespace
}  // namespace kvel
