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
    const TMemIni ini(file);
    ASSERT_EQ(ini.ReadFloat("diag", "left_max", 0), 1e-310);
    Tsp_XYPlot plot;
    plot.resize(875, 635);
    std::array<std::unique_ptr<Tsp_XYLine>, kChartSlots> owned;
    std::array<Tsp_XYLine*, kChartSlots> lines{};
    for (int k = 0; k < kChartSlots; ++k) {
        owned[std::size_t(k)] = std::make_unique<Tsp_XYLine>();
        owned[std::size_t(k)]->SetPlot(&plot);
        lines[std::size_t(k)] = owned[std::size_t(k)].get();
    }
    TTrendChart chart(plot, lines, ini);
    chart.StylePlot();
    chart.ApplyAxisScaling();
    chart.SetTimeWindow(46000.5);
    plot.Paint();
    for (Tsp_Axis* a : {plot.LeftAxis(), plot.RightAxis(), plot.BottomAxis()}) {
        EXPECT_LT(a->Min(), a->Max());
        EXPECT_GE(a->TicksCount(), 0);
        EXPECT_LE(a->TicksCount(), 21);
    }
    EXPECT_EQ(plot.LeftAxis()->Min(), 0);  // an empty range widened as 0 .. 0 is
    EXPECT_EQ(plot.LeftAxis()->Max(), 1);
    for (auto& line : owned) line.reset();
}

}  // namespace
}  // namespace kvel
