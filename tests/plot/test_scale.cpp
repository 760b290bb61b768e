#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "plot/scale_axis.h"
#include "plot_test_util.h"

namespace {

std::vector<double> Ticks(const Tsp_Scale& s) {
    std::vector<double> r;
    for (int i = 0; i < s.TicksCount(); ++i) r.push_back(s.TickValue(i));
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
        Tsp_Scale s(0);
        s.ApplyRange(c.a, c.b);
        EXPECT_DOUBLE_EQ(s.Min(), c.min) << c.a << " " << c.b;
        EXPECT_DOUBLE_EQ(s.Max(), c.max) << c.a << " " << c.b;
        EXPECT_GT(s.Range(), 0);
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
        Tsp_Scale s(0);
        s.ApplyRange(c.min, c.max);
        EXPECT_DOUBLE_EQ(s.ScaleFactor(), c.k) << c.min << ".." << c.max;
        EXPECT_GE(s.Range() * s.ScaleFactor(), 9.99);
        EXPECT_LE(s.Range() * s.ScaleFactor(), 100);
    }
}

TEST(ScaleRange, IgnoresValuesThatAreNotNumbers) {
    Tsp_Scale s(0);
    s.ApplyRange(-5, 5);
    s.ApplyRange(NAN, 3);
    s.ApplyRange(0, INFINITY);
    EXPECT_EQ(s.Min(), -5);
    EXPECT_EQ(s.Max(), 5);
}

TEST(ScaleRange, RangesWithoutAFiniteScaleAreRepaired) {
    const double big = std::numeric_limits<double>::max();
    const double cases[][2] = {
        {0, 1e-310}, {0, 5e-324},  {1e-310, 3e-310},   {-1e308, 1e308}, {-big, big},
        {big, big},  {-big, -big}, {1.7e308, 1.7e308}, {0, 1e308},      {-1e-300, 1e-300},
    };
    const std::uint32_t flagWords[] = {0, sfVertical, sfInversed, sfVertical | sfNoTicksAdjusted};
    for (const auto& c : cases)
        for (std::uint32_t flags : flagWords)
            for (int wanted : {0, 1, 11, 21}) {
                Tsp_Axis a(flags);
                a.SetTicksCount(wanted);
                a.SetLinePos(27, 613, 604);
                a.ApplyRange(c[0], c[1]);
                const std::string what = std::to_string(c[0]) + ".." + std::to_string(c[1]) +
                                         " flags " + std::to_string(flags) + " ticks " +
                                         std::to_string(wanted);
                ASSERT_LT(a.Min(), a.Max()) << what;
                ASSERT_TRUE(std::isfinite(a.Range()) && a.Range() > 0) << what;
                ASSERT_TRUE(std::isfinite(a.ScaleFactor()) && a.ScaleFactor() > 0) << what;
                ASSERT_GE(a.TicksCount(), 0) << what;
                ASSERT_LE(a.TicksCount(), 21) << what;
                for (int i = 0; i < a.TicksCount(); ++i) {
                    EXPECT_TRUE(std::isfinite(a.TickValue(i))) << what;
                    EXPECT_LE(std::abs(a.TickPixel(i)), 16383) << what;
                }
                // The layout reads the first and the last tick.
                EXPECT_GE(a.StartOverhang(6, 11), 0) << what;
                EXPECT_GE(a.EndOverhang(6, 11), 0) << what;
                EXPECT_GE(a.BandWidth(6, 11), 1) << what;
                for (double d : {300.0, -300.0, 1e308, -1e308}) {
                    a.ScrollBy(d, std::abs(d) < 1000);
                    ASSERT_TRUE(std::isfinite(a.Min()) && std::isfinite(a.Max())) << what;
                    ASSERT_GE(a.TicksCount(), 0) << what << " scrolled " << d;
                    ASSERT_LE(a.TicksCount(), 21) << what << " scrolled " << d;
                }
            }
    Tsp_Scale s(0);
    s.ApplyRange(0, 1e-310);  // as empty: widened like 0 .. 0
    EXPECT_EQ(s.Min(), 0);
    EXPECT_EQ(s.Max(), 1);
    s.ApplyRange(-1e308, 1e308);  // the ends pulled in to a quarter of the largest double
    EXPECT_DOUBLE_EQ(s.Max(), big / 4);
    EXPECT_DOUBLE_EQ(s.Min(), -big / 4);
}

TEST(ScaleLabels, LongFixedFormsTurnIntoExponentsOnEveryAxis) {
    const std::uint32_t sides[] = {0, sfVertical, sfVertical | sfFarSide, sfFarSide};
    const double ranges[][2] = {{-1e308, 1e308}, {0, 3e12}, {-7.5e11, -2.5e11}, {1e10, 1e10}};
    for (std::uint32_t flags : sides) {
        for (const auto& r : ranges) {
            Tsp_Axis a(flags);
            a.SetTicksCount(11);
            a.ApplyRange(r[0], r[1]);
            const double step = a.TickValue(1) - a.TickValue(0);
            for (int i = 0; i < a.TicksCount(); ++i) {
                const QString label = a.GetTickLabel(i);
                EXPECT_LE(label.size(), 10) << label.toStdString();
                bool ok = false;
                const double back = label.toDouble(&ok);  // reads back as the tick, to its step
                EXPECT_TRUE(ok) << label.toStdString();
                EXPECT_NEAR(back, a.TickValue(i), step / 100) << label.toStdString();
            }
        }
    }
    Tsp_Axis a(sfVertical);
    a.SetTicksCount(11);
    a.ApplyRange(-1e308, 1e308);
    EXPECT_EQ(a.GetTickLabel(0), "-4.4E307");
    EXPECT_EQ(a.GetTickLabel(5), "-4E306");
    a.ApplyRange(-50, 50);  // short fixed forms stay as the pattern makes them
    EXPECT_EQ(a.GetTickLabel(0), "-50");
    a.ApplyRange(12345670, 12345680);
    EXPECT_EQ(a.GetTickLabel(0), "12345670");
}

TEST(ScaleTicks, WholeUnitsFractionsAndCaps) {
    struct Case {
        double min, max;
        int wanted;
        std::uint32_t flags;
        std::vector<double> ticks;
    } cases[] = {
        {-50, 50, 11, 0, Seq(-50, 10, 11)},
        {-500, 500, 11, 0, Seq(-500, 100, 11)},
        {-10, 300, 11, 0, Seq(-10, 30, 11)},
        {0, 99, 21, 0, Seq(0, 4, 21)},  // 25 ticks cut to 21
        {-50, 50, 11, sfInversed, Seq(50, -10, 11)},
        {0.5, 9.5, 1, 0, {0.5}},           // one tick at the first whole unit
        {0.5, 9.5, 1, sfInversed, {9.5}},  // ... the last one when inversed
        {-50, 50, 0, 0, {}},
        {0, 100, 5, sfNoTicksAdjusted, Seq(0, 25, 5)},  // equal parts of the line
        {7, 8, 3, sfNoTicksAdjusted | sfInversed, {8, 7.5, 7}},
    };
    for (const Case& c : cases) {
        Tsp_Axis a(c.flags);
        a.SetTicksCount(c.wanted);
        a.ApplyRange(c.min, c.max);
        const std::vector<double> got = Ticks(a);
        ASSERT_EQ(got.size(), c.ticks.size()) << c.min << ".." << c.max;
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.ticks[i], 1e-9) << c.min << ".." << c.max << " #" << i;
    }
}

TEST(ScaleTicks, WantedCountIsCappedAndReadBackAsComputed) {
    Tsp_Axis a(0);
    a.SetTicksCount(25);
    EXPECT_EQ(a.WantedTicksCount(), 21);
    a.ApplyRange(-50, 50);
    a.SetTicksCount(11);
    a.ApplyRange(0, 99);
    a.SetTicksCount(21);
    EXPECT_EQ(a.TicksCount(), 21);
    a.SetTicksCount(4);  // span 99, step 33: four ticks
    EXPECT_EQ(a.TicksCount(), 4);
}

TEST(ScaleMapping, PixelsAreRoundedToEvenAndClamped) {
    Tsp_Scale h(0);
    h.ApplyRange(0, 10);
    h.SetLinePos(0, 0, 10);
    Tsp_Scale v(sfVertical);
    v.ApplyRange(-50, 50);
    v.SetLinePos(27, 613, 604);
    Tsp_Scale inv(sfInversed);
    inv.ApplyRange(0, 100);
    inv.SetLinePos(10, 0, 100);
    struct Case {
        const Tsp_Scale* s;
        double value;
        int pixel;
    } cases[] = {
        {&h, 0.5, 0},         {&h, 1.5, 2},           {&h, 2.5, 2},         {&h, 10, 10},
        {&h, 1e9, 16383},     {&h, -1e9, -16383},     {&h, 16383.4, 16383}, {&h, -16383.4, -16383},
        {&h, 16382.5, 16382}, {&h, -16383.6, -16383}, {&v, -50, 613},       {&v, 50, 9},
        {&v, 0, 311},         {&v, -1e12, 16383},     {&inv, 100, 10},      {&inv, 0, 110},
        {&inv, 25, 85},
    };
    for (const Case& c : cases) EXPECT_EQ(c.s->ValueToPixel(c.value), c.pixel) << c.value;
    EXPECT_DOUBLE_EQ(v.PixelToValue(613), -50);
    EXPECT_DOUBLE_EQ(v.PixelToValue(9), 50);
    EXPECT_DOUBLE_EQ(inv.PixelToValue(85), 25);
    EXPECT_DOUBLE_EQ(h.PixelToValue(20000), 20000);  // no clamping back
}

TEST(ScaleMapping, LineLengthIsRepaired) {
    Tsp_Scale s(0);
    s.SetLinePos(5, 5, 0);
    EXPECT_EQ(s.LineLength(), 1);
    s.SetLinePos(5, 5, -40);
    EXPECT_EQ(s.LineLength(), 40);
}

TEST(ScaleScroll, KeepsTheGridWithinTheRangeAndRecomputesBeyondIt) {
    Tsp_Axis a(0);
    a.SetTicksCount(11);
    a.ApplyRange(-50, 50);
    a.SetLinePos(0, 0, 100);
    a.ScrollBy(5, false);
    EXPECT_DOUBLE_EQ(a.Min(), -45);
    EXPECT_DOUBLE_EQ(a.Max(), 55);
    EXPECT_EQ(Ticks(a), Seq(-40, 10, 10));
    EXPECT_EQ(a.TickPixel(0), 5);
    a.ScrollBy(-3, true);  // 3 pixels = 3 units
    EXPECT_DOUBLE_EQ(a.Min(), -48);
    EXPECT_EQ(Ticks(a), Seq(-40, 10, 10));
    a.ScrollBy(-7, false);
    EXPECT_EQ(Ticks(a), Seq(-50, 10, 10));
    a.ScrollBy(123.5, false);  // more than the range: a fresh grid from the new Min
    EXPECT_DOUBLE_EQ(a.Min(), 68.5);
    EXPECT_EQ(Ticks(a), Seq(69, 9, 12));
}

TEST(ScaleScroll, VerticalAndInversedAxesFollowThePixels) {
    Tsp_Axis v(sfVertical);
    v.SetTicksCount(11);
    v.ApplyRange(-50, 50);
    v.SetLinePos(0, 100, 100);
    v.ScrollBy(-10, true);  // the mouse moved down 10 pixels: the data follows it
    EXPECT_DOUBLE_EQ(v.Min(), -40);
    EXPECT_EQ(Ticks(v), Seq(-40, 10, 11));
    Tsp_Axis inv(sfInversed);
    inv.SetTicksCount(11);
    inv.ApplyRange(-50, 50);
    inv.SetLinePos(0, 0, 100);
    inv.ScrollBy(15, false);
    EXPECT_EQ(Ticks(inv), Seq(60, -10, 10));
}

TEST(ScaleMeasures, OverhangsAndBandWidths) {
    const int cw = 6, ch = 11;
    Tsp_Axis v(sfVertical);
    v.SetTicksCount(11);
    v.ApplyRange(-50, 50);
    v.SetLinePos(27, 613, 604);
    EXPECT_EQ(v.BandWidth(cw, ch), 1 + 3 * cw + 5);
    EXPECT_EQ(v.StartOverhang(cw, ch), 5);
    v.ApplyRange(-52, 50);  // first tick 12 pixels in from the start
    EXPECT_EQ(v.StartOverhang(cw, ch), 0);
    v.SetNoTicksLabel(true);
    EXPECT_EQ(v.BandWidth(cw, ch), 1 + 4);
    EXPECT_EQ(v.StartOverhang(cw, ch), 0);
    v.SetTicksLines(false);
    EXPECT_EQ(v.BandWidth(cw, ch), 1);
    Tsp_Axis h(0);
    h.LineAttr()->SetWidth(3);
    h.ApplyRange(0, 100);
    EXPECT_EQ(h.BandWidth(cw, ch), 3 + ch + 5);
    h.SetTicksCount(0);
    EXPECT_EQ(h.TicksCount(), 0);
    EXPECT_EQ(h.BandWidth(cw, ch), 3);
    EXPECT_EQ(h.EndOverhang(cw, ch), 0);
}

TEST(ScaleStream, WritesTheFourExtraPropertiesInOrder) {
    Tsp_Scale s(1);
    s.ApplyRange(-50, 50);
    s.SetLinePos(27, 613, 604);
    Tsp_PropertyList out;
    s.WriteProperties(out);
    const Tsp_PropertyList expected{
        {"SFlags", "1"}, {"SLinePos", "(27 613 604)"}, {"fMin", "-50"}, {"fMax", "50"}};
    EXPECT_EQ(out, expected);
    s.ApplyRange(0, 2.5);
    out.clear();
    s.WriteProperties(out);
    EXPECT_EQ(out.size(), 3u);  // Min 0 is not written
    EXPECT_EQ(out.back().second, "2.5");
}

TEST(ScaleStream, ReadsRawValuesUntilFMaxAppliesTheRange) {
    Tsp_Axis a(0);
    a.SetTicksCount(11);
    EXPECT_TRUE(a.ReadProperty("SFlags", "1"));
    EXPECT_TRUE(a.ReadProperty("SLinePos", "(27 613 604)"));
    EXPECT_TRUE(a.ReadProperty("fMin", "-50.0"));
    EXPECT_EQ(a.Max(), 10);  // nothing recalculated yet
    EXPECT_TRUE(a.ReadProperty("fMax", "50.0"));
    EXPECT_EQ(a.Flags(), 1u);
    EXPECT_EQ(a.ValueToPixel(-50), 613);
    EXPECT_EQ(a.ValueToPixel(50), 9);
    EXPECT_EQ(a.TickValue(0), -50);

    Tsp_Scale noMin(0);  // a stream without "fMin" keeps Min at its default 0
    EXPECT_TRUE(noMin.ReadProperty("fMax", "40"));
    EXPECT_EQ(noMin.Min(), 0);
    EXPECT_EQ(noMin.Max(), 40);

    struct Bad {
        const char* name;
        const char* value;
    } bad[] = {{"fMax", "abc"},
               {"fMax", "nan"},
               {"SFlags", "-1x"},
               {"SLinePos", "(1 2)"},
               {"Unknown", "1"}};
    for (const Bad& b : bad) {
        EXPECT_FALSE(a.ReadProperty(b.name, b.value)) << b.name << "=" << b.value;
        EXPECT_EQ(a.Max(), 50);
        EXPECT_EQ(a.Flags(), 1u);
    }
}

TEST(AxisStream, RoundTripsThroughTheKeyValueForm) {
    Tsp_Axis a(sfVertical);
    a.SetTicksCount(11);
    a.SetMinMax(-500, 500);
    a.SetCaption("Температура");
    a.SetMargin(12);
    a.SetLabelAsDataTime(true);
    a.SetLabelFormat("hh:nn");
    a.GridAttr()->SetColor(0x123456);
    a.GridAttr()->SetVisible(true);
    a.LineAttr()->SetWidth(2);
    Tsp_PropertyList props;
    a.WriteProperties(props);
    Tsp_Axis b(0);
    for (const auto& [name, value] : props) EXPECT_TRUE(b.ReadProperty(name, value)) << name;
    Tsp_PropertyList again;
    b.WriteProperties(again);
    EXPECT_EQ(again, props);
    EXPECT_EQ(b.Caption(), "Температура");
    EXPECT_TRUE(b.CaptionShown());
}

TEST(AxisProperties, MinAboveMaxSwapsAndSwitchesAutoOff) {
    Tsp_Axis a(sfVertical);
    a.ApplyRange(0, 10);
    a.SetAutoMin(true);
    a.SetAutoMax(true);
    a.SetMin(15);
    EXPECT_EQ(a.Min(), 10);
    EXPECT_EQ(a.Max(), 15);
    EXPECT_FALSE(a.AutoMin());
    EXPECT_TRUE(a.AutoMax());
    a.SetMinMax(20, 20);
    EXPECT_DOUBLE_EQ(a.Min(), 19.8);
    EXPECT_DOUBLE_EQ(a.Max(), 22);
    EXPECT_FALSE(a.AutoMax());
}

TEST(AxisProperties, RememberedRangeIsForgottenByDirectChanges) {
    Tsp_Axis a(0);
    a.ApplyRange(0, 10);
    a.SaveMinMax();
    a.ApplyRange(2, 3);
    a.SaveMinMax();  // keeps the first one
    a.RestoreMinMax();
    EXPECT_EQ(a.Min(), 0);
    EXPECT_EQ(a.Max(), 10);
    EXPECT_FALSE(a.HasSavedMinMax());
    for (int how = 0; how < 4; ++how) {
        a.SaveMinMax();
        if (how == 0) a.SetMin(1);
        if (how == 1) a.SetMax(9);
        if (how == 2) a.SetMinMax(1, 2);
        if (how == 3) a.MoveMinMax(1);
        EXPECT_FALSE(a.HasSavedMinMax()) << how;
    }
}

TEST(LineAttr, HooksAndAssignment) {
    Tsp_Axis a(0);
    int calls = 0;
    a.LineAttr()->OnChange = [&](Tsp_CustomLineAttr*) { ++calls; };
    a.LineAttr()->SetColor(a.LineAttr()->Color());  // unchanged still reports
    EXPECT_EQ(calls, 1);
    Tsp_LineAttr same;
    a.SetLineAttr(same);
    EXPECT_EQ(calls, 1);
    Tsp_LineAttr red(clRed, psDash, 2, true);
    a.SetLineAttr(red);  // copied without a report of its own
    EXPECT_EQ(a.LineAttr()->Color(), clRed);
    EXPECT_EQ(a.LineAttr()->Style(), psDash);
    EXPECT_EQ(a.LineAttr()->Width(), 2);
    EXPECT_EQ(calls, 1);
}

TEST(AxisProperties, AssignCopiesSettingsButNotThePlot) {
    Tsp_Axis src(sfVertical | sfAutoMax);
    src.SetTicksCount(11);
    src.ApplyRange(-50, 50);
    src.SetLinePos(27, 613, 604);
    src.SetCaption("t");
    src.GridAttr()->SetVisible(true);
    Tsp_Axis dst(0);
    dst.SaveMinMax();
    dst.Assign(src);
    EXPECT_EQ(dst.Flags(), src.Flags());
    EXPECT_EQ(dst.ValueToPixel(50), 9);
    EXPECT_EQ(dst.TicksCount(), 11);
    EXPECT_TRUE(dst.GridAttr()->Visible());
    EXPECT_FALSE(dst.HasSavedMinMax());
    EXPECT_EQ(dst.Plot(), nullptr);
}

}  // namespace
