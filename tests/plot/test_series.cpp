#include <gtest/gtest.h>

#include "plot/xy_plot.h"
#include "plot_test_util.h"

namespace {

TEST(SeriesStorage, CapacityGrowsBy32AndKeepsThePoints) {
    XYLine s;
    EXPECT_EQ(s.capacity(), 32);
    for (int i = 0; i < 100; ++i) {
        s.addXY(i, i * 2.5);
        const int expected = (i / 32 + 1) * 32;
        EXPECT_EQ(s.capacity(), expected) << "after point " << i + 1;
    }
    EXPECT_EQ(s.count(), 100);
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(s.xValue(i), i);
        EXPECT_EQ(s.yValue(i), i * 2.5);
    }
    s.clear();
    EXPECT_EQ(s.count(), 0);
    EXPECT_EQ(s.capacity(), 128);  // kept
}

TEST(SeriesStorage, ExtremaFollowAppendsAndClear) {
    XYLine s;
    EXPECT_EQ(s.xMin(), std::nullopt);
    const double pts[][2] = {{3, 10}, {1, 30}, {7, -5}, {2, 12}};
    for (auto& p : pts) s.addXY(p[0], p[1]);
    EXPECT_EQ(s.xMin(), 1);
    EXPECT_EQ(s.xMax(), 7);
    EXPECT_EQ(s.yMin(), -5);
    EXPECT_EQ(s.yMax(), 30);
    EXPECT_FALSE(s.xAscending());
    s.clear();
    EXPECT_EQ(s.yMax(), std::nullopt);
    s.addXY(100, 200);  // the only extremum now
    EXPECT_EQ(s.xMin(), 100);
    EXPECT_EQ(s.xMax(), 100);
    EXPECT_EQ(s.yMin(), 200);
    EXPECT_EQ(s.yMax(), 200);
    EXPECT_TRUE(s.xAscending());
}

TEST(PointAttr, SizesAreHalfExtentsAndBorderIsCapped) {
    struct Case {
        int set, left, right, read;
    } cases[] = {{5, 2, 3, 5}, {6, 3, 4, 7}, {-2, 0, 1, 1},
                 {0, 0, 1, 1}, {1, 0, 1, 1}, {9, 4, 5, 9}};
    for (const Case& c : cases) {
        PointAttr a;
        a.setHSize(c.set);
        a.setVSize(c.set);
        EXPECT_EQ(a.halfLeft(), c.left) << c.set;
        EXPECT_EQ(a.halfRight(), c.right) << c.set;
        EXPECT_EQ(a.hSize(), c.read) << c.set;
        EXPECT_EQ(a.halfTop(), c.left) << c.set;
        EXPECT_EQ(a.vSize(), c.read) << c.set;
    }
    PointAttr a;
    a.setBorderWidth(10);
    EXPECT_EQ(a.borderWidth(), 2);
    a.setVSize(3);
    a.setBorderWidth(10);
    EXPECT_EQ(a.borderWidth(), 1);
    a.setBorderWidth(-4);
    EXPECT_EQ(a.borderWidth(), 1);
}

TEST(PointAttr, ReportsOnlyRealChanges) {
    struct Owner : AttrOwner {
        int calls = 0;
        void attrChanged() override { ++calls; }
    } owner;
    PointAttr a;
    a.setOwner(&owner);
    const int& calls = owner.calls;
    a.setKind(PointKind::Rectangle);
    a.setHSize(5);
    a.setVisible(false);
    EXPECT_EQ(calls, 0);
    a.setKind(PointKind::Diamond);
    a.setHSize(4);  // half-extent 2 as before: no change
    a.setHSize(7);
    EXPECT_EQ(calls, 2);
}

class SeriesOnPlot : public ::testing::Test {
  protected:
    void SetUp() override {
        plot.resize(400, 300);
        for (Axis* a : {plot.leftAxis(), plot.rightAxis()}) {
            a->setMinMax(-50, 50);
            a->setAutoMin(true);
            a->setAutoMax(true);
        }
        a.setPlot(&plot);
        b.setPlot(&plot);
        a.addXY(0, 10);
        a.addXY(1, 30);
        b.addXY(0, -20);
        b.addXY(1, 20);
    }
    CountingPlot plot;
    XYLine a, b;
};

TEST_F(SeriesOnPlot, AutoScalingPadsBothFoundSides) {
    b.setActive(false);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->min(), 9.5);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->max(), 30.5);
    b.setActive(true);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->min(), -21.25);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->max(), 31.25);
}

TEST_F(SeriesOnPlot, OnlyAutoMaxPadsTheMaximum) {
    Axis* l = plot.leftAxis();
    l->setMinMax(-50, 50);  // switches both off
    l->setAutoMax(true);
    a.addXY(2, 70);
    EXPECT_DOUBLE_EQ(l->min(), -50);
    EXPECT_DOUBLE_EQ(l->max(), 73);
}

TEST_F(SeriesOnPlot, ChangingYAxisRefitsBothVerticalAxes) {
    Paint(plot);
    EXPECT_TRUE(plot.layoutValid());
    b.setYAxis(YAxisChoice::Right);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->min(), 9.5);
    EXPECT_DOUBLE_EQ(plot.rightAxis()->min(), -21);
    EXPECT_DOUBLE_EQ(plot.rightAxis()->max(), 21);
    EXPECT_FALSE(plot.layoutValid());  // a full repaint
}

TEST_F(SeriesOnPlot, RemovingASeriesRefitsAndDestroyingThePlotDetaches) {
    {
        XYLine c;
        c.addXY(0, 1000);
        c.setPlot(&plot);
        EXPECT_DOUBLE_EQ(plot.leftAxis()->max(), 1000 + 1020 * 0.025);
        EXPECT_EQ(plot.series().size(), 3u);
    }
    EXPECT_EQ(plot.series().size(), 2u);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->max(), 31.25);
    auto other = std::make_unique<XYPlot>();
    XYLine d;
    d.setPlot(other.get());
    other.reset();
    EXPECT_EQ(d.plot(), nullptr);
    d.addXY(1, 1);  // no plot to tell: must not touch the freed one
}

TEST_F(SeriesOnPlot, LockedSeriesReportOnceWhenUnlocked) {
    a.setLockInvalidate(true);
    for (int i = 0; i < 10; ++i) a.addXY(i, 100 + i);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->max(), 31.25);  // nothing reported yet
    a.setLockInvalidate(false);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->max(), 109 + 129 * 0.025);
}

TEST_F(SeriesOnPlot, AttachingAnInactiveSeriesChangesNothing) {
    Paint(plot);
    XYLine c;
    c.setActive(false);
    c.addXY(0, 5000);
    c.setPlot(&plot);
    EXPECT_TRUE(plot.layoutValid());
    EXPECT_TRUE(plot.pictureValid());
    EXPECT_DOUBLE_EQ(plot.leftAxis()->max(), 31.25);
}

TEST_F(SeriesOnPlot, AppearanceChangesReplotWithoutANewLayout) {
    Paint(plot);
    a.lineAttr()->setColor(Qt::red);
    EXPECT_TRUE(plot.layoutValid());
    EXPECT_FALSE(plot.pictureValid());
    Paint(plot);
    a.pointAttr()->setKind(PointKind::Cross);
    EXPECT_FALSE(plot.pictureValid());
    EXPECT_TRUE(plot.layoutValid());
}

}  // namespace
