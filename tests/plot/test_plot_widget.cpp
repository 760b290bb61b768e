#include <gtest/gtest.h>

#include "plot/xy_plot.h"
#include "plot_test_util.h"

namespace {

// The main window's plot: left −50..50 and right −500..500 with 11 ticks and labels, the
// bottom axis −10..300 as times.
void SetUpMainWindowAxes(XYPlot& plot) {
    plot.resize(875, 635);
    plot.leftAxis()->setTicksCount(11);
    plot.leftAxis()->setMinMax(-50, 50);
    plot.rightAxis()->setTicksCount(11);
    plot.rightAxis()->setMinMax(-500, 500);
    plot.rightAxis()->setNoTicksLabel(false);
    plot.rightAxis()->setTicksLines(true);
    plot.bottomAxis()->setTicksCount(11);
    plot.bottomAxis()->setMinMax(-10, 300);
    plot.bottomAxis()->setLabelAsDateTime(true);
    plot.bottomAxis()->setLabelFormat("hh:mm:ss");
}

TEST(PlotLayout, WorkedExampleOfTheMainWindow) {
    XYPlot plot;
    SetUpMainWindowAxes(plot);
    plot.renderTo(nullptr, QSize(875, 635));  // nothing to draw on: ignored
    plot.calcLayout(plot.size(), 6, 11);
    EXPECT_EQ(plot.fieldRect(), QRect(QPoint(28, 9), QPoint(840, 613)));
    struct Line {
        const Axis* axis;
        int x, y, len;
    } lines[] = {{plot.leftAxis(), 27, 613, 604},
                 {plot.rightAxis(), 841, 613, 604},
                 {plot.bottomAxis(), 28, 614, 812},
                 {plot.topAxis(), 28, 8, 812}};
    for (const Line& l : lines) {
        EXPECT_EQ(l.axis->lineX(), l.x);
        EXPECT_EQ(l.axis->lineY(), l.y);
        EXPECT_EQ(l.axis->lineLength(), l.len);
    }
}

TEST(PlotLayout, SmallPlotsKeepAFieldOfThreePixels) {
    XYPlot plot;
    EXPECT_EQ(plot.width(), 180);
    EXPECT_EQ(plot.height(), 120);
    plot.calcLayout(plot.size(), 6, 11);
    const QRect f = plot.fieldRect();
    EXPECT_GT(f.left(), 0);
    EXPECT_GT(f.top(), 0);
    EXPECT_LT(f.right() + 1, 180);
    EXPECT_LT(f.bottom() + 1, 120);
    EXPECT_GE(f.width(), 100);
    plot.resize(20, 20);
    plot.calcLayout(plot.size(), 6, 11);
    EXPECT_EQ(plot.fieldRect().width(), 3);
    EXPECT_EQ(plot.fieldRect().height(), 3);
    EXPECT_GE(plot.bottomAxis()->lineLength(), 1);
}

TEST(PlotPaint, RedrawsOnlyWhatIsStale) {
    CountingPlot plot;
    plot.resize(400, 300);
    XYLine s;
    s.setPlot(&plot);
    s.addXY(1, 1);
    struct Step {
        const char* what;
        std::function<void()> act;
        int layouts, frames, fields;
    } steps[] = {
        {"first paint", [] {}, 1, 1, 1},
        {"nothing stale", [] {}, 1, 1, 1},
        {"data change", [&] { s.addXY(2, 3); }, 1, 2, 2},
        {"field colour", [&] { plot.setFieldColor(QColorConstants::Svg::gray); }, 1, 3, 3},
        {"pan", [&] { plot.bottomAxis()->moveMinMax(1); }, 1, 4, 4},
        {"cursor", [&] { plot.setXCursorOn(true); }, 1, 4, 4},
        {"border", [&] { plot.setBorderStyle(BorderStyle::Raised); }, 1, 5, 5},
        {"range", [&] { plot.leftAxis()->setMinMax(0, 5); }, 2, 6, 6},
        {"resize", [&] { plot.resize(410, 300); }, 3, 7, 7},
    };
    for (const Step& st : steps) {
        st.act();
        Paint(plot);
        EXPECT_EQ(plot.layouts, st.layouts) << st.what;
        EXPECT_EQ(plot.frames, st.frames) << st.what;
        EXPECT_EQ(plot.fields, st.fields) << st.what;
    }
}

TEST(PlotPaint, RenderingAnnouncesItsSizeAndLeavesTheFieldUnfilled) {
    XYPlot plot;
    plot.resize(200, 150);
    plot.leftAxis()->gridAttr()->setVisible(false);
    plot.bottomAxis()->gridAttr()->setVisible(false);
    plot.setFieldColor(QColor());
    std::vector<QSize> announced;
    QObject::connect(&plot, &XYPlot::aboutToDraw, [&](QSize size) { announced.push_back(size); });
    QImage image(300, 250, QImage::Format_RGB32);
    image.fill(Qt::red);
    {
        QPainter p(&image);
        plot.renderTo(&p, QSize(9, 150));  // too small: ignored
        EXPECT_TRUE(announced.empty());
        plot.renderTo(&p, QSize(300, 250));
    }
    EXPECT_EQ(announced, (std::vector<QSize>{QSize(300, 250)}));
    const QRect f = plot.fieldRect();
    EXPECT_GT(f.right(), 250);  // laid out for the rendering, not for the widget
    EXPECT_EQ(image.pixel(f.left() + 5, f.top() + 5), QColor(Qt::red).rgb());  // not filled
    EXPECT_NE(image.pixel(2, 2), QColor(Qt::red).rgb());                       // frame drawn
    EXPECT_FALSE(plot.layoutValid());  // the screen gets its own layout at the next paint
    Paint(plot);
    EXPECT_EQ(announced.back(), QSize(200, 150));
    EXPECT_LT(plot.fieldRect().right(), 200);
}

TEST(PlotBorder, StylesPaintTheOuterRings) {
    const QRgb black = qRgb(0, 0, 0);
    const QPalette pal = XYPlot().palette();
    const QRgb face = pal.color(QPalette::Button).rgb(), light = pal.color(QPalette::Light).rgb(),
               shadow = pal.color(QPalette::Dark).rgb();
    struct Case {
        BorderStyle style;
        QRgb outer, inner, bottomRight;
    } cases[] = {
        {BorderStyle::None, face, face, face},        {BorderStyle::BlackRect, black, face, black},
        {BorderStyle::BoldRect, black, black, black}, {BorderStyle::Raised, light, face, shadow},
        {BorderStyle::Lowered, shadow, face, light},  {BorderStyle::Gutter, shadow, light, light},
    };
    for (const Case& c : cases) {
        XYPlot plot;
        plot.setBorderStyle(c.style);
        const QImage img = Shown(plot);
        const int w = img.width(), h = img.height();
        EXPECT_EQ(img.pixel(0, 5), c.outer) << int(c.style);
        EXPECT_EQ(img.pixel(1, 5), c.inner) << int(c.style);
        EXPECT_EQ(img.pixel(w - 1, h - 1), c.bottomRight) << int(c.style);
    }
    XYPlot focus;
    focus.setBorderStyle(BorderStyle::FocusRect);
    const QImage img = Shown(focus);
    int dark = 0;
    for (int x = 0; x < 20; ++x) dark += img.pixel(x, 0) == black;
    EXPECT_GT(dark, 3);  // dotted
    EXPECT_LT(dark, 17);
}

TEST(PlotPaint, SurroundFollowsThePalette) {
    XYPlot plot;
    EXPECT_EQ(Shown(plot).pixel(2, 2), plot.palette().color(QPalette::Button).rgb());
    QPalette pal = plot.palette();
    pal.setColor(QPalette::Button, QColor(10, 20, 30));
    plot.setPalette(pal);
    // The cached picture is stale after a palette change.
    EXPECT_EQ(plot.color(), QColor(10, 20, 30));
    const QImage img = Shown(plot);
    EXPECT_EQ(img.pixel(2, 2), qRgb(10, 20, 30));
    EXPECT_EQ(img.pixel(0, 0), qRgb(10, 20, 30));
}

TEST(PlotMarkers, RegisterBothWaysAndDrawInTheirTurnWithTheirAxesMaps) {
    struct Recorder : PlotMarker {
        std::vector<int>* log = nullptr;
        int id = 0;
        mutable ScaleMap y;
        void draw(QPainter*, const ScaleMap&, const ScaleMap& yMap, const QRect&) const override {
            log->push_back(id);
            y = yMap;
        }
    };
    std::vector<int> log;
    CountingPlot plot;
    plot.rightAxis()->setMinMax(-500, 500);
    Recorder before, after, hidden, overlay;
    before.log = after.log = hidden.log = overlay.log = &log;
    before.id = 1;
    after.id = 2;
    hidden.id = 3;
    overlay.id = 4;
    after.setWhenDraw(MarkerLayer::AfterSeries);
    after.setPlot(&plot);
    overlay.setWhenDraw(MarkerLayer::Overlay);
    overlay.setPlot(&plot);
    before.setPlot(&plot);
    hidden.setVisible(false);
    hidden.setPlot(&plot);
    before.setYAxis(YAxisChoice::Right);
    Paint(plot);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(before.y, plot.rightAxis()->map());
    EXPECT_EQ(after.y, plot.leftAxis()->map());
    // An overlay is drawn at every paint, over the picture that is kept.
    const int fields = plot.fields;
    Paint(plot);
    EXPECT_EQ(log, (std::vector<int>{1, 2, 4, 4}));
    EXPECT_EQ(plot.fields, fields);
    after.setWhenDraw(MarkerLayer::BeforeSeries);
    EXPECT_EQ(plot.markers(MarkerLayer::BeforeSeries).size(), 3u);
    EXPECT_TRUE(plot.markers(MarkerLayer::AfterSeries).empty());
    {
        Recorder temp;
        temp.setPlot(&plot);
        EXPECT_EQ(plot.markers(MarkerLayer::BeforeSeries).size(), 4u);
    }
    EXPECT_EQ(plot.markers(MarkerLayer::BeforeSeries).size(), 3u);
}

}  // namespace
