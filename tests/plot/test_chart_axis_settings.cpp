// The chart's value axes from a mem.ini whose ranges are nearly empty or overflow: the
// program used to crash on every start with such a file.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>

#include "chart/trend_chart.h"
#include "config/mem_ini.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

TEST(ChartAxisSettings, RangesWithoutAFiniteScaleStartAndPaint) {
    test::TempDir dir;
    const std::string file = dir.File("mem.ini");
    std::ofstream(file) << "[diag]\nleft_min=0\nleft_max=1e-310\nright_min=-1e308\n"
                           "right_max=1e308\nwindow=1e-310\nscale_auto=0\n";
    const MemIni ini(file);
    ASSERT_EQ(ini.readFloat("diag", "left_max", 0), 1e-310);
    XYPlot plot;
    plot.resize(875, 635);
    std::array<std::unique_ptr<XYLine>, kChartSlots> owned;
    std::array<XYLine*, kChartSlots> lines{};
    for (int k = 0; k < kChartSlots; ++k) {
        owned[std::size_t(k)] = std::make_unique<XYLine>();
        owned[std::size_t(k)]->setPlot(&plot);
        lines[std::size_t(k)] = owned[std::size_t(k)].get();
    }
    TrendChart chart(plot, lines, ini);
    chart.stylePlot();
    chart.applyAxisScaling();
    chart.setTimeWindow(46000.5);
    plot.grab();
    for (Axis* a : {plot.leftAxis(), plot.rightAxis(), plot.bottomAxis()}) {
        EXPECT_LT(a->min(), a->max());
        EXPECT_GE(a->ticksCount(), 0);
        EXPECT_LE(a->ticksCount(), 21);
    }
    EXPECT_EQ(plot.leftAxis()->min(), 0);  // an empty range widened as 0 .. 0 is
    EXPECT_EQ(plot.leftAxis()->max(), 1);
    for (auto& line : owned) line.reset();
}

}  // namespace
}  // namespace kvel
