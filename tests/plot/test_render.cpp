#include <gtest/gtest.h>

#include <random>

#include "plot/xy_plot.h"
#include "plot_test_util.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0);

// A 300 × 200 plot with both axes 0..100, no grid, white field.
class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plot.resize(300, 200);
        plot.leftAxis()->setMinMax(0, 100);
        plot.bottomAxis()->setMinMax(0, 100);
        plot.leftAxis()->gridAttr()->setVisible(false);
        plot.bottomAxis()->gridAttr()->setVisible(false);
        line.lineAttr()->setColor(Qt::red);
        line.setPlot(&plot);
        Paint(plot);  // lays out, so the axes map to the field
    }
    int X(double v) const { return plot.bottomAxis()->valueToPixel(v); }
    int Y(double v) const { return plot.leftAxis()->valueToPixel(v); }
    const QImage& paint() {
        shown_ = Shown(plot);
        return shown_;
    }
    int RedIn(const QRect& r) {
        const QImage& img = shown_;
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += img.pixel(x, y) == kRed;
        return n;
    }
    CountingPlot plot;
    XYLine line;
    QImage shown_;
};

TEST_F(RenderTest, LineLiesWhereValueToPixelSays) {
    line.addXY(10, 50);
    line.addXY(90, 50);
    line.addXY(90, 20);
    const QImage& img = paint();
    for (int x = X(10); x < X(90); ++x) {
        EXPECT_EQ(img.pixel(x, Y(50)), kRed) << x;
        EXPECT_NE(img.pixel(x, Y(50) - 1), kRed) << x;
        EXPECT_NE(img.pixel(x, Y(50) + 1), kRed) << x;
    }
    EXPECT_NE(img.pixel(X(10) - 1, Y(50)), kRed);
    for (int y = Y(50); y < Y(20); ++y) EXPECT_EQ(img.pixel(X(90), y), kRed) << y;
    EXPECT_EQ(img.pixel(X(90), Y(20)), kRed);  // the series' last point is drawn too
    EXPECT_NE(img.pixel(X(90), Y(20) + 1), kRed);
}

TEST_F(RenderTest, OnePointDrawsAMarkOnlyWhenMarksAreVisible) {
    line.addXY(50, 50);
    paint();
    const QRect around(X(50) - 5, Y(50) - 5, 11, 11);
    EXPECT_EQ(RedIn(around), 0);
    line.pointAttr()->setVisible(true);
    line.pointAttr()->setColor(Qt::red);
    line.pointAttr()->setBorderColor(Qt::red);
    paint();
    EXPECT_EQ(RedIn(around), 25);  // 5 × 5 around the point
    EXPECT_EQ(RedIn(QRect(X(50) - 2, Y(50) - 2, 5, 5)), 25);
}

TEST_F(RenderTest, MarkShapesKeepTheirHalfExtents) {
    line.lineAttr()->setVisible(false);
    line.pointAttr()->setVisible(true);
    line.pointAttr()->setColor(Qt::red);
    line.pointAttr()->setBorderColor(Qt::red);
    line.pointAttr()->setHSize(7);  // hl 3, hr 4
    line.pointAttr()->setVSize(5);  // vt 2, vb 3
    line.addXY(50, 50);
    // Every shape reaches its top half-extent and has no red pixel outside the half-extents.
    const QRect box = QRect(QPoint(-3, -2), QPoint(3, 2)).translated(X(50), Y(50));
    for (PointKind kind : {PointKind::Rectangle, PointKind::Ellipse, PointKind::Diamond,
                           PointKind::Cross, PointKind::Triangle, PointKind::DownTriangle}) {
        line.pointAttr()->setKind(kind);
        paint();
        const int inside = RedIn(box);
        EXPECT_GT(inside, 4) << int(kind);
        EXPECT_EQ(RedIn(QRect(X(50) - 10, Y(50) - 10, 21, 21)), inside) << int(kind);
        EXPECT_EQ(shown_.pixel(X(50), Y(50) - 2), kRed) << int(kind);
    }
}

TEST_F(RenderTest, MarksOnTheFieldsRightOrBottomEdgeAreNotDrawn) {
    line.lineAttr()->setVisible(false);
    line.pointAttr()->setVisible(true);
    line.pointAttr()->setColor(Qt::red);
    line.pointAttr()->setBorderColor(Qt::red);
    const QRect f = plot.fieldRect();
    const double right = plot.bottomAxis()->pixelToValue(f.right() + 1);
    const double bottom = plot.leftAxis()->pixelToValue(f.bottom() + 1);
    ASSERT_EQ(X(right), f.right() + 1);
    ASSERT_EQ(Y(bottom), f.bottom() + 1);
    line.addXY(right, 50);
    line.addXY(50, bottom);
    paint();
    EXPECT_EQ(RedIn(f), 0);
    line.clear();
    line.addXY(plot.bottomAxis()->pixelToValue(f.right()), 50);
    line.addXY(50, plot.leftAxis()->pixelToValue(f.bottom()));
    paint();
    EXPECT_EQ(RedIn(f), 2 * 3 * 5);  // half of each mark is clipped away
}

TEST_F(RenderTest, FarSegmentsAreDrawnTowardTheClampedPointUnlessBothEndsAreFar) {
    line.addXY(50, 50);
    line.addXY(50, 1e9);  // converts to −16383
    paint();
    const QRect f = plot.fieldRect();
    for (int y = f.top(); y <= Y(50); ++y)
        EXPECT_EQ(shown_.pixel(X(50), y), kRed) << y << " top " << f.top();
    line.clear();
    line.addXY(-1e9, 50);  // both ends far: the segment would cross the field
    line.addXY(1e9, 50);
    paint();
    EXPECT_EQ(RedIn(f), 0);
}

TEST_F(RenderTest, InactiveSeriesIsNotDrawn) {
    line.addXY(10, 10);
    line.addXY(90, 90);
    paint();
    EXPECT_GT(RedIn(plot.fieldRect()), 50);
    line.setActive(false);
    paint();
    EXPECT_EQ(RedIn(plot.fieldRect()), 0);
}

TEST(RenderEquivalence, BatchedAndWindowedDrawingMatchesEverySegmentDrawnAlone) {
    XYPlot plot;
    plot.resize(875, 635);
    plot.leftAxis()->setMinMax(-20, 60);
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, 3);
    constexpr int kN = 30000;
    const double x0 = 46000, step = 5.0 / 86400;
    std::vector<std::unique_ptr<XYLine>> lines;
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::SolidLine, Qt::DashLine, Qt::SolidLine};
    for (int s = 0; s < 4; ++s) {
        auto line = std::make_unique<XYLine>();
        line->lineAttr()->setColor(QColor::fromRgb(QRgb(0x3355AA * (s + 1)) & 0xFFFFFF));
        line->lineAttr()->setStyle(styles[s]);
        line->lineAttr()->setWidth(s == 1 ? 3 : s == 2 ? 2 : 1);
        if (s == 3) {  // marks, and X values that go back once
            line->pointAttr()->setVisible(true);
            line->pointAttr()->setKind(PointKind::Triangle);
        }
        for (int i = 0; i < kN; ++i) {
            const double x = s == 3 && i > kN / 2 ? x0 + (i - 500) * step : x0 + i * step;
            line->addXY(x, 20 + 10 * s + 15 * std::sin(i / 900.0) + noise(rng));
        }
        line->addXY(x0 + kN * step, 1e9);  // a far end at the very last point
        lines.push_back(std::move(line));
    }
    EXPECT_TRUE(lines[0]->xAscending());
    EXPECT_FALSE(lines[3]->xAscending());
    const double last = x0 + kN * step;
    const double views[][2] = {{x0, last}, {last - 0.01, last}, {x0 + 0.3, x0 + 0.31}};
    for (const auto& view : views) {
        plot.bottomAxis()->setMinMax(view[0], view[1]);
        for (auto& l : lines) l->setPlot(&plot);
        const QImage fast = Shown(plot);
        std::vector<std::unique_ptr<Reference>> refs;
        for (auto& l : lines) {
            l->setPlot(nullptr);
            refs.push_back(std::make_unique<Reference>(l.get()));
            refs.back()->setPlot(&plot);
        }
        const QImage ref = Shown(plot);
        int diff = 0;
        QRect where;
        for (int y = 0; y < ref.height(); ++y)
            for (int x = 0; x < ref.width(); ++x)
                if (ref.pixel(x, y) != fast.pixel(x, y)) {
                    ++diff;
                    where |= QRect(x, y, 1, 1);
                }
        EXPECT_EQ(diff, 0) << view[0] << ".." << view[1] << " at " << where.x() << "," << where.y()
                           << " " << where.width() << "x" << where.height();
        // The series really left ink in the field, so the comparison means something.
        const QRect field = plot.fieldRect();
        int inked = 0;
        for (int y = field.top(); y <= field.bottom(); ++y)
            for (int x = field.left(); x <= field.right(); ++x)
                inked += fast.pixel(x, y) != qRgb(255, 255, 255) &&
                         fast.pixel(x, y) != qRgb(128, 128, 128);
        EXPECT_GT(inked, 10000) << view[0] << ".." << view[1];
    }
}

TEST_F(RenderTest, AddedPointsAreDrawnAtTheNextPaintNotAtOnce) {
    paint();
    const int fields = plot.fields;
    line.addXY(10, 50);
    line.addXY(90, 50);
    EXPECT_EQ(plot.fields, fields);  // no drawing outside a paint
    EXPECT_FALSE(plot.pictureValid());
    paint();
    EXPECT_EQ(plot.fields, fields + 1);  // both points in one drawing of the field
    EXPECT_GE(RedIn(QRect(X(10), Y(50), X(90) - X(10), 1)), X(90) - X(10));
}

TEST_F(RenderTest, XCursorIsDrawnOverThePictureWithoutRedrawingIt) {
    line.addXY(0, 50);
    line.addXY(100, 50);
    const QImage clean = paint();
    const int fields = plot.fields;
    const QRect f = plot.fieldRect();
    plot.setXCursorVal(50);
    plot.setXCursorOn(true);
    const QImage on = paint();
    EXPECT_EQ(on.pixel(X(50), f.top() + 5), qRgb(0, 0, 0));
    EXPECT_EQ(on.pixel(X(50), Y(50)), qRgb(0, 0, 0));  // over the series, not inverted
    EXPECT_EQ(on.pixel(X(50), f.top()), clean.pixel(X(50), f.top()));
    EXPECT_EQ(on.pixel(X(50), f.bottom() + 1), clean.pixel(X(50), f.bottom() + 1));
    plot.setXCursorVal(60);
    const QImage moved = paint();
    EXPECT_EQ(moved.pixel(X(50), f.top() + 5), clean.pixel(X(50), f.top() + 5));
    EXPECT_EQ(moved.pixel(X(60), f.top() + 5), qRgb(0, 0, 0));
    plot.setXCursorVal(1000);  // outside the field: hidden without error
    EXPECT_EQ(paint(), clean);
    plot.setXCursorVal(60);
    plot.setXCursorOn(false);
    EXPECT_EQ(paint(), clean);
    EXPECT_EQ(plot.fields, fields);  // the cursor never cost a drawing of the series
}

}  // namespace
