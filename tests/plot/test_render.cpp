#include <gtest/gtest.h>

#include <random>

#include "plot/plot.h"
#include "plot_test_util.h"

namespace {

const QRgb kRed = qRgb(255, 0, 0);

// A 300 × 200 plot with both axes 0..100, no grid, white field.
class RenderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plot.resize(300, 200);
        plot.LeftAxis()->SetMinMax(0, 100);
        plot.BottomAxis()->SetMinMax(0, 100);
        plot.LeftAxis()->GridAttr()->SetVisible(false);
        plot.BottomAxis()->GridAttr()->SetVisible(false);
        line.LineAttr()->SetColor(clRed);
        line.SetPlot(&plot);
        plot.Paint();  // lays out, so the axes map to the field
    }
    int X(double v) const { return plot.BottomAxis()->ValueToPixel(v); }
    int Y(double v) const { return plot.LeftAxis()->ValueToPixel(v); }
    const QImage& Paint() {
        plot.Paint();
        return plot.ControlImage();
    }
    int RedIn(const QRect& r) {
        const QImage& img = plot.ControlImage();
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) n += img.pixel(x, y) == kRed;
        return n;
    }
    Tsp_XYPlot plot;
    Tsp_XYLine line;
};

TEST_F(RenderTest, LineLiesWhereValueToPixelSays) {
    line.AddXY(10, 50);
    line.AddXY(90, 50);
    line.AddXY(90, 20);
    const QImage& img = Paint();
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
    line.AddXY(50, 50);
    Paint();
    const QRect around(X(50) - 5, Y(50) - 5, 11, 11);
    EXPECT_EQ(RedIn(around), 0);
    line.PointAttr()->SetVisible(true);
    line.PointAttr()->SetColor(clRed);
    line.PointAttr()->SetBorderColor(clRed);
    Paint();
    EXPECT_EQ(RedIn(around), 25);  // 5 × 5 around the point
    EXPECT_EQ(RedIn(QRect(X(50) - 2, Y(50) - 2, 5, 5)), 25);
}

TEST_F(RenderTest, MarkShapesKeepTheirHalfExtents) {
    line.LineAttr()->SetVisible(false);
    line.PointAttr()->SetVisible(true);
    line.PointAttr()->SetColor(clRed);
    line.PointAttr()->SetBorderColor(clRed);
    line.PointAttr()->SetHSize(7);  // hl 3, hr 4
    line.PointAttr()->SetVSize(5);  // vt 2, vb 3
    line.AddXY(50, 50);
    // Every shape reaches its top half-extent and has no red pixel outside the half-extents.
    const QRect box = QRect(QPoint(-3, -2), QPoint(3, 2)).translated(X(50), Y(50));
    for (TPointKind kind :
         {ptRectangle, ptEllipse, ptDiamond, ptCross, ptTriangle, ptDownTriangle}) {
        line.PointAttr()->SetKind(kind);
        Paint();
        const int inside = RedIn(box);
        EXPECT_GT(inside, 4) << kind;
        EXPECT_EQ(RedIn(QRect(X(50) - 10, Y(50) - 10, 21, 21)), inside) << kind;
        EXPECT_EQ(plot.ControlImage().pixel(X(50), Y(50) - 2), kRed) << kind;
    }
    line.PointAttr()->SetKind(ptCustom);  // without a handler: nothing
    Paint();
    EXPECT_EQ(RedIn(QRect(X(50) - 10, Y(50) - 10, 21, 21)), 0);
    std::vector<QPoint> custom;
    line.OnDrawCustomPoint = [&](Tsp_XYLine* s, double xv, double, int x, int y) {
        EXPECT_EQ(s, &line);
        EXPECT_EQ(xv, 50);
        custom.emplace_back(x, y);
    };
    Paint();
    EXPECT_EQ(custom, (std::vector<QPoint>{QPoint(X(50), Y(50))}));
}

TEST_F(RenderTest, MarksOnTheFieldsRightOrBottomEdgeAreNotDrawn) {
    line.LineAttr()->SetVisible(false);
    line.PointAttr()->SetVisible(true);
    line.PointAttr()->SetColor(clRed);
    line.PointAttr()->SetBorderColor(clRed);
    const TRect f = plot.FieldRect();
    const double right = plot.BottomAxis()->PixelToValue(f.Right);
    const double bottom = plot.LeftAxis()->PixelToValue(f.Bottom);
    ASSERT_EQ(X(right), f.Right);
    ASSERT_EQ(Y(bottom), f.Bottom);
    line.AddXY(right, 50);
    line.AddXY(50, bottom);
    Paint();
    EXPECT_EQ(RedIn(f.ToQRect()), 0);
    line.Clear();
    line.AddXY(plot.BottomAxis()->PixelToValue(f.Right - 1), 50);
    line.AddXY(50, plot.LeftAxis()->PixelToValue(f.Bottom - 1));
    Paint();
    EXPECT_EQ(RedIn(f.ToQRect()), 2 * 3 * 5);  // half of each mark is clipped away
}

TEST_F(RenderTest, FarSegmentsAreDrawnTowardTheClampedPointUnlessBothEndsAreFar) {
    line.AddXY(50, 50);
    line.AddXY(50, 1e9);  // converts to −16383
    Paint();
    const TRect f = plot.FieldRect();
    for (int y = f.Top; y <= Y(50); ++y)
        EXPECT_EQ(plot.ControlImage().pixel(X(50), y), kRed) << y << " top " << f.Top;
    line.Clear();
    line.AddXY(-1e9, 50);  // both ends far: the segment would cross the field
    line.AddXY(1e9, 50);
    Paint();
    EXPECT_EQ(RedIn(f.ToQRect()), 0);
}

TEST_F(RenderTest, InactiveSeriesIsNotDrawn) {
    line.AddXY(10, 10);
    line.AddXY(90, 90);
    Paint();
    EXPECT_GT(RedIn(plot.FieldRect().ToQRect()), 50);
    line.SetActive(false);
    Paint();
    EXPECT_EQ(RedIn(plot.FieldRect().ToQRect()), 0);
}

TEST(RenderEquivalence, BatchedAndWindowedDrawingMatchesEverySegmentDrawnAlone) {
    Tsp_XYPlot plot;
    plot.resize(875, 635);
    plot.LeftAxis()->SetMinMax(-20, 60);
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, 3);
    constexpr int kN = 30000;
    const double x0 = 46000, step = 5.0 / 86400;
    std::vector<std::unique_ptr<Tsp_XYLine>> lines;
    const TPenStyle styles[] = {psSolid, psSolid, psDash, psSolid};
    for (int s = 0; s < 4; ++s) {
        auto line = std::make_unique<Tsp_XYLine>();
        line->LineAttr()->SetColor(TColor(0x3355AA * (s + 1)) & 0xFFFFFF);
        line->LineAttr()->SetStyle(styles[s]);
        line->LineAttr()->SetWidth(s == 1 ? 3 : s == 2 ? 2 : 1);
        if (s == 3) {  // marks, and X values that go back once
            line->PointAttr()->SetVisible(true);
            line->PointAttr()->SetKind(ptTriangle);
        }
        for (int i = 0; i < kN; ++i) {
            const double x = s == 3 && i > kN / 2 ? x0 + (i - 500) * step : x0 + i * step;
            line->AddXY(x, 20 + 10 * s + 15 * std::sin(i / 900.0) + noise(rng));
        }
        line->AddXY(x0 + kN * step, 1e9);  // a far end at the very last point
        lines.push_back(std::move(line));
    }
    EXPECT_TRUE(lines[0]->XAscending());
    EXPECT_FALSE(lines[3]->XAscending());
    const double last = x0 + kN * step;
    const double views[][2] = {{x0, last}, {last - 0.01, last}, {x0 + 0.3, x0 + 0.31}};
    for (const auto& view : views) {
        plot.BottomAxis()->SetMinMax(view[0], view[1]);
        for (auto& l : lines) l->SetPlot(&plot);
        plot.Paint();
        const QImage fast = plot.ControlImage();
        std::vector<std::unique_ptr<Reference>> refs;
        for (auto& l : lines) {
            l->SetPlot(nullptr);
            refs.push_back(std::make_unique<Reference>(l.get()));
            refs.back()->SetPlot(&plot);
        }
        plot.Paint();
        const QImage& ref = plot.ControlImage();
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
        const QRect field = plot.FieldRect().ToQRect();
        int inked = 0;
        for (int y = field.top(); y <= field.bottom(); ++y)
            for (int x = field.left(); x <= field.right(); ++x)
                inked += fast.pixel(x, y) != qRgb(255, 255, 255) &&
                         fast.pixel(x, y) != qRgb(128, 128, 128);
        EXPECT_GT(inked, 10000) << view[0] << ".." << view[1];
    }
}

TEST_F(RenderTest, QuickAddXYDrawsTheNewSegmentAtOnce) {
    plot.SetBufferedDisplay(true);
    Paint();
    line.QuickAddXY(10, 50);
    line.QuickAddXY(90, 50);
    EXPECT_FALSE(plot.FieldValid());  // the buffers no longer show what the control does
    EXPECT_GE(RedIn(QRect(X(10), Y(50), X(90) - X(10), 1)), X(90) - X(10));
}

TEST_F(RenderTest, XCursorInvertsAndDrawsNothingWhenItsPixelStays) {
    plot.SetFieldColor(clWhite);
    const QImage clean = Paint();
    plot.SetXCursorVal(50);
    plot.SetXCursorOn(true);
    const QImage on = plot.ControlImage();
    const TRect f = plot.FieldRect();
    EXPECT_EQ(on.pixel(X(50), f.Top + 5), qRgb(0, 0, 0));  // white inverted
    EXPECT_EQ(on.pixel(X(50), f.Top), clean.pixel(X(50), f.Top));
    EXPECT_EQ(on.pixel(X(50), f.Bottom - 1), clean.pixel(X(50), f.Bottom - 1));
    const double samePixel =
        plot.BottomAxis()->PixelToValue(X(50)) + 0.3 / plot.BottomAxis()->PixelsPerUnit();
    ASSERT_EQ(X(samePixel), X(50));
    plot.SetXCursorVal(samePixel);
    EXPECT_EQ(plot.ControlImage(), on);
    plot.SetXCursorVal(60);
    EXPECT_EQ(plot.ControlImage().pixel(X(50), f.Top + 5), clean.pixel(X(50), f.Top + 5));
    plot.SetXCursorVal(1000);  // outside the field: hidden without error
    EXPECT_EQ(plot.ControlImage(), clean);
    plot.SetXCursorVal(60);
    plot.SetXCursorOn(false);
    EXPECT_EQ(plot.ControlImage(), clean);
    plot.SetXCursorOn(true);
    Paint();  // a paint draws the cursor again
    EXPECT_EQ(plot.ControlImage().pixel(X(60), f.Top + 5), qRgb(0, 0, 0));
}

}  // namespace
