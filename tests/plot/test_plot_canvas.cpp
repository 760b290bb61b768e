#include <gtest/gtest.h>

#include <limits>

#include "plot/xy_plot.h"
#include "plot_test_util.h"

namespace {

TEST(PlotCanvas, NearlyEmptyAndOverflowingRangesPaint) {
    const double big = std::numeric_limits<double>::max();
    const double ranges[][2] = {{0, 1e-310}, {-1e308, 1e308}, {-big, big}, {big, big}};
    for (const auto& r : ranges) {
        XYPlot plot;
        plot.resize(875, 635);
        for (Axis* a : {plot.leftAxis(), plot.rightAxis(), plot.bottomAxis()}) {
            a->setTicksCount(11);
            a->setMinMax(r[0], r[1]);
        }
        XYLine line;
        line.addXY(0, 0);
        line.addXY(1e-310, 1e308);
        line.setPlot(&plot);
        Paint(plot);
        // Labels of 300 digits squeeze the field of the huge ranges, but never below 3 pixels.
        const QRect f = plot.fieldRect();
        EXPECT_GE(f.width(), r[1] < 1 ? 700 : 3) << r[0] << ".." << r[1];
        EXPECT_GE(f.height(), r[1] < 1 ? 500 : 3) << r[0] << ".." << r[1];
        for (Axis* a : {plot.leftAxis(), plot.rightAxis(), plot.bottomAxis()}) {
            EXPECT_GE(a->ticksCount(), 0);
            EXPECT_LE(a->ticksCount(), 21);
        }
        line.setPlot(nullptr);
    }
}

// A plot on a screen scaled by 2, as a high-resolution display reports it.
class ScaledPlot : public XYPlot {
  protected:
    int metric(PaintDeviceMetric m) const override {
        if (m == PdmDevicePixelRatio) return 2;
        if (m == PdmDevicePixelRatioScaled) return int(2 * devicePixelRatioFScale());
        return XYPlot::metric(m);
    }
};

// Device pixel blocks of 2 × 2 that are not of one colour: detail finer than a logical pixel.
int FineBlocks(const QImage& img) {
    int n = 0;
    for (int y = 0; y + 1 < img.height(); y += 2)
        for (int x = 0; x + 1 < img.width(); x += 2) {
            const QRgb c = img.pixel(x, y);
            n += img.pixel(x + 1, y) != c || img.pixel(x, y + 1) != c ||
                 img.pixel(x + 1, y + 1) != c;
        }
    return n;
}

TEST(PlotCanvas, ThePictureFollowsTheDevicePixelRatio) {
    ScaledPlot plot;
    ASSERT_EQ(plot.devicePixelRatio(), 2);
    plot.resize(300, 200);
    XYLine line;
    line.lineAttr()->setColor(Qt::red);
    line.addXY(0, 0);
    line.addXY(10, 7);
    line.setPlot(&plot);
    const QImage shown = Shown(plot);
    EXPECT_EQ(shown.size(), QSize(600, 400));
    // Labels and the slanted line are drawn at the device's resolution, not doubled.
    EXPECT_GT(FineBlocks(shown), 100);
    line.setPlot(nullptr);
}

}  // namespace
