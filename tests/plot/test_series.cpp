#include <gtest/gtest.h>

#include "plot/plot.h"
#include "plot_test_util.h"

namespace {

TEST(SeriesStorage, CapacityGrowsBy32AndKeepsThePoints) {
    Tsp_XYLine s;
    EXPECT_EQ(s.Capacity(), 32);
    for (int i = 0; i < 100; ++i) {
        s.AddXY(i, i * 2.5);
        const int expected = (i / 32 + 1) * 32;
        EXPECT_EQ(s.Capacity(), expected) << "after point " << i + 1;
    }
    EXPECT_EQ(s.Count(), 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(s.XValue(i), i);
        EXPECT_EQ(s.YValue(i), i * 2.5);
    }
    s.Clear();
    EXPECT_EQ(s.Count(), 0);
    EXPECT_EQ(s.Capacity(), 128);  // kept
}

TEST(SeriesStorage, ExtremaFollowAppendsAndClear) {
    Tsp_XYLine s;
    double v = 0;
    EXPECT_FALSE(s.GetXMin(v));
    const double pts[][2] = {{3, 10}, {1, 30}, {7, -5}, {2, 12}};
    for (auto& p : pts) s.AddXY(p[0], p[1]);
    double xmin, xmax, ymin, ymax;
    ASSERT_TRUE(s.GetXMin(xmin) && s.GetXMax(xmax) && s.GetYMin(ymin) && s.GetYMax(ymax));
    EXPECT_EQ(xmin, 1);
    EXPECT_EQ(xmax, 7);
    EXPECT_EQ(ymin, -5);
    EXPECT_EQ(ymax, 30);
    EXPECT_FALSE(s.XAscending());
    s.Clear();
    EXPECT_FALSE(s.GetYMax(v));
    s.AddXY(100, 200);  // the only extremum now
    ASSERT_TRUE(s.GetXMin(xmin) && s.GetXMax(xmax) && s.GetYMin(ymin) && s.GetYMax(ymax));
    EXPECT_EQ(xmin, 100);
    EXPECT_EQ(xmax, 100);
    EXPECT_EQ(ymin, 200);
    EXPECT_EQ(ymax, 200);
    EXPECT_TRUE(s.XAscending());
}

TEST(PointAttr, SizesAreHalfExtentsAndBorderIsCapped) {
    struct Case {
        int set, left, right, read;
    } cases[] = {{5, 2, 3, 5}, {6, 3, 4, 7}, {-2, 0, 1, 1},
                 {0, 0, 1, 1}, {1, 0, 1, 1}, {9, 4, 5, 9}};
    for (const Case& c : cases) {
        Tsp_PointAttr a;
        a.SetHSize(c.set);
        a.SetVSize(c.set);
        EXPECT_EQ(a.HalfLeft(), c.left) << c.set;
        EXPECT_EQ(a.HalfRight(), c.right) << c.set;
        EXPECT_EQ(a.HSize(), c.read) << c.set;
        EXPECT_EQ(a.HalfTop(), c.left) << c.set;
        EXPECT_EQ(a.VSize(), c.read) << c.set;
    }
    Tsp_PointAttr a;
    a.SetBorderWidth(10);
    EXPECT_EQ(a.BorderWidth(), 2);
    a.SetVSize(3);
    a.SetBorderWidth(10);
    EXPECT_EQ(a.BorderWidth(), 1);
    a.SetBorderWidth(-4);
    EXPECT_EQ(a.BorderWidth(), 1);
}

TEST(PointAttr, ReportsOnlyRealChanges) {
    Tsp_PointAttr a;
    int calls = 0;
    a.OnChange = [&](Tsp_PointAttr*) { ++calls; };
    a.SetKind(ptRectangle);
    a.SetHSize(5);
    a.SetVisible(false);
    EXPECT_EQ(calls, 0);
    a.SetKind(ptDiamond);
    a.SetHSize(4);  // half-extent 2 as before: no change
    a.SetHSize(7);
    EXPECT_EQ(calls, 2);
}

class SeriesOnPlot : public ::testing::Test {
  protected:
    void SetUp() override {
        plot.resize(400, 300);
        for (Tsp_Axis* a : {plot.LeftAxis(), plot.RightAxis()}) {
            a->SetMinMax(-50, 50);
            a->SetAutoMin(true);
            a->SetAutoMax(true);
        }
        a.SetPlot(&plot);
        b.SetPlot(&plot);
        a.AddXY(0, 10);
        a.AddXY(1, 30);
        b.AddXY(0, -20);
        b.AddXY(1, 20);
    }
    CountingPlot plot;
    Tsp_XYLine a, b;
};

TEST_F(SeriesOnPlot, AutoScalingPadsBothFoundSides) {
    b.SetActive(false);
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Min(), 9.5);
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Max(), 30.5);
    b.SetActive(true);
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Min(), -21.25);
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Max(), 31.25);
}

TEST_F(SeriesOnPlot, OnlyAutoMaxPadsTheMaximum) {
    Tsp_Axis* l = plot.LeftAxis();
    l->SetMinMax(-50, 50);  // switches both off
    l->SetAutoMax(true);
    a.AddXY(2, 70);
    EXPECT_DOUBLE_EQ(l->Min(), -50);
    EXPECT_DOUBLE_EQ(l->Max(), 73);
}

TEST_F(SeriesOnPlot, ChangingYAxisRefitsBothVerticalAxes) {
    plot.Paint();
    EXPECT_TRUE(plot.LayoutValid());
    b.SetYAxis(dsyRight);
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Min(), 9.5);
    EXPECT_DOUBLE_EQ(plot.RightAxis()->Min(), -21);
    EXPECT_DOUBLE_EQ(plot.RightAxis()->Max(), 21);
    EXPECT_FALSE(plot.LayoutValid());  // a full repaint
}

TEST_F(SeriesOnPlot, RemovingASeriesRefitsAndDestroyingThePlotDetaches) {
    {
        Tsp_XYLine c;
        c.AddXY(0, 1000);
        c.SetPlot(&plot);
        EXPECT_DOUBLE_EQ(plot.LeftAxis()->Max(), 1000 + 1020 * 0.025);
        EXPECT_EQ(plot.Series().size(), 3u);
    }
    EXPECT_EQ(plot.Series().size(), 2u);
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Max(), 31.25);
    auto other = std::make_unique<Tsp_XYPlot>();
    Tsp_XYLine d;
    d.SetPlot(other.get());
    other.reset();
    EXPECT_EQ(d.Plot(), nullptr);
    d.AddXY(1, 1);  // no plot to tell: must not touch the freed one
}

TEST_F(SeriesOnPlot, LockedSeriesReportOnceWhenUnlocked) {
    a.SetLockInvalidate(true);
    for (int i = 0; i < 10; ++i) a.AddXY(i, 100 + i);
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Max(), 31.25);  // nothing reported yet
    a.SetLockInvalidate(false);
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Max(), 109 + 129 * 0.025);
}

TEST_F(SeriesOnPlot, AttachingAnInactiveSeriesChangesNothing) {
    plot.SetBufferedDisplay(true);  // so that the field's state is kept
    plot.Paint();
    Tsp_XYLine c;
    c.SetActive(false);
    c.AddXY(0, 5000);
    c.SetPlot(&plot);
    EXPECT_TRUE(plot.LayoutValid());
    EXPECT_TRUE(plot.FieldValid());
    EXPECT_DOUBLE_EQ(plot.LeftAxis()->Max(), 31.25);
}

TEST_F(SeriesOnPlot, AppearanceChangesRepaintTheFieldOnly) {
    plot.SetBufferedDisplay(true);
    plot.Paint();
    a.LineAttr()->SetColor(clRed);
    EXPECT_TRUE(plot.LayoutValid());
    EXPECT_TRUE(plot.FrameValid());
    EXPECT_FALSE(plot.FieldValid());
    plot.Paint();
    a.PointAttr()->SetKind(ptCross);
    EXPECT_FALSE(plot.FieldValid());
    EXPECT_TRUE(plot.FrameValid());
}

}  // namespace
