#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "plot/axis.h"
#include "plot_test_util.h"

namespace {

std::vector<double> Ticks(const Scale& s) {
    std::vector<double> r;
    for (int i = 0; i < s.ticksCount(); ++i) r.push_back(s.tickValue(i));
    return r;
}

std::vector<double> Seq(double first, double step, int n) {
    std::vector<double> r;
    for (int i = 0; i < n; ++i) r.push_back(first + step * i);
    return r;
}

TEST(ScaleRange, SortsAndWidensEmptyRanges) {
    struct Case {
        double a, b, min, max;
    } cases[] = {
        {5, 5, 5, 6},       {3, 3, 3, 4},       {100, 100, 99, 110}, {-100, -100, -99, -90},
        {20, 20, 19.8, 22}, {50, -50, -50, 50}, {0, 0, 0, 1},        {-9.5, -9.5, -9.5, -8.5},
    };
    for (const Case& c : cases) {
        Scale s;
        s.applyRange(c.a, c.b);
        EXPECT_DOUBLE_EQ(s.min(), c.min) << c.a << " " << c.b;
        EXPECT_DOUBLE_EQ(s.max(), c.max) << c.a << " " << c.b;
        EXPECT_GT(s.range(), 0);
    }
}

TEST(ScaleRange, ScaleFactorFromTheSlightlyLargeLn10) {
    struct Case {
        double min, max, k;
    } cases[] = {
        {0, 100, 1},  // exactly 100: d = 1
        {0, 10, 10},  // exactly 10: d = 0
        {0, 1, 10},  {0, 0.1, 100}, {0, 1000, 0.1}, {-10, 300, 0.1}, {0, 99.9, 1}, {0, 9.99, 10},
    };
    for (const Case& c : cases) {
        Scale s;
        s.applyRange(c.min, c.max);
        EXPECT_DOUBLE_EQ(s.scaleFactor(), c.k) << c.min << ".." << c.max;
        EXPECT_GE(s.range() * s.scaleFactor(), 9.99);
        EXPECT_LE(s.range() * s.scaleFactor(), 100);
    }
}

TEST(ScaleRange, IgnoresValuesThatAreNotNumbers) {
    Scale s;
    s.applyRange(-5, 5);
    s.applyRange(NAN, 3);
    s.applyRange(0, INFINITY);
    EXPECT_EQ(s.min(), -5);
    EXPECT_EQ(s.max(), 5);
}

TEST(ScaleRange, RangesWithoutAFiniteScaleAreRepaired) {
    const double big = std::numeric_limits<double>::max();
    const double cases[][2] = {
        {0, 1e-310}, {0, 5e-324},  {1e-310, 3e-310},   {-1e308, 1e308}, {-big, big},
        {big, big},  {-big, -big}, {1.7e308, 1.7e308}, {0, 1e308},      {-1e-300, 1e-300},
    };
    const ScaleFlags flagWords[] = {{},
                                    ScaleFlag::Vertical,
                                    ScaleFlag::Inversed,
                                    ScaleFlag::Vertical | ScaleFlag::NoTicksAdjusted};
    for (const auto& c : cases)
        for (ScaleFlags flags : flagWords)
            for (int wanted : {0, 1, 11, 21}) {
                Axis a(flags);
                a.setTicksCount(wanted);
                a.setLinePos(27, 613, 604);
                a.applyRange(c[0], c[1]);
                const std::string what = std::to_string(c[0]) + ".." + std::to_string(c[1]) +
                                         " flags " + std::to_string(flags) + " ticks " +
                                         std::to_string(wanted);
                ASSERT_LT(a.min(), a.max()) << what;
                ASSERT_TRUE(std::isfinite(a.range()) && a.range() > 0) << what;
                ASSERT_TRUE(std::isfinite(a.scaleFactor()) && a.scaleFactor() > 0) << what;
                ASSERT_GE(a.ticksCount(), 0) << what;
                ASSERT_LE(a.ticksCount(), 21) << what;
                for (int i = 0; i < a.ticksCount(); ++i) {
                    EXPECT_TRUE(std::isfinite(a.tickValue(i))) << what;
                    EXPECT_LE(std::abs(a.tickPixel(i)), 16383) << what;
                }
                // The layout reads the first and the last tick.
                EXPECT_GE(a.startOverhang(6, 11), 0) << what;
                EXPECT_GE(a.endOverhang(6, 11), 0) << what;
                EXPECT_GE(a.bandWidth(6, 11), 1) << what;
                for (double d : {300.0, -300.0, 1e308, -1e308}) {
                    a.scrollBy(d, std::abs(d) < 1000);
                    ASSERT_TRUE(std::isfinite(a.min()) && std::isfinite(a.max())) << what;
                    ASSERT_GE(a.ticksCount(), 0) << what << " scrolled " << d;
                    ASSERT_LE(a.ticksCount(), 21) << what << " scrolled " << d;
                }
            }
    Scale s;
    s.applyRange(0, 1e-310);  // as empty: widened like 0 .. 0
    EXPECT_EQ(s.min(), 0);
    EXPECT_EQ(s.max(), 1);
    s.applyRange(-1e308, 1e308);  // the ends pulled in to a quarter of the largest double
    EXPECT_DOUBLE_EQ(s.max(), big / 4);
    EXPECT_DOUBLE_EQ(s.min(), -big / 4);
}

TEST(ScaleLabels, LongFixedFormsTurnIntoExponentsOnEveryAxis) {
    const ScaleFlags sides[] = {
        {}, ScaleFlag::Vertical, ScaleFlag::Vertical | ScaleFlag::FarSide, ScaleFlag::FarSide};
    const double ranges[][2] = {{-1e308, 1e308}, {0, 3e12}, {-7.5e11, -2.5e11}, {1e10, 1e10}};
    for (ScaleFlags flags : sides) {
        for (const auto& r : ranges) {
            Axis a(flags);
            a.setTicksCount(11);
            a.applyRange(r[0], r[1]);
            const double step = a.tickValue(1) - a.tickValue(0);
            for (int i = 0; i < a.ticksCount(); ++i) {
                const QString label = a.getTickLabel(i);
                EXPECT_LE(label.size(), 10) << label.toStdString();
                bool ok = false;
                const double back = label.toDouble(&ok);  // reads back as the tick, to its step
                EXPECT_TRUE(ok) << label.toStdString();
                EXPECT_NEAR(back, a.tickValue(i), step / 100) << label.toStdString();
            }
        }
    }
    Axis a(ScaleFlag::Vertical);
    a.setTicksCount(11);
    a.applyRange(-1e308, 1e308);
    EXPECT_EQ(a.getTickLabel(0), "-4.4E307");
    EXPECT_EQ(a.getTickLabel(5), "-4E306");
    a.applyRange(-50, 50);  // short fixed forms stay as the pattern makes them
    EXPECT_EQ(a.getTickLabel(0), "-50");
    a.applyRange(12345670, 12345680);
    EXPECT_EQ(a.getTickLabel(0), "12345670");
}

TEST(ScaleTicks, WholeUnitsFractionsAndCaps) {
    struct Case {
        double min, max;
        int wanted;
        ScaleFlags flags;
        std::vector<double> ticks;
    } cases[] = {
        {-50, 50, 11, {}, Seq(-50, 10, 11)},
        {-500, 500, 11, {}, Seq(-500, 100, 11)},
        {-10, 300, 11, {}, Seq(-10, 30, 11)},
        {0, 99, 21, {}, Seq(0, 4, 21)},  // 25 ticks cut to 21
        {-50, 50, 11, ScaleFlag::Inversed, Seq(50, -10, 11)},
        {0.5, 9.5, 1, {}, {0.5}},                   // one tick at the first whole unit
        {0.5, 9.5, 1, ScaleFlag::Inversed, {9.5}},  // ... the last one when inversed
        {-50, 50, 0, {}, {}},
        {0, 100, 5, ScaleFlag::NoTicksAdjusted, Seq(0, 25, 5)},  // equal parts of the line
        {7, 8, 3, ScaleFlag::NoTicksAdjusted | ScaleFlag::Inversed, {8, 7.5, 7}},
    };
    for (const Case& c : cases) {
        Axis a(c.flags);
        a.setTicksCount(c.wanted);
        a.applyRange(c.min, c.max);
        const std::vector<double> got = Ticks(a);
        ASSERT_EQ(got.size(), c.ticks.size()) << c.min << ".." << c.max;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.ticks[i], 1e-9) << c.min << ".." << c.max << " #" << i;
    }
}

TEST(ScaleTicks, WantedCountIsCappedAndReadBackAsComputed) {
    Axis a;
    a.setTicksCount(25);
    EXPECT_EQ(a.wantedTicksCount(), 21);
    a.applyRange(-50, 50);
    a.setTicksCount(11);
    a.applyRange(0, 99);
    a.setTicksCount(21);
    EXPECT_EQ(a.ticksCount(), 21);
    a.setTicksCount(4);  // span 99, step 33: four ticks
    EXPECT_EQ(a.ticksCount(), 4);
}

TEST(ScaleMapping, PixelsAreRoundedToEvenAndClamped) {
    Scale h;
    h.applyRange(0, 10);
    h.setLinePos(0, 0, 10);
    Scale v(ScaleFlag::Vertical);
    v.applyRange(-50, 50);
    v.setLinePos(27, 613, 604);
    Scale inv(ScaleFlag::Inversed);
    inv.applyRange(0, 100);
    inv.setLinePos(10, 0, 100);
    struct Case {
        const Scale* s;
        double value;
        int pixel;
    } cases[] = {
        {&h, 0.5, 0},         {&h, 1.5, 2},           {&h, 2.5, 2},         {&h, 10, 10},
        {&h, 1e9, 16383},     {&h, -1e9, -16383},     {&h, 16383.4, 16383}, {&h, -16383.4, -16383},
        {&h, 16382.5, 16382}, {&h, -16383.6, -16383}, {&v, -50, 613},       {&v, 50, 9},
        {&v, 0, 311},         {&v, -1e12, 16383},     {&inv, 100, 10},      {&inv, 0, 110},
        {&inv, 25, 85},
    };
    for (const Case& c : cases) EXPECT_EQ(c.s->valueToPixel(c.value), c.pixel) << c.value;
    EXPECT_DOUBLE_EQ(v.pixelToValue(613), -50);
    EXPECT_DOUBLE_EQ(v.pixelToValue(9), 50);
    EXPECT_DOUBLE_EQ(inv.pixelToValue(85), 25);
    EXPECT_DOUBLE_EQ(h.pixelToValue(20000), 20000);  // no clamping back
}

TEST(ScaleMapping, LineLengthIsRepaired) {
    Scale s;
    s.setLinePos(5, 5, 0);
    EXPECT_EQ(s.lineLength(), 1);
    s.setLinePos(5, 5, -40);
    EXPECT_EQ(s.lineLength(), 40);
}

TEST(ScaleScroll, KeepsTheGridWithinTheRangeAndRecomputesBeyondIt) {
    Axis a;
    a.setTicksCount(11);
    a.applyRange(-50, 50);
    a.setLinePos(0, 0, 100);
    a.scrollBy(5, false);
    EXPECT_DOUBLE_EQ(a.min(), -45);
    EXPECT_DOUBLE_EQ(a.max(), 55);
    EXPECT_EQ(Ticks(a), Seq(-40, 10, 10));
    EXPECT_EQ(a.tickPixel(0), 5);
    a.scrollBy(-3, true);  // 3 pixels = 3 units
    EXPECT_DOUBLE_EQ(a.min(), -48);
    EXPECT_EQ(Ticks(a), Seq(-40, 10, 10));
    a.scrollBy(-7, false);
    EXPECT_EQ(Ticks(a), Seq(-50, 10, 10));
    a.scrollBy(123.5, false);  // more than the range: a fresh grid from the new Min
    EXPECT_DOUBLE_EQ(a.min(), 68.5);
    EXPECT_EQ(Ticks(a), Seq(69, 9, 12));
}

TEST(ScaleScroll, VerticalAndInversedAxesFollowThePixels) {
    Axis v(ScaleFlag::Vertical);
    v.setTicksCount(11);
    v.applyRange(-50, 50);
    v.setLinePos(0, 100, 100);
    v.scrollBy(-10, true);  // the mouse moved down 10 pixels: the data follows it
    EXPECT_DOUBLE_EQ(v.min(), -40);
    EXPECT_EQ(Ticks(v), Seq(-40, 10, 11));
    Axis inv(ScaleFlag::Inversed);
    inv.setTicksCount(11);
    inv.applyRange(-50, 50);
    inv.setLinePos(0, 0, 100);
    inv.scrollBy(15, false);
    EXPECT_EQ(Ticks(inv), Seq(60, -10, 10));
}

TEST(ScaleMeasures, OverhangsAndBandWidths) {
    const int cw = 6, ch = 11;
    Axis v(ScaleFlag::Vertical);
    v.setTicksCount(11);
    v.applyRange(-50, 50);
    v.setLinePos(27, 613, 604);
    EXPECT_EQ(v.bandWidth(cw, ch), 1 + 3 * cw + 5);
    EXPECT_EQ(v.startOverhang(cw, ch), 5);
    v.applyRange(-52, 50);  // first tick 12 pixels in from the start
    EXPECT_EQ(v.startOverhang(cw, ch), 0);
    v.setNoTicksLabel(true);
    EXPECT_EQ(v.bandWidth(cw, ch), 1 + 4);
    EXPECT_EQ(v.startOverhang(cw, ch), 0);
    v.setTicksLines(false);
    EXPECT_EQ(v.bandWidth(cw, ch), 1);
    Axis h;
    h.lineAttr()->setWidth(3);
    h.applyRange(0, 100);
    EXPECT_EQ(h.bandWidth(cw, ch), 3 + ch + 5);
    h.setTicksCount(0);
    EXPECT_EQ(h.ticksCount(), 0);
    EXPECT_EQ(h.bandWidth(cw, ch), 3);
    EXPECT_EQ(h.endOverhang(cw, ch), 0);
}

TEST(AxisProperties, MinAboveMaxSwapsAndSwitchesAutoOff) {
    Axis a(ScaleFlag::Vertical);
    a.applyRange(0, 10);
    a.setAutoMin(true);
    a.setAutoMax(true);
    a.setMin(15);
    EXPECT_EQ(a.min(), 10);
    EXPECT_EQ(a.max(), 15);
    EXPECT_FALSE(a.autoMin());
    EXPECT_TRUE(a.autoMax());
    a.setMinMax(20, 20);
    EXPECT_DOUBLE_EQ(a.min(), 19.8);
    EXPECT_DOUBLE_EQ(a.max(), 22);
    EXPECT_FALSE(a.autoMax());
}

TEST(AxisProperties, RememberedRangeIsForgottenByDirectChanges) {
    Axis a;
    a.applyRange(0, 10);
    a.saveMinMax();
    a.applyRange(2, 3);
    a.saveMinMax();  // keeps the first one
    a.restoreMinMax();
    EXPECT_EQ(a.min(), 0);
    EXPECT_EQ(a.max(), 10);
    EXPECT_FALSE(a.hasSavedMinMax());
    for (int how = 0; how < 4; ++how) {
        a.saveMinMax();
        if (how == 0) a.setMin(1);
        if (how == 1) a.setMax(9);
        if (how == 2) a.setMinMax(1, 2);
        if (how == 3) a.moveMinMax(1);
        EXPECT_FALSE(a.hasSavedMinMax()) << how;
    }
}

TEST(LineAttr, OwnerHearsOfSettersAndAssignmentStaysQuiet) {
    struct Owner : AttrOwner {
        int calls = 0;
        void attrChanged() override { ++calls; }
    } owner;
    Axis a;
    a.lineAttr()->setOwner(&owner);
    const int& calls = owner.calls;
    a.lineAttr()->setColor(a.lineAttr()->color());  // unchanged still reports
    EXPECT_EQ(calls, 1);
    LineAttr same;
    a.setLineAttr(same);
    EXPECT_EQ(calls, 1);
    LineAttr red(Qt::red, Qt::DashLine, 2, true);
    a.setLineAttr(red);  // copied without a report of its own
    EXPECT_EQ(a.lineAttr()->color(), Qt::red);
    EXPECT_EQ(a.lineAttr()->style(), Qt::DashLine);
    EXPECT_EQ(a.lineAttr()->width(), 2);
    EXPECT_EQ(calls, 1);
}

TEST(AxisProperties, AssignCopiesSettingsButNotThePlot) {
    Axis src(ScaleFlag::Vertical | ScaleFlag::AutoMax);
    src.setTicksCount(11);
    src.applyRange(-50, 50);
    src.setLinePos(27, 613, 604);
    src.setCaption("t");
    src.gridAttr()->setVisible(true);
    Axis dst;
    dst.saveMinMax();
    dst.assign(src);
    EXPECT_EQ(dst.flags(), src.flags());
    EXPECT_EQ(dst.valueToPixel(50), 9);
    EXPECT_EQ(dst.ticksCount(), 11);
    EXPECT_TRUE(dst.gridAttr()->visible());
    EXPECT_FALSE(dst.hasSavedMinMax());
    EXPECT_EQ(dst.plot(), nullptr);
}

}  // namespace
