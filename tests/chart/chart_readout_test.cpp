// The chart's read-out texts, the curve values at a marker and where their labels go, and the
// room the chart's axes take.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "chart/markers.h"
#include "chart/readout_format.h"
#include "chart/trend_chart.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

TEST(ReadoutFormat, FourSignificantDigitsInGeneralFormat) {
    const std::vector<std::pair<double, std::string>> cases = {
        {0, "0"},
        {25.85, "25.85"},
        {-0.5, "-0.5"},
        {1234, "1234"},
        {1234.4, "1234"},
        {-273.15, "-273.2"},  // a tie is rounded away from zero
        {12.125, "12.13"},
        {9999.4, "9999"},
        {9999.5, "1E4"},  // rounds to five integer digits: scientific
        {12345, "1.235E4"},
        {-120000, "-1.2E5"},
        {0.1, "0.1"},
        {0.00001, "0.00001"},  // the smallest magnitude still in fixed notation
        {0.000012345, "0.00001235"},
        {0.0000099, "9.9E-6"},
        {1e-300, "1E-300"},
        {1e300, "1E300"},
        {100, "100"},
        {10.5, "10.5"},
        {0.99996, "1"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(formatGeneral4(value), text) << value;
    EXPECT_EQ(formatGeneral4(std::numeric_limits<double>::quiet_NaN()), "NAN");
    EXPECT_EQ(formatGeneral4(-std::numeric_limits<double>::infinity()), "-INF");
}

TEST(ReadoutFormat, TimesAndSpansAsHoursMinutesSeconds) {
    const double second = 1.0 / 86400;
    EXPECT_EQ(formatTimeOfDay(45000.0 + (13 * 3600 + 5 * 60 + 9) * second), "13:05:09");
    EXPECT_EQ(formatTimeOfDay(25.0 / 24), "01:00:00");  // a span of a day or more: the rest
    EXPECT_EQ(formatTimeOfDay(0), "00:00:00");
    EXPECT_EQ(formatTimeOfDay(59.9996 * second), "00:01:00");
}

// A series with the points (x, y) in the given order.
std::unique_ptr<XYLine> Curve(const std::vector<std::pair<double, double>>& points) {
    auto line = std::make_unique<XYLine>();
    for (const auto& [x, y] : points) line->addXY(x, y);
    return line;
}

TEST(CurveValue, OnAPointBetweenPointsAndOutsideTheCurve) {
    const auto line = Curve({{1, 10}, {2, 20}, {3, 5}});
    const struct {
        double t;
        bool found;
        double value;
        bool falling;
    } cases[] = {
        {0.5, false, 0, false},  // before the first point
        {1, false, 0, false},    // at the first point: no segment leads to it
        {1.25, true, 12.5, false}, {2, true, 20, false},  // exactly on a point: its value
        {2.5, true, 12.5, true},   {3, true, 5, true},
        {3.01, false, 0, false},  // after the last point
    };
    for (const auto& c : cases) {
        const std::optional<CurveValue> v = curveValueAt(*line, c.t);
        ASSERT_EQ(v.has_value(), c.found) << c.t;
        if (!v) continue;
        EXPECT_DOUBLE_EQ(v->value, c.value) << c.t;
        EXPECT_EQ(v->falling, c.falling) << c.t;
    }
    EXPECT_FALSE(curveValueAt(XYLine(), 1).has_value());
}

TEST(CurveValue, ClockSetBackTakesTheFirstPointAtOrAfterTheTime) {
    // Times 10, 20, then the clock went back to 5 and on to 30.
    const auto line = Curve({{10, 1}, {20, 2}, {5, 100}, {30, 200}});
    ASSERT_FALSE(line->xAscending());
    const std::optional<CurveValue> v = curveValueAt(*line, 15);
    ASSERT_TRUE(v.has_value());
    EXPECT_DOUBLE_EQ(v->value, 1.5);
    const std::optional<CurveValue> late = curveValueAt(*line, 25);
    ASSERT_TRUE(late.has_value());  // the segment 5 → 30
    EXPECT_DOUBLE_EQ(late->value, 100 + 20 * 100.0 / 25);
}

TEST(ValueLabel, BelowARisingPointAboveAFallingOneHiddenBeyondTheField) {
    Axis axis(ScaleFlag::Vertical);
    axis.applyRange(0, 100);
    axis.setLinePos(49, 249, 200);                        // value 0 at row 249, 100 at row 49
    const QRect field(QPoint(50, 50), QPoint(399, 249));  // right and bottom inclusive
    const QSize size(30, 12);
    const int row = axis.valueToPixel(50);
    EXPECT_EQ(valueLabelPlace(100, {50, false}, axis, size, field), QPoint(105, row));
    EXPECT_EQ(valueLabelPlace(100, {50, true}, axis, size, field), QPoint(105, row - 12));
    EXPECT_FALSE(valueLabelPlace(366, {50, false}, axis, size, field));  // 371 + 30 > 400
    EXPECT_TRUE(valueLabelPlace(365, {50, false}, axis, size, field));
    EXPECT_FALSE(valueLabelPlace(100, {99.9, true}, axis, size, field));  // above the top
    EXPECT_FALSE(valueLabelPlace(100, {0.1, false}, axis, size, field));  // below the bottom
    EXPECT_FALSE(valueLabelPlace(100, {500, false}, axis, size, field));
}

// Labels of close curves at one marker: apart, in the order of their values' rows, inside the
// field; one with no room left is dropped rather than drawn over another.
TEST(ValueLabel, StackedApartInTheirOrderWithinTheField) {
    const QRect field(QPoint(50, 50), QPoint(399, 249));
    const auto apart = [](const std::vector<std::optional<QRect>>& placed) {
        for (std::size_t i = 0; i < placed.size(); ++i) {
            for (std::size_t j = i + 1; j < placed.size(); ++j) {
                if (placed[i] && placed[j] && placed[i]->intersects(*placed[j])) return false;
            }
        }
        return true;
    };
    // "22" wanted at row 100, "21.34" at 104, a third far away stays where it is.
    auto placed = stackLabels({{105, 100, 20, 12}, {105, 104, 40, 12}, {105, 200, 20, 12}}, field);
    ASSERT_TRUE(placed[0] && placed[1] && placed[2]);
    EXPECT_TRUE(apart(placed));
    EXPECT_EQ(placed[0]->top(), 100);
    EXPECT_EQ(placed[1]->top(), 112);
    EXPECT_EQ(placed[2]->top(), 200);
    // At the bottom of the field the stack goes up instead.
    placed = stackLabels({{105, 236, 20, 12}, {105, 237, 20, 12}}, field);
    ASSERT_TRUE(placed[0] && placed[1]);
    EXPECT_TRUE(apart(placed));
    EXPECT_EQ(placed[1]->bottom(), 249);
    EXPECT_EQ(placed[0]->bottom(), 237);
    // More labels than the field holds: the ones without room go.
    std::vector<QRect> many(20, QRect(105, 60, 20, 12));
    placed = stackLabels(many, field);
    EXPECT_TRUE(apart(placed));
    EXPECT_EQ(std::count_if(placed.begin(), placed.end(), [](auto& p) { return p.has_value(); }),
              200 / 12);
}

// The main window's plot as laid out in the house example: 875 × 635 pixels, "0" 6 pixels wide,
// font 11 pixels high. The right axis carries ticks and labels of up to 4 characters.
TEST(ChartLayout, RightAxisHasTicksAndLabelsInA34PixelBand) {
    test::TempDir dir;
    MemIni ini(dir.File("mem.ini"));
    XYPlot plot;
    std::array<std::unique_ptr<XYLine>, kChartSlots> owned;
    std::array<XYLine*, kChartSlots> lines{};
    for (int k = 0; k < kChartSlots; ++k) {
        owned[static_cast<std::size_t>(k)] = std::make_unique<XYLine>();
        owned[static_cast<std::size_t>(k)]->setPlot(&plot);
        lines[static_cast<std::size_t>(k)] = owned[static_cast<std::size_t>(k)].get();
    }
    TrendChart chart(plot, lines, ini);
    chart.stylePlot();
    plot.resize(875, 635);
    plot.leftAxis()->setMinMax(-50, 50);
    plot.rightAxis()->setMinMax(-500, 500);
    plot.bottomAxis()->setMinMax(-10, 300);
    EXPECT_TRUE(plot.rightAxis()->ticksLines());
    EXPECT_FALSE(plot.rightAxis()->noTicksLabel());
    EXPECT_EQ(plot.rightAxis()->ticksCount(), 11);
    EXPECT_EQ(plot.rightAxis()->getTickLabel(0), "-500");
    plot.calcLayout(plot.size(), 6,
                    11);  // twice: the overhangs use the previous layout's pixel scale
    plot.calcLayout(plot.size(), 6, 11);
    EXPECT_EQ(plot.fieldRect(), QRect(QPoint(28, 9), QPoint(840, 613)));
    EXPECT_EQ(plot.rightAxis()->lineX(), 841);
    for (auto& line : owned) line.reset();
}

}  // namespace
}  // namespace kvel
