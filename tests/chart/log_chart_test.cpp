#include "chart/log_chart.h"

#include <gtest/gtest.h>

#include <QImage>
#include <atomic>
#include <sstream>

#include "chart/markers.h"
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
    for (const auto& args : bad) EXPECT_EQ(Run(args), 2) << ::testing::PrintToString(args);
    EXPECT_FALSE(std::filesystem::exists(png));
    EXPECT_EQ(Run({dir.File("missing.txt"), "--png", png}), 1);
    EXPECT_NE(err.str().find("missing.txt"), std::string::npos);
    EXPECT_EQ(Run({dir.Path().string(), "--png", png}), 1);  // a folder
    EXPECT_EQ(Run({log, "--png", dir.File("no/such/folder/chart.png")}), 1);
    EXPECT_FALSE(std::filesystem::exists(png));
}

}  // namespace
}  // namespace kvel
