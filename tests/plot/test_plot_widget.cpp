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
    plot.bottomAxis()->setLabelFormat("hh:nn:ss");
}

TEST(PlotLayout, WorkedExampleOfTheMainWindow) {
    XYPlot plot;
    SetUpMainWindowAxes(plot);
    plot.drawOnCanvas(nullptr, 875, 635);  // nothing to draw on: ignored
    plot.calcLayout(6, 11);
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
    PropertyList props;  // the stored form of the main window's left axis
    plot.leftAxis()->writeProperties(props);
    EXPECT_NE(std::find(props.begin(), props.end(),
                        std::pair<QString, QString>("SLinePos", "(27 613 604)")),
              props.end());
}

TEST(PlotLayout, SmallPlotsKeepAFieldOfThreePixels) {
    XYPlot plot;
    EXPECT_EQ(plot.width(), 180);
    EXPECT_EQ(plot.height(), 120);
    plot.calcLayout(6, 11);
    const QRect f = plot.fieldRect();
    EXPECT_GT(f.left(), 0);
    EXPECT_GT(f.top(), 0);
    EXPECT_LT(f.right() + 1, 180);
    EXPECT_LT(f.bottom() + 1, 120);
    EXPECT_GE(f.width(), 100);
    plot.resize(20, 20);
    plot.calcLayout(6, 11);
    EXPECT_EQ(plot.fieldRect().width(), 3);
    EXPECT_EQ(plot.fieldRect().height(), 3);
    EXPECT_GE(plot.bottomAxis()->lineLength(), 1);
}

TEST(PlotPaint, RedrawsOnlyWhatIsStale) {
    CountingPlot plot;
    plot.resize(400, 300);
    plot.setBufferedDisplay(true);
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
        {"data change", [&] { s.addXY(2, 3); }, 1, 1, 2},
        {"field colour", [&] { plot.setFieldColor(QColorConstants::Svg::gray); }, 1, 1, 3},
        {"grid", [&] { plot.leftAxis()->gridAttr()->setColor(Qt::red); }, 1, 1, 4},
        {"pan", [&] { plot.bottomAxis()->moveMinMax(1); }, 1, 2, 5},
        {"border", [&] { plot.setBorderStyle(BorderStyle::Raised); }, 1, 3, 6},
        {"range", [&] { plot.leftAxis()->setMinMax(0, 5); }, 2, 4, 7},
        {"resize", [&] { plot.resize(410, 300); }, 3, 5, 8},
    };
    for (const Step& st : steps) {
        st.act();
        plot.paint();
        EXPECT_EQ(plot.layouts, st.layouts) << st.what;
        EXPECT_EQ(plot.frames, st.frames) << st.what;
        EXPECT_EQ(plot.fields, st.fields) << st.what;
    }
}

TEST(PlotPaint, BufferedDisplayTogglesRepaintEverything) {
    XYPlot plot;
    plot.paint();
    EXPECT_TRUE(plot.layoutValid());
    plot.setBufferedDisplay(true);
    EXPECT_TRUE(plot.bufferedDisplay());
    EXPECT_FALSE(plot.layoutValid());
    plot.paint();
    EXPECT_TRUE(plot.fieldValid());
    plot.setBufferedDisplay(false);
    EXPECT_FALSE(plot.bufferedDisplay());
    EXPECT_FALSE(plot.layoutValid());
    EXPECT_FALSE(plot.fieldValid());
}

TEST(PlotPaint, BufferedAndDirectPaintingGiveTheSamePicture) {
    XYPlot direct, buffered;
    buffered.setBufferedDisplay(true);
    XYLine a, b;
    for (XYPlot* p : {&direct, &buffered}) {
        p->resize(300, 200);
        p->leftAxis()->setCaption("T");
        p->bottomAxis()->setCaption("t");
        p->setBorderStyle(BorderStyle::BoldRect);
    }
    a.setPlot(&direct);
    b.setPlot(&buffered);
    for (XYLine* s : {&a, &b})
        for (int i = 0; i < 50; ++i) s->addXY(i / 5.0, (i * 37) % 11);
    direct.paint();
    buffered.paint();
    EXPECT_EQ(direct.controlImage(), buffered.controlImage());
}

TEST(PlotPaint, EventsAndNoColourField) {
    XYPlot plot;
    plot.resize(200, 150);
    plot.leftAxis()->gridAttr()->setVisible(false);
    plot.bottomAxis()->gridAttr()->setVisible(false);
    plot.setFieldColor(QColor());
    int ends = 0, fieldDraws = 0;
    plot.onDrawEnd = [&](XYPlot* sender) {
        EXPECT_EQ(sender, &plot);
        ++ends;
    };
    plot.onFieldDraw = [&](XYPlot*) { ++fieldDraws; };
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(Qt::red);
    {
        QPainter p(&image);
        plot.drawOnCanvas(&p, 9, 150);  // too small: ignored
        EXPECT_EQ(ends, 0);
        plot.drawOnCanvas(&p, 200, 150);
    }
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(fieldDraws, 1);
    const QRect f = plot.fieldRect();
    EXPECT_EQ(image.pixel(f.left() + 5, f.top() + 5), QColor(Qt::red).rgb());  // not filled
    EXPECT_NE(image.pixel(2, 2), QColor(Qt::red).rgb());                       // frame drawn
    EXPECT_FALSE(plot.layoutValid());  // drawOnCanvas leaves the layout to the next paint
    EXPECT_EQ(plot.drawWidth(), 200);
}

TEST(PlotPaint, TickLabelHandlerRewritesLabelsAndWidensTheBand) {
    XYPlot plot;
    plot.leftAxis()->setMinMax(0, 100);
    const int plain = plot.leftAxis()->bandWidth(6, 11);
    std::vector<int> seen;
    plot.onGetTickLabel = [&](Axis* axis, int i, double value, QString& label) {
        if (axis != plot.leftAxis()) return;
        seen.push_back(i);
        label = QString("%1 °C").arg(value);
    };
    EXPECT_EQ(plot.leftAxis()->getTickLabel(1), "25 °C");
    EXPECT_EQ(plot.leftAxis()->bandWidth(6, 11), plain + 3 * 6);  // "100 °C" against "100"
    EXPECT_FALSE(seen.empty());
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
        plot.paint();
        const QImage& img = plot.controlImage();
        const int w = img.width(), h = img.height();
        EXPECT_EQ(img.pixel(0, 5), c.outer) << int(c.style);
        EXPECT_EQ(img.pixel(1, 5), c.inner) << int(c.style);
        EXPECT_EQ(img.pixel(w - 1, h - 1), c.bottomRight) << int(c.style);
    }
    XYPlot focus;
    focus.setBorderStyle(BorderStyle::FocusRect);
    focus.paint();
    const QImage& img = focus.controlImage();
    int dark = 0;
    for (int x = 0; x < 20; ++x) dark += img.pixel(x, 0) == black;
    EXPECT_GT(dark, 3);  // dotted
    EXPECT_LT(dark, 17);
}

TEST(PlotPaint, SurroundFollowsThePalette) {
    XYPlot plot;
    plot.setBufferedDisplay(true);
    plot.paint();
    EXPECT_EQ(plot.controlImage().pixel(2, 2), plot.palette().color(QPalette::Button).rgb());
    QPalette pal = plot.palette();
    pal.setColor(QPalette::Button, QColor(10, 20, 30));
    plot.setPalette(pal);
    plot.paint();  // the cached frame is stale after a palette change
    EXPECT_EQ(plot.color(), QColor(10, 20, 30));
    EXPECT_EQ(plot.controlImage().pixel(2, 2), qRgb(10, 20, 30));
    EXPECT_EQ(plot.controlImage().pixel(0, 0), qRgb(10, 20, 30));
}

TEST(PlotMarkers, RegisterBothWaysAndDrawInTheirTurn) {
    struct Recorder : PlotMarker {
        std::vector<int>* log = nullptr;
        int id = 0;
        void draw() override { log->push_back(id); }
    };
    std::vector<int> log;
    XYPlot plot;
    Recorder before, after, hidden;
    before.log = after.log = hidden.log = &log;
    before.id = 1;
    after.id = 2;
    hidden.id = 3;
    after.setWhenDraw(MarkerLayer::AfterSeries);
    after.setPlot(&plot);
    before.setPlot(&plot);
    hidden.setVisible(false);
    hidden.setPlot(&plot);
    EXPECT_EQ(before.xAxisObj(), plot.bottomAxis());
    before.setYAxis(YAxisChoice::Right);
    EXPECT_EQ(before.yAxisObj(), plot.rightAxis());
    plot.paint();
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
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
