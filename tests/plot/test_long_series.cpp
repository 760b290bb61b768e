#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "plot/column_reduce.h"
#include "plot/xy_plot.h"
#include "plot_test_util.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0);
constexpr double kX0 = 46000, kStep = 5.0 / 86400;

// The topmost and bottommost row of the curve's colour in one pixel column; −1 without ink.
struct Extent {
    int top = -1, bottom = -1;
};

// The main window's plot size; one series drawn once by the plot (per pixel column where its
// points are dense) and once by Reference (every segment by itself), and the two compared.
class LongSeries : public ::testing::Test {
  protected:
    void SetUp() override {
        plot.resize(875, 635);
        plot.leftAxis()->setMinMax(-20, 60);
        plot.leftAxis()->gridAttr()->setVisible(false);
        plot.bottomAxis()->gridAttr()->setVisible(false);
        line.lineAttr()->setColor(Qt::red);
    }
    void Render(double x0, double x1) {
        plot.bottomAxis()->setMinMax(x0, x1);
        line.setPlot(&plot);
        fast = Shown(plot);
        line.setPlot(nullptr);
        Reference ref(&line);
        ref.setPlot(&plot);
        exact = Shown(plot);
        ref.setPlot(nullptr);
    }
    std::vector<Extent> Columns(const QImage& img) const {
        const QRect f = plot.fieldRect();
        std::vector<Extent> r(std::size_t(f.width()));
        for (int x = f.left(); x <= f.right(); ++x)
            for (int y = f.top(); y <= f.bottom(); ++y)
                if (img.pixel(x, y) == kRed) {
                    Extent& e = r[std::size_t(x - f.left())];
                    if (e.top < 0) e.top = y;
                    e.bottom = y;
                }
        return r;
    }
    // Every column has ink in both drawings or in neither, and the same extent within a pixel;
    // returns the number of columns with ink.
    int ExpectSameColumns(const char* what) {
        const std::vector<Extent> a = Columns(fast), b = Columns(exact);
        int inked = 0;
        for (std::size_t x = 0; x < a.size(); ++x) {
            EXPECT_EQ(a[x].top < 0, b[x].top < 0) << what << " column " << x;
            EXPECT_LE(std::abs(a[x].top - b[x].top), 1) << what << " column " << x;
            EXPECT_LE(std::abs(a[x].bottom - b[x].bottom), 1) << what << " column " << x;
            inked += a[x].top >= 0;
        }
        return inked;
    }
    void add(int i, double y) { line.addXY(kX0 + i * kStep, y); }
    int X(double v) const { return plot.bottomAxis()->valueToPixel(v); }
    int Y(double v) const { return plot.leftAxis()->valueToPixel(v); }

    XYPlot plot;
    XYLine line;
    QImage fast, exact;
};

TEST_F(LongSeries, NoisyDataKeepsEveryColumnsExtentInEveryView) {
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0, 3);
    constexpr int kN = 200000;
    for (int i = 0; i < kN; ++i) {
        if (i >= 90000 && i < 93000) continue;  // a gap: points of a while missing
        double y = 20 + 15 * std::sin(i / 5000.0) + noise(rng);
        if (i % 7919 == 0) y += 25;  // short spikes
        if (i == 150001) y = 1e9;    // far off above, and below: drawn toward the edges
        if (i == 150002) y = -1e9;
        if (i == 170000) y = NAN;  // converts to the top clamp as before
        add(i, y);
    }
    const double last = line.xValue(line.count() - 1), span = last - kX0;
    const double views[][2] = {
        {kX0, last},                             // the whole range
        {kX0 + 0.25 * span, kX0 + 0.35 * span},  // zoomed, cut by both edges
        {kX0 - 0.5 * span, kX0 + 0.5 * span},    // starting inside, cut by the right edge
        {kX0 + 0.74 * span, kX0 + 0.76 * span},  // around the far points
    };
    for (int width : {1, 3}) {
        line.lineAttr()->setWidth(std::uint16_t(width));
        for (const auto& v : views) {
            Render(v[0], v[1]);
            const std::string what = std::to_string(v[0]) + ".." + std::to_string(v[1]) +
                                     " width " + std::to_string(width);
            EXPECT_GT(ExpectSameColumns(what.c_str()), 300) << what;
        }
    }
    // The whole range really was drawn per column: a few lines per column, not a segment per
    // point.
    plot.bottomAxis()->setMinMax(kX0, last);
    std::vector<QLine> lines;
    reduceToColumns(line, plot.bottomAxis()->map(), plot.leftAxis()->map(), 0, line.count() - 1,
                    lines);
    EXPECT_LT(lines.size(), std::size_t(3 * plot.bottomAxis()->lineLength()));
}

TEST_F(LongSeries, ASingleSampleSpikeOrDipInAMonthIsDrawnAtFullHeight) {
    constexpr int kN = 518400, kSpike = 123457, kDip = 400001;
    for (int i = 0; i < kN; ++i)
        add(i, i == kSpike ? 55 : i == kDip ? -15 : 20 + 2 * std::sin(i / 3000.0));
    Render(kX0, line.xValue(kN - 1));
    const std::vector<Extent> a = Columns(fast);
    const int left = plot.fieldRect().left();
    const Extent spike = a[std::size_t(X(line.xValue(kSpike)) - left)];
    const Extent dip = a[std::size_t(X(line.xValue(kDip)) - left)];
    // From the curve around it to the sample's own row.
    EXPECT_EQ(spike.top, Y(55));
    EXPECT_GE(spike.bottom, Y(line.yValue(kSpike - 1)) - 1);
    EXPECT_EQ(dip.bottom, Y(-15));
    EXPECT_LE(dip.top, Y(line.yValue(kDip - 1)) + 1);
    ExpectSameColumns("month");
}

TEST_F(LongSeries, PointsAppendedBetweenPaintsShowAsOnALineDrawnAfresh) {
    std::mt19937 rng(5);
    std::normal_distribution<double> noise(0, 3);
    int i = 0;
    for (; i < 100000; ++i) add(i, 20 + 10 * std::sin(i / 3000.0) + noise(rng));
    plot.bottomAxis()->setMinMax(kX0, kX0 + 120000 * kStep);
    line.setPlot(&plot);
    // Points joining the last column, opening new ones, after a gap, far off and back.
    for (int k = 0; k < 100; ++k) {
        i += k % 50 == 0 ? 700 : 3;
        line.addXY(kX0 + i * kStep, k == 40 ? 1e9 : k == 41 ? -1e9 : 20 + noise(rng));
        if (k % 10 == 0) Paint(plot);
    }
    Render(kX0, kX0 + 120000 * kStep);
    EXPECT_GT(ExpectSameColumns("appended"), 600);  // the data end at five sixths
}

// A line with breaks: points and breaks appended since the last paint, or the series refilled
// with as many points, show as on a line drawn afresh.
TEST_F(LongSeries, BrokenLineShowsWhatChangedSinceItsLastPaint) {
    const auto fill = [](XYLine& l, int from, int to, double lift) {
        for (int i = from; i < to; ++i) {
            if (i % 997 == 500) l.addBreak();
            l.addXY(kX0 + i * kStep, 20 + lift + 10 * std::sin(i / 3000.0));
        }
    };
    // The plot's picture with `line`, and with a new line of the same points instead.
    const auto expectAsAfresh = [&](int to, double lift, const char* what) {
        const QImage kept = Shown(plot);
        XYLine fresh;
        fresh.lineAttr()->setColor(Qt::red);
        fill(fresh, 0, to, lift);
        line.setPlot(nullptr);
        fresh.setPlot(&plot);
        EXPECT_TRUE(kept == Shown(plot)) << what;
        fresh.setPlot(nullptr);
        line.setPlot(&plot);
    };
    plot.bottomAxis()->setMinMax(kX0, kX0 + 60000 * kStep);
    fill(line, 0, 40000, 0);
    line.setPlot(&plot);
    Paint(plot);
    fill(line, 40000, 50000, 0);
    expectAsAfresh(50000, 0, "appended");
    line.clear();
    fill(line, 0, 50000, 15);
    expectAsAfresh(50000, 15, "refilled");
}

TEST_F(LongSeries, XGoingBackOnceIsDrawnSegmentBySegment) {
    for (int i = 0; i < 60000; ++i) add(i < 30000 ? i : i - 2000, 20 + 10 * std::sin(i / 700.0));
    ASSERT_FALSE(line.xAscending());
    Render(kX0, line.xValue(29999));
    EXPECT_EQ(fast, exact);
    EXPECT_GT(ExpectSameColumns("back"), 700);
}

TEST_F(LongSeries, FewPointsAndViewsWithoutPoints) {
    Render(kX0, kX0 + 1);  // no point
    EXPECT_EQ(ExpectSameColumns("empty"), 0);
    add(10, 20);
    Render(kX0, kX0 + 1);  // one point and no marks: nothing
    EXPECT_EQ(ExpectSameColumns("one"), 0);
    add(5000, 40);
    Render(kX0, kX0 + 1);
    EXPECT_EQ(fast, exact);
    EXPECT_GT(ExpectSameColumns("two"), 200);

    // A dense series with a long gap, viewed inside the gap: only the segment across it shows.
    line.clear();
    for (int i = 0; i < 40000; ++i) add(i < 20000 ? i : i + 50000, 20 + (i % 50) * 0.2);
    Render(kX0 + 30000 * kStep, kX0 + 40000 * kStep);
    EXPECT_EQ(fast, exact);
    EXPECT_GT(ExpectSameColumns("gap"), 700);
    // A view after the last point: nothing, and the whole range still matches.
    Render(kX0 + 100000 * kStep, kX0 + 110000 * kStep);
    EXPECT_EQ(ExpectSameColumns("after"), 0);
    Render(kX0, kX0 + 90000 * kStep);
    EXPECT_GT(ExpectSameColumns("gapped whole"), 700);
}

}  // namespace
