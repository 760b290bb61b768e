#include "chart/trend_chart.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

class TrendChartTest : public ::testing::Test {
  protected:
    TrendChartTest() {
        for (auto& line : owned) {
            line = std::make_unique<XYLine>();
            line->setPlot(&plot);
        }
        for (int k = 0; k < kChartSlots; ++k) lines[static_cast<std::size_t>(k)] = owned[k].get();
        chart = std::make_unique<TrendChart>(plot, lines, ini);
    }
    ~TrendChartTest() override {
        for (auto& line : owned) line.reset();
    }
    // Registers of a record: every channel reads `raw` unless set otherwise.
    ReadTransaction record(std::uint16_t raw) {
        ReadTransaction t;
        for (auto& r : t.registers) r = raw;
        return t;
    }
    test::TempDir dir;
    MemIni ini{dir.File("mem.ini")};
    XYPlot plot;
    std::array<std::unique_ptr<XYLine>, kChartSlots> owned;
    std::array<XYLine*, kChartSlots> lines{};
    std::unique_ptr<TrendChart> chart;
};

TEST_F(TrendChartTest, SlotsTakeTheSelectedChannelsInOrder) {
    for (int c = 1; c <= 30; c += 1) {
        if (c % 2 == 0) ini.writeInteger("display", "d" + std::to_string(c), 1);
    }
    ini.writeString("sensors", "4", "Печь");
    const auto thirty = assignSlots(ini, 30);
    EXPECT_EQ(thirty[0], 2);
    EXPECT_EQ(thirty[14], 30);  // the 15 selected channels fill every slot
    const auto fifteen = assignSlots(ini, 15);
    EXPECT_EQ(fifteen[6], 14);
    EXPECT_EQ(fifteen[7], 0);  // channels above the module's count are not drawn
    EXPECT_EQ(slotCaption(ini, 4), "Канал Печь");
    EXPECT_EQ(slotCaption(ini, 5), "Канал 5");
    ini.writeInteger("display", "d31", 1);
    EXPECT_EQ(assignSlots(ini, 30)[14], 30);  // a sixteenth selection is not shown

    for (const auto& [text, left] : std::vector<std::pair<std::string, bool>>{
             {"L", true}, {"R", false}, {"ПРАВАЯ", false}, {"l", false}}) {
        ini.writeString("axis", "3", text);
        EXPECT_EQ(slotOnLeftAxis(ini, 3), left) << text;
    }
    EXPECT_TRUE(slotOnLeftAxis(ini, 4));  // missing key: left
}

TEST_F(TrendChartTest, PointsOfAPollAndTheLowerLimit) {
    ini.writeInteger("display", "d1", 1);
    ini.writeInteger("display", "d3", 1);
    ini.writeInteger("display", "d4", 1);
    chart->setTimeWindow(46000.0);
    ReadTransaction t = record(0);
    t.registers[0] = 11157;  // -50.01 °C: below the limit
    t.registers[2] = 0;      // no reading
    t.registers[3] = 11158;  // -49.99 °C
    chart->addChartPoints(t, 15, 46000.001);
    EXPECT_EQ(lines[0]->count(), 0);
    EXPECT_EQ(lines[1]->count(), 0);
    ASSERT_EQ(lines[2]->count(), 1);
    EXPECT_DOUBLE_EQ(lines[2]->xValue(0), 46000.001);
    EXPECT_NEAR(lines[2]->yValue(0), -49.99, 1e-9);
    t.registers[2] = 14950;
    chart->addChartPoints(t, 15, 46000.002);
    EXPECT_EQ(lines[1]->count(), 1);
    EXPECT_EQ(lines[2]->count(), 2);
}

TEST_F(TrendChartTest, TimeAxisMovesWhenTheCurvesReachItsEdge) {
    Axis* bottom = plot.bottomAxis();
    const ReadTransaction t = record(14950);
    chart->setTimeWindow(46000.0);
    EXPECT_DOUBLE_EQ(bottom->max(), 46000.01);
    chart->addChartPoints(t, 15, 46000.005);  // inside: unchanged
    EXPECT_DOUBLE_EQ(bottom->min(), 46000.0);
    chart->addChartPoints(t, 15, 46000.01);  // reaches Max: window mode, 20 % shift
    EXPECT_NEAR(bottom->min(), 46000.01 - 0.008, 1e-9);
    EXPECT_NEAR(bottom->max(), 46000.01 + 0.002, 1e-9);

    // The clock went back before the axis: one tenth of its width before now, one window wide.
    chart->addChartPoints(t, 15, 45999.0);
    EXPECT_NEAR(bottom->min(), 45999.0 - 0.001, 1e-9);
    EXPECT_NEAR(bottom->max(), 45999.0 - 0.001 + 0.01, 1e-9);
}

TEST_F(TrendChartTest, AppliedWindowRepairsAnAxisFarInTheFuture) {
    Axis* bottom = plot.bottomAxis();
    const ReadTransaction t = record(14950);
    ini.writeInteger("display", "d1", 1);
    // What a window of 0 once left: an axis ending years ahead, which no poll ever moves.
    bottom->setMinMax(46000.0, 51000.0);
    chart->addChartPoints(t, 15, 46000.5);
    EXPECT_DOUBLE_EQ(bottom->max(), 51000.0);
    chart->applyTimeWindow(46000.5);
    EXPECT_NEAR(bottom->min(), 46000.5 - 0.008, 1e-9);
    EXPECT_NEAR(bottom->max(), 46000.5 + 0.002, 1e-9);
    ini.writeInteger("diag", "showall", 1);
    chart->applyTimeWindow(46000.6);
    EXPECT_NEAR(bottom->min(), 46000.5, 1e-9);
    EXPECT_NEAR(bottom->max(), 46000.6 + 0.1 * 0.2, 1e-9);

    // A window of 0 or less typed into mem.ini by hand is taken as the default one.
    ini.writeInteger("diag", "showall", 0);
    double now = 46001.0;
    for (const char* window : {"0", "-0.5"}) {
        ini.writeString("diag", "window", window);
        chart->addChartPoints(t, 15, now);
        EXPECT_NEAR(bottom->min(), now - 0.008, 1e-9) << window;
        EXPECT_NEAR(bottom->max(), now + 0.002, 1e-9) << window;
        chart->setTimeWindow(now);
        EXPECT_NEAR(bottom->max(), now + 0.01, 1e-9) << window;
        now += 1;
    }
}

TEST_F(TrendChartTest, ShowAllStartsAtTheEarliestFirstPoint) {
    Axis* bottom = plot.bottomAxis();
    ini.writeInteger("diag", "showall", 1);
    ini.writeInteger("display", "d1", 1);
    ini.writeInteger("display", "d2", 1);
    lines[1]->addXY(45990.0, 20);  // an earlier point of another slot
    lines[1]->setActive(false);    // hidden curves count too
    chart->setTimeWindow(46000.0);
    chart->addChartPoints(record(14950), 15, 46000.5);
    EXPECT_DOUBLE_EQ(bottom->min(), 45990.0);
    EXPECT_NEAR(bottom->max(), 46000.5 + 10.5 * 0.2, 1e-9);
}

TEST_F(TrendChartTest, ValueAxisScaling) {
    ini.writeFloat("diag", "left_min", -10);
    ini.writeString("diag", "right_max", "0,5");  // no number: the default applies
    chart->applyAxisScaling();
    EXPECT_DOUBLE_EQ(plot.leftAxis()->min(), -10);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->max(), 50);
    EXPECT_DOUBLE_EQ(plot.rightAxis()->max(), 50);
    EXPECT_FALSE(plot.leftAxis()->autoMin());
    ini.writeInteger("diag", "scale_auto", 1);
    chart->applyAxisScaling();
    EXPECT_TRUE(plot.leftAxis()->autoMin() && plot.leftAxis()->autoMax());
    EXPECT_TRUE(plot.rightAxis()->autoMin() && plot.rightAxis()->autoMax());
}

}  // namespace
}  // namespace kvel
