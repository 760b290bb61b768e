#include <gtest/gtest.h>

#include "plot/plot.h"
#include "plot_test_util.h"

namespace {

// The main window's plot: left −50..50 and right −500..500 with 11 ticks and labels, the
// bottom axis −10..300 as times.
void SetUpMainWindowAxes(Tsp_XYPlot& plot) {
    plot.resize(875, 635);
    plot.LeftAxis()->SetTicksCount(11);
    plot.LeftAxis()->SetMinMax(-50, 50);
    plot.RightAxis()->SetTicksCount(11);
    plot.RightAxis()->SetMinMax(-500, 500);
    plot.RightAxis()->SetNoTicksLabel(false);
    plot.RightAxis()->SetTicksLines(true);
    plot.BottomAxis()->SetTicksCount(11);
    plot.BottomAxis()->SetMinMax(-10, 300);
    plot.BottomAxis()->SetLabelAsDataTime(true);
    plot.BottomAxis()->SetLabelFormat("hh:nn:ss");
}

TEST(PlotLayout, WorkedExampleOfTheMainWindow) {
    Tsp_XYPlot plot;
    SetUpMainWindowAxes(plot);
    plot.DrawOnCanvas(nullptr, 875, 635);  // nothing to draw on: ignored
    plot.CalcLayout(6, 11);
    EXPECT_EQ(plot.FieldRect(), (TRect{28, 9, 841, 614}));
    struct Line {
        const Tsp_Axis* axis;
        int x, y, len;
    } lines[] = {{plot.LeftAxis(), 27, 613, 604},
                 {plot.RightAxis(), 841, 613, 604},
                 {plot.BottomAxis(), 28, 614, 812},
                 {plot.TopAxis(), 28, 8, 812}};
    for (const Line& l : lines) {
        EXPECT_EQ(l.axis->LineX(), l.x);
        EXPECT_EQ(l.axis->LineY(), l.y);
        EXPECT_EQ(l.axis->LineLength(), l.len);
    }
    Tsp_PropertyList props;  // the stored form of the main window's left axis
    plot.LeftAxis()->WriteProperties(props);
    EXPECT_NE(std::find(props.begin(), props.end(),
                        std::pair<QString, QString>("SLinePos", "(27 613 604)")),
              props.end());
}

TEST(PlotLayout, SmallPlotsKeepAFieldOfThreePixels) {
    Tsp_XYPlot plot;
    EXPECT_EQ(plot.width(), 180);
    EXPECT_EQ(plot.height(), 120);
    plot.CalcLayout(6, 11);
    const TRect f = plot.FieldRect();
    EXPECT_GT(f.Left, 0);
    EXPECT_GT(f.Top, 0);
    EXPECT_LT(f.Right, 180);
    EXPECT_LT(f.Bottom, 120);
    EXPECT_GE(f.Width(), 100);
    plot.resize(20, 20);
    plot.CalcLayout(6, 11);
    EXPECT_EQ(plot.FieldRect().Width(), 3);
    EXPECT_EQ(plot.FieldRect().Height(), 3);
    EXPECT_GE(plot.BottomAxis()->LineLength(), 1);
}

TEST(PlotPaint, RedrawsOnlyWhatIsStale) {
    CountingPlot plot;
    plot.resize(400, 300);
    plot.SetBufferedDisplay(true);
    Tsp_XYLine s;
    s.SetPlot(&plot);
    s.AddXY(1, 1);
    struct Step {
        const char* what;
        std::function<void()> act;
        int layouts, frames, fields;
    } steps[] = {
        {"first paint", [] {}, 1, 1, 1},
        {"nothing stale", [] {}, 1, 1, 1},
        {"data change", [&] { s.AddXY(2, 3); }, 1, 1, 2},
        {"field colour", [&] { plot.SetFieldColor(clGray); }, 1, 1, 3},
        {"grid", [&] { plot.LeftAxis()->GridAttr()->SetColor(clRed); }, 1, 1, 4},
        {"pan", [&] { plot.BottomAxis()->MoveMinMax(1); }, 1, 2, 5},
        {"border", [&] { plot.SetBorderStyle(bs_Raised); }, 1, 3, 6},
        {"range", [&] { plot.LeftAxis()->SetMinMax(0, 5); }, 2, 4, 7},
        {"resize", [&] { plot.resize(410, 300); }, 3, 5, 8},
    };
    for (const Step& st : steps) {
        st.act();
        plot.Paint();
        EXPECT_EQ(plot.layouts, st.layouts) << st.what;
        EXPECT_EQ(plot.frames, st.frames) << st.what;
        EXPECT_EQ(plot.fields, st.fields) << st.what;
    }
}

TEST(PlotPaint, BufferedDisplayTogglesRepaintEverything) {
    Tsp_XYPlot plot;
    plot.Paint();
    EXPECT_TRUE(plot.LayoutValid());
    plot.SetBufferedDisplay(true);
    EXPECT_TRUE(plot.BufferedDisplay());
    EXPECT_FALSE(plot.LayoutValid());
    plot.Paint();
    EXPECT_TRUE(plot.FieldValid());
    plot.SetBufferedDisplay(false);
    EXPECT_FALSE(plot.BufferedDisplay());
    EXPECT_FALSE(plot.LayoutValid());
    EXPECT_FALSE(plot.FieldValid());
}

TEST(PlotPaint, BufferedAndDirectPaintingGiveTheSamePicture) {
    Tsp_XYPlot direct, buffered;
    buffered.SetBufferedDisplay(true);
    Tsp_XYLine a, b;
    for (Tsp_XYPlot* p : {&direct, &buffered}) {
        p->resize(300, 200);
        p->LeftAxis()->SetCaption("T");
        p->BottomAxis()->SetCaption("t");
        p->SetBorderStyle(bs_BoldRect);
    }
    a.SetPlot(&direct);
    b.SetPlot(&buffered);
    for (Tsp_XYLine* s : {&a, &b})
        for (int i = 0; i < 50; ++i) s->AddXY(i / 5.0, (i * 37) % 11);
    direct.Paint();
    buffered.Paint();
    EXPECT_EQ(direct.ControlImage(), buffered.ControlImage());
}

TEST(PlotPaint, EventsAndNoColourField) {
    Tsp_XYPlot plot;
    plot.resize(200, 150);
    plot.LeftAxis()->GridAttr()->SetVisible(false);
    plot.BottomAxis()->GridAttr()->SetVisible(false);
    plot.SetFieldColor(clNone);
    int ends = 0, fieldDraws = 0;
    plot.OnDrawEnd = [&](Tsp_XYPlot* sender) {
        EXPECT_EQ(sender, &plot);
        ++ends;
    };
    plot.OnFieldDraw = [&](Tsp_XYPlot*) { ++fieldDraws; };
    QImage image(200, 150, QImage::Format_RGB32);
    image.fill(Qt::red);
    {
        QPainter p(&image);
        plot.DrawOnCanvas(&p, 9, 150);  // too small: ignored
        EXPECT_EQ(ends, 0);
        plot.DrawOnCanvas(&p, 200, 150);
    }
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(fieldDraws, 1);
    const TRect f = plot.FieldRect();
    EXPECT_EQ(image.pixel(f.Left + 5, f.Top + 5), QColor(Qt::red).rgb());  // not filled
    EXPECT_NE(image.pixel(2, 2), QColor(Qt::red).rgb());                   // frame drawn
    EXPECT_FALSE(plot.LayoutValid());  // DrawOnCanvas leaves the layout to the next paint
    EXPECT_EQ(plot.DrawWidth(), 200);
}

TEST(PlotPaint, TickLabelHandlerRewritesLabelsAndWidensTheBand) {
    Tsp_XYPlot plot;
    plot.LeftAxis()->SetMinMax(0, 100);
    const int plain = plot.LeftAxis()->BandWidth(6, 11);
    std::vector<int> seen;
    plot.OnGetTickLabel = [&](Tsp_Axis* axis, int i, double value, QString& label) {
        if (axis != plot.LeftAxis()) return;
        seen.push_back(i);
        label = QString("%1 °C").arg(value);
    };
    EXPECT_EQ(plot.LeftAxis()->GetTickLabel(1), "25 °C");
    EXPECT_EQ(plot.LeftAxis()->BandWidth(6, 11), plain + 3 * 6);  // "100 °C" against "100"
    EXPECT_FALSE(seen.empty());
}

TEST(PlotBorder, StylesPaintTheOuterRings) {
    const QRgb black = qRgb(0, 0, 0);
    struct Case {
        Tsp_BorderStyle style;
        TColor outer, inner, bottomRight;
    } cases[] = {
        {bs_None, clBtnFace, clBtnFace, clBtnFace},
        {bs_BlackRect, clBlack, clBtnFace, clBlack},
        {bs_BoldRect, clBlack, clBlack, clBlack},
        {bs_Raised, clBtnHighlight, clBtnFace, clBtnShadow},
        {bs_Lowered, clBtnShadow, clBtnFace, clBtnHighlight},
        {bs_Gutter, clBtnShadow, clBtnHighlight, clBtnHighlight},
    };
    for (const Case& c : cases) {
        Tsp_XYPlot plot;
        plot.SetBorderStyle(c.style);
        plot.Paint();
        const QImage& img = plot.ControlImage();
        const int w = img.width(), h = img.height();
        EXPECT_EQ(img.pixel(0, 5), ToQColor(c.outer).rgb()) << c.style;
        EXPECT_EQ(img.pixel(1, 5), ToQColor(c.inner).rgb()) << c.style;
        EXPECT_EQ(img.pixel(w - 1, h - 1), ToQColor(c.bottomRight).rgb()) << c.style;
    }
    Tsp_XYPlot focus;
    focus.SetBorderStyle(bs_FocusRect);
    focus.Paint();
    const QImage& img = focus.ControlImage();
    int dark = 0;
    for (int x = 0; x < 20; ++x) dark += img.pixel(x, 0) == black;
    EXPECT_GT(dark, 3);  // dotted
    EXPECT_LT(dark, 17);
}

TEST(PlotMarkers, RegisterBothWaysAndDrawInTheirTurn) {
    struct Recorder : Tsp_PlotMarker {
        std::vector<int>* log = nullptr;
        int id = 0;
        void Draw() override { log->push_back(id); }
    };
    std::vector<int> log;
    Tsp_XYPlot plot;
    Recorder before, after, hidden;
    before.log = after.log = hidden.log = &log;
    before.id = 1;
    after.id = 2;
    hidden.id = 3;
    after.SetWhenDraw(dmAfterSeries);
    after.SetPlot(&plot);
    before.SetPlot(&plot);
    hidden.SetVisible(false);
    hidden.SetPlot(&plot);
    EXPECT_EQ(before.XAxisObj(), plot.BottomAxis());
    before.SetYAxis(dsyRight);
    EXPECT_EQ(before.YAxisObj(), plot.RightAxis());
    plot.Paint();
    EXPECT_EQ(log, (std::vector<int>{1, 2}));
    after.SetWhenDraw(dmBeforeSeries);
    EXPECT_EQ(plot.Markers(dmBeforeSeries).size(), 3u);
    EXPECT_TRUE(plot.Markers(dmAfterSeries).empty());
    {
        Recorder temp;
        temp.SetPlot(&plot);
        EXPECT_EQ(plot.Markers(dmBeforeSeries).size(), 4u);
    }
    EXPECT_EQ(plot.Markers(dmBeforeSeries).size(), 3u);
}

}  // namespace
