// The trend chart's mouse work, markers and slot check boxes on the real main window
// (offscreen), driven by synthetic mouse and wheel events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTimer>
#include <QWheelEvent>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "chart/readout_format.h"
#include "tests/common/main_window_fixture.h"

namespace kvel {
namespace {

// True when a widget took the event.
bool Mouse(QWidget* w, QEvent::Type type, QPoint at, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
    return e.isAccepted();
}

// Press, move through the path, release at its end.
void Drag(QWidget* w, Qt::MouseButton button, std::initializer_list<QPoint> path) {
    const QPoint first = *path.begin();
    Mouse(w, QEvent::MouseButtonPress, first, button, button);
    QPoint last = first;
    for (const QPoint& p : path) {
        Mouse(w, QEvent::MouseMove, p, Qt::NoButton, button);
        last = p;
    }
    Mouse(w, QEvent::MouseButtonRelease, last, button, Qt::NoButton);
}

// A wheel turn over `w` at its local point; true when someone took it.
bool Wheel(QWidget* w, QPoint at, int delta) {
    QWheelEvent e(QPointF(at), w->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
    return e.isAccepted();
}

struct Range {
    double min, max;
    bool operator==(const Range&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Range& r) {
    return os << r.min << " .. " << r.max;
}
Range RangeOf(const Axis* a) {
    return {a->min(), a->max()};
}

class ChartWindowTest : public test::MainWindowFixture {
  protected:
    void TearDown() override {
        MainWindowFixture::TearDown();
        EXPECT_TRUE(boxes.empty());
    }
    void Show() {
        MainWindowFixture::Show();  // polls only when the test asks
        plot = form->trendPlot();
        QCoreApplication::processEvents();  // lays the window out
        paint();
        field = plot->fieldRect();
        ASSERT_GT(field.width(), 400);
        ASSERT_GT(field.height(), 300);
    }
    // Paints what is pending; the field follows the axes' label widths.
    void paint() {
        plot->repaint();
        QCoreApplication::processEvents();  // the handles and read-outs follow the paint
        field = plot->fieldRect();
    }
    // What the plot shows now: its picture, the marker lines over it and its children.
    QImage Shown() const { return plot->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // Every axis of the chart from 0 to 100.
    void SetAll0To100() {
        for (Axis* a : {plot->leftAxis(), plot->rightAxis(), plot->bottomAxis()}) {
            a->setMinMax(0, 100);
        }
        paint();
    }
    std::vector<Range> Ranges() const {
        return {RangeOf(plot->leftAxis()), RangeOf(plot->rightAxis()), RangeOf(plot->bottomAxis())};
    }
    QPoint Centre() const {
        return {(field.left() + field.right() + 1) / 2, (field.top() + field.bottom() + 1) / 2};
    }
    double TimeAt(int column) const { return plot->bottomAxis()->pixelToValue(column); }
    // Drags a marker handle so that its centre lands on `column` of the plot.
    void DragHandle(MarkerHandle* handle, std::initializer_list<int> columns) {
        const QPoint grip(handle->width() / 2, handle->height() / 2);
        Mouse(handle, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
        for (int column : columns) {
            Mouse(handle, QEvent::MouseMove, QPoint(column - handle->x(), grip.y()), Qt::NoButton,
                  Qt::LeftButton);
        }
        Mouse(handle, QEvent::MouseButtonRelease, grip, Qt::LeftButton, Qt::NoButton);
    }
    QString Edit(const char* name) const { return form->findChild<QLineEdit*>(name)->text(); }
    // Black pixels of a column inside the field.
    int DarkPixels(const QImage& image, int column) const {
        int n = 0;
        for (int y = field.top(); y <= field.bottom(); ++y)
            n += image.pixel(column, y) == qRgb(0, 0, 0);
        return n;
    }

    XYPlot* plot = nullptr;
    QRect field;
};

TEST_F(ChartWindowTest, LeftClickRestoresTheStandardViewAndALeftDragFixesTheZoom) {
    WriteIni("[display]\nd1=1\n[diag]\nscale_auto=1\n");
    Show();
    ASSERT_TRUE(plot->leftAxis()->autoMin());
    const double t0 = 45000.5;
    form->line(1)->addXY(t0, 20);
    form->line(1)->addXY(t0 + 0.001, 30);
    SetAll0To100();
    const QPoint c = Centre();

    // 5 pixels each way is still a click, although the plot zoomed to that small rectangle.
    Drag(plot, Qt::LeftButton, {c, c + QPoint(3, 3), c + QPoint(5, 5)});
    EXPECT_EQ(RangeOf(plot->leftAxis()), (Range{-50, 50}));
    EXPECT_EQ(RangeOf(plot->rightAxis()), (Range{-500, 500}));
    const Range bottom = RangeOf(plot->bottomAxis());  // fitted to the data
    EXPECT_LT(bottom.min, t0);
    EXPECT_GT(bottom.min, t0 - 0.0001);
    EXPECT_GT(bottom.max, t0 + 0.001);
    EXPECT_LT(bottom.max, t0 + 0.0011);
    for (const Axis* a : {plot->leftAxis(), plot->rightAxis(), plot->bottomAxis()}) {
        EXPECT_FALSE(a->autoMin());
        EXPECT_FALSE(a->autoMax());
    }
    // The stored limits of the left axis, whatever the automatic scaling setting.
    form->ini().writeFloat("diag", "left_min", 10);
    form->ini().writeFloat("diag", "left_max", 20);
    form->ini().writeFloat("diag", "right_min", 1);
    form->ini().writeFloat("diag", "right_max", 2);
    Drag(plot, Qt::LeftButton, {c, c + QPoint(-5, 0)});
    EXPECT_EQ(RangeOf(plot->leftAxis()), (Range{10, 20}));
    EXPECT_EQ(RangeOf(plot->rightAxis()), (Range{1, 2}));

    // 6 pixels is a drag: the plot's zoom stays, and automatic scaling no longer moves it.
    SetAll0To100();
    plot->leftAxis()->setAutoMin(true);
    plot->leftAxis()->setAutoMax(true);
    plot->rightAxis()->setAutoMax(true);
    paint();
    const Range leftBefore = RangeOf(plot->leftAxis());
    const double top = plot->leftAxis()->pixelToValue(c.y());
    const double low = plot->leftAxis()->pixelToValue(c.y() + 6);
    Drag(plot, Qt::LeftButton, {c, c + QPoint(6, 6)});
    EXPECT_NE(RangeOf(plot->leftAxis()), leftBefore);
    EXPECT_DOUBLE_EQ(plot->leftAxis()->min(), low);
    EXPECT_DOUBLE_EQ(plot->leftAxis()->max(), top);
    for (const Axis* a : {plot->leftAxis(), plot->rightAxis(), plot->bottomAxis()}) {
        EXPECT_FALSE(a->autoMin());
        EXPECT_FALSE(a->autoMax());
    }
    const Range zoomed = RangeOf(plot->leftAxis());
    form->line(1)->addXY(t0 + 0.002, 90);  // new data no longer rescales the fixed range
    EXPECT_EQ(RangeOf(plot->leftAxis()), zoomed);
}

TEST_F(ChartWindowTest, RightClickAndWheelZoomEveryAxis) {
    WriteIni("");
    Show();
    const QPoint c = Centre();
    SetAll0To100();
    Drag(plot, Qt::RightButton, {c});
    EXPECT_EQ(Ranges(), (std::vector<Range>(3, Range{-10, 110})));
    // Within 5 pixels it is still a click, after the little pan the move made.
    SetAll0To100();
    Drag(plot, Qt::RightButton, {c, c + QPoint(5, -5)});
    for (const Range& r : Ranges()) EXPECT_NEAR(r.max - r.min, 120, 1e-9);
    EXPECT_LT(plot->bottomAxis()->min(), -10);
    EXPECT_LT(plot->leftAxis()->min(), -10);  // the curves went up with the pointer

    const struct {
        int delta;
        Range range;
    } turns[] = {{120, {-5, 105}},
                 {-120, {5, 95}},
                 {240, {-10, 110}},
                 {119, {0, 100}},
                 {-119, {0, 100}},
                 {-240, {10, 90}},  // two notches, and 119 of the last turn left over
                 // Never closed to a point nor turned inside out by a fast turn.
                 {-1200, {45, 55}},
                 {-2400, {45, 55}}};
    for (const auto& turn : turns) {
        SetAll0To100();
        EXPECT_TRUE(Wheel(plot, c, turn.delta)) << turn.delta;
        EXPECT_EQ(Ranges(), (std::vector<Range>(3, turn.range))) << turn.delta;
    }
    // Only strictly inside the field: its edges, the axes and other controls keep the wheel.
    SetAll0To100();
    const std::vector<Range> unchanged = Ranges();
    for (const QPoint p :
         {QPoint(field.left(), c.y()), QPoint(field.right() + 1, c.y()), QPoint(c.x(), field.top()),
          QPoint(c.x(), field.bottom() + 1), QPoint(c.x(), field.bottom() + 6), QPoint(2, c.y())}) {
        Wheel(plot, p, 120);
        EXPECT_EQ(Ranges(), unchanged) << p.x() << "," << p.y();
    }
    Wheel(form->readingsGrid()->viewport(), QPoint(20, 20), -120);
    EXPECT_EQ(Ranges(), unchanged);
    // A child widget over the field does not stop the zoom.
    QLabel* label = form->valueLabel(3, true);
    label->move(c);
    label->show();
    EXPECT_TRUE(Wheel(label, QPoint(1, 1), 120));
    EXPECT_EQ(Ranges(), (std::vector<Range>(3, Range{-5, 105})));
}

TEST_F(ChartWindowTest, PartNotchesAddUpToWholeZoomSteps) {
    WriteIni("");
    Show();
    const QPoint c = Centre();
    SetAll0To100();
    const std::vector<Range> unchanged = Ranges();
    EXPECT_TRUE(Wheel(plot, c, 40));
    EXPECT_TRUE(Wheel(plot, c, 50));
    EXPECT_EQ(Ranges(), unchanged);
    Wheel(plot, QPoint(2, c.y()), 40);  // outside the field: not counted
    EXPECT_EQ(Ranges(), unchanged);
    Wheel(plot, c, 40);  // 130: one step, 10 left over
    EXPECT_EQ(Ranges(), (std::vector<Range>(3, Range{-5, 105})));
    SetAll0To100();
    Wheel(plot, c, -100);  // turning back drops what was left of the other way
    EXPECT_EQ(Ranges(), unchanged);
    Wheel(plot, c, -20);
    EXPECT_EQ(Ranges(), (std::vector<Range>(3, Range{5, 95})));
}

// Every label drawn on the axis: its box and text.
void ExpectLabelsApartAndDifferent(const Axis* axis, const std::string& what) {
    const auto& labels = axis->drawnLabels();
    EXPECT_FALSE(labels.empty()) << what;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        for (std::size_t j = i + 1; j < labels.size(); ++j) {
            const QString a = labels[i].text, b = labels[j].text;
            EXPECT_NE(a, b) << what;
            // A pixel between them at least: neither overlapping nor touching.
            EXPECT_FALSE(labels[i].box.adjusted(-1, -1, 1, 1).intersects(labels[j].box))
                << what << ": '" << a.toStdString() << "' and '" << b.toStdString() << "'";
        }
    }
}

TEST_F(ChartWindowTest, TickLabelsNeitherTouchNorRepeatAtAnySizeOrSpan) {
    WriteIni("");
    Show();
    const double t0 = 46000.0 + 12.0 / 24 + 37.0 / 1440;
    const double second = 1.0 / 86400;
    const struct {
        double time;
        double low, high;
    } spans[] = {{3 * second, -50, 50},   {9 * second, 0, 19},
                 {16 * second, 0, 0.001}, {190 * second, -500, 500},
                 {0.01, 20.001, 20.002},  {0.4, -1e308, 1e308},
                 {3, 1e9, 3e9},           {40, -0.5, 99.5}};
    for (const QSize size : {QSize(1292, 800), QSize(760, 480)}) {
        form->resize(size);
        QCoreApplication::processEvents();
        for (const auto& span : spans) {
            plot->bottomAxis()->setMinMax(t0, t0 + span.time);
            plot->leftAxis()->setMinMax(span.low, span.high);
            plot->rightAxis()->setMinMax(span.low * 10, span.high * 10);
            paint();
            const std::string what = std::to_string(plot->width()) + "x" +
                                     std::to_string(plot->height()) + " span " +
                                     std::to_string(span.time) + " values " +
                                     std::to_string(span.low) + ".." + std::to_string(span.high);
            ExpectLabelsApartAndDifferent(plot->bottomAxis(), "time axis " + what);
            ExpectLabelsApartAndDifferent(plot->leftAxis(), "left axis " + what);
            ExpectLabelsApartAndDifferent(plot->rightAxis(), "right axis " + what);
        }
    }
}

TEST_F(ChartWindowTest, RightButtonPansAndTheReadoutsFollowThePointer) {
    WriteIni("");
    Show();
    SetAll0To100();
    const double stepX = 100.0 / field.width();
    const double stepY = 100.0 / field.height();
    const QPoint start(field.left() + 100, field.top() + 100);
    const double timeUnder = TimeAt(start.x());

    Mouse(plot, QEvent::MouseButtonPress, start, Qt::RightButton, Qt::RightButton);
    Mouse(plot, QEvent::MouseMove, start + QPoint(10, 0), Qt::NoButton, Qt::RightButton);
    EXPECT_NEAR(plot->bottomAxis()->min(), -10 * stepX, 1e-9);
    EXPECT_NEAR(plot->bottomAxis()->max(), 100 - 10 * stepX, 1e-9);
    EXPECT_NEAR(TimeAt(start.x() + 10), timeUnder, stepX / 10);  // the curves follow the pointer
    Mouse(plot, QEvent::MouseMove, start + QPoint(10, 20), Qt::NoButton, Qt::RightButton);
    EXPECT_NEAR(plot->leftAxis()->min(), 20 * stepY, 1e-9);
    EXPECT_NEAR(plot->rightAxis()->max(), 100 + 20 * stepY, 1e-9);
    EXPECT_EQ(Edit("cursorTimeEdit"), "");  // no read-outs while panning

    // Outside the field nothing moves; back inside, the whole way made outside is caught up.
    const std::vector<Range> before = Ranges();
    Mouse(plot, QEvent::MouseMove, QPoint(field.right() + 4, start.y()), Qt::NoButton,
          Qt::RightButton);
    Mouse(plot, QEvent::MouseMove, QPoint(field.right() + 41, field.bottom() + 11), Qt::NoButton,
          Qt::RightButton);
    EXPECT_EQ(Ranges(), before);
    Mouse(plot, QEvent::MouseMove, start + QPoint(50, 40), Qt::NoButton, Qt::RightButton);
    EXPECT_NEAR(plot->bottomAxis()->min(), -50 * stepX, 1e-9);
    EXPECT_NEAR(plot->leftAxis()->min(), 40 * stepY, 1e-9);
    EXPECT_FALSE(plot->bottomAxis()->autoMin());
    Mouse(plot, QEvent::MouseButtonRelease, start + QPoint(50, 40), Qt::RightButton, Qt::NoButton);
    EXPECT_NEAR(plot->bottomAxis()->min(), -50 * stepX, 1e-9);  // a drag, not a click

    plot->bottomAxis()->setMinMax(45000.5, 45000.75);
    plot->leftAxis()->setMinMax(-20, 20);
    plot->rightAxis()->setMinMax(0, 1000);
    paint();
    Mouse(plot, QEvent::MouseMove, QPoint(field.left(), field.bottom() + 1), Qt::NoButton,
          Qt::NoButton);
    EXPECT_EQ(Edit("cursorTimeEdit"), "12:00:00");
    EXPECT_EQ(Edit("cursorLeftValueEdit"), "-20");
    EXPECT_EQ(Edit("cursorRightValueEdit"), "0");
    Mouse(plot, QEvent::MouseMove, QPoint(field.right() + 1, field.top()), Qt::NoButton,
          Qt::NoButton);
    EXPECT_EQ(Edit("cursorTimeEdit"), "18:00:00");
    EXPECT_EQ(Edit("cursorLeftValueEdit"), "20");
    EXPECT_EQ(Edit("cursorRightValueEdit"), "1000");
    Mouse(plot, QEvent::MouseMove, QPoint(field.right() + 3, field.top()), Qt::NoButton,
          Qt::NoButton);
    EXPECT_EQ(Edit("cursorRightValueEdit"), "1000");  // outside the field: left as it was
}

TEST_F(ChartWindowTest, ThumbButtonsNeitherZoomNorUndoNorClick) {
    WriteIni("");
    Show();
    SetAll0To100();
    const QPoint c = Centre();
    Drag(plot, Qt::LeftButton, {c, c + QPoint(40, 40)});  // a zoom the plot remembers
    const std::vector<Range> zoomed = Ranges();
    ASSERT_NE(zoomed[0], (Range{0, 100}));
    for (const Qt::MouseButton b : {Qt::BackButton, Qt::ForwardButton, Qt::ExtraButton3}) {
        // The toolkit's own handling: nobody on the way takes it.
        EXPECT_FALSE(Mouse(plot, QEvent::MouseButtonPress, c, b, b)) << b;
        EXPECT_EQ(plot->dragState(), XYPlot::DragState::None);
        Mouse(plot, QEvent::MouseMove, c + QPoint(20, 20), Qt::NoButton, b);
        Mouse(plot, QEvent::MouseButtonRelease, c + QPoint(20, 20), b, Qt::NoButton);
        Mouse(plot, QEvent::MouseButtonDblClick, c, b, b);
        Mouse(plot, QEvent::MouseButtonRelease, c, b, Qt::NoButton);
        EXPECT_EQ(Ranges(), zoomed) << b;  // no undo of the zoom, no standard view
        EXPECT_EQ(plot->dragState(), XYPlot::DragState::None);
    }
    // The left button still undoes the zoom (and then sets the standard view).
    Drag(plot, Qt::LeftButton, {c, c});
    EXPECT_EQ(RangeOf(plot->leftAxis()), (Range{-50, 50}));
}

TEST_F(ChartWindowTest, MarkersShowTimesAndTheValuesOfTheVisibleCurves) {
    WriteIni("[display]\nd1=1\nd2=1\nd3=1\n[axis]\n2=R\n[checkbox]\nch2=0\n");
    Show();
    const double t0 = 45000.25;
    plot->bottomAxis()->setMinMax(t0, t0 + 0.01);
    plot->leftAxis()->setMinMax(0, 100);
    plot->rightAxis()->setMinMax(0, 1000);
    paint();
    // Before the user moves them the handles mark the two ends of the field.
    EXPECT_EQ(form->markers().X1(), field.left());
    EXPECT_EQ(form->markers().X2(), field.right());
    EXPECT_EQ(form->marker1Handle()->geometry(), QRect(field.left() - 6, 0, 12, 12));

    const int a = field.left() + 50, b = field.left() + 100, c = field.left() + 150,
              d = field.left() + 200;
    XYLine* rising = form->line(1);
    XYLine* falling = form->line(2);
    XYLine* hidden = form->line(3);
    for (const auto& [column, value] :
         std::vector<std::pair<int, double>>{{a, 0}, {b, 10}, {d, 30}}) {
        rising->addXY(TimeAt(column), value);
    }
    for (const auto& [column, value] :
         std::vector<std::pair<int, double>>{{a, 900}, {b, 800}, {c, 400}}) {
        falling->addXY(TimeAt(column), value);
        hidden->addXY(TimeAt(column), value);
    }
    ASSERT_FALSE(hidden->active());
    form->markersCheck()->click();
    paint();

    DragHandle(form->marker1Handle(), {b - 20, b});  // exactly on the second points
    DragHandle(form->marker2Handle(), {c});          // between points of curve 1, on the last of 2
    EXPECT_EQ(form->markers().X1(), b);
    EXPECT_EQ(form->markers().X2(), c);
    EXPECT_EQ(form->marker1Handle()->x(), b - 6);
    EXPECT_EQ(Edit("marker1TimeEdit"), QString::fromStdString(formatTimeOfDay(TimeAt(b))));
    EXPECT_EQ(Edit("marker2TimeEdit"), QString::fromStdString(formatTimeOfDay(TimeAt(c))));
    EXPECT_EQ(Edit("markerDeltaEdit"),
              QString::fromStdString(formatTimeOfDay(TimeAt(c) - TimeAt(b))));
    QLabel* r1 = form->valueLabel(1, false);
    QLabel* r2 = form->valueLabel(1, true);
    QLabel* f1 = form->valueLabel(2, false);
    QLabel* f2 = form->valueLabel(2, true);
    ASSERT_TRUE(r1->isVisible());
    EXPECT_EQ(r1->text(), "10");
    EXPECT_EQ(r2->text(), "20");  // halfway from 10 to 30
    EXPECT_EQ(f1->text(), "800");
    EXPECT_EQ(f2->text(), "400");
    EXPECT_TRUE(r2->isVisible());
    EXPECT_TRUE(f2->isVisible());
    // Below the point on a rising curve, above it on a falling one, 5 pixels to the right.
    EXPECT_EQ(r2->pos(), QPoint(c + 5, plot->leftAxis()->valueToPixel(20)));
    EXPECT_EQ(f2->x(), c + 5);
    EXPECT_EQ(f2->y() + f2->height(), plot->rightAxis()->valueToPixel(400));
    EXPECT_FALSE(form->valueLabel(3, false)->isVisible());  // its curve is hidden
    EXPECT_FALSE(form->valueLabel(4, false)->isVisible());  // no channel in slot 4

    // At or before the first point, or after the last: no label.
    DragHandle(form->marker1Handle(), {a});
    DragHandle(form->marker2Handle(), {d + 10});
    EXPECT_FALSE(r1->isVisible());
    EXPECT_FALSE(f1->isVisible());
    EXPECT_FALSE(r2->isVisible());
    EXPECT_FALSE(f2->isVisible());
    // A label that would reach beyond the field is hidden, not clipped.
    rising->addXY(t0 + 0.02, 40);
    paint();
    DragHandle(form->marker2Handle(), {field.right() - 59});
    EXPECT_TRUE(r2->isVisible());
    DragHandle(form->marker2Handle(), {field.right() + 1});
    EXPECT_EQ(form->markers().X2(), field.right() + 1);
    EXPECT_FALSE(r2->isVisible());
    // The handles stay on the field however far the pointer goes.
    DragHandle(form->marker2Handle(), {field.right() + 31, plot->width() + 50});
    EXPECT_EQ(form->markers().X2(), field.right() + 1);

    // Without "Маркеры" the lines, handles and times still work, the labels stay hidden.
    form->markersCheck()->click();
    DragHandle(form->marker1Handle(), {b});
    EXPECT_EQ(Edit("marker1TimeEdit"), QString::fromStdString(formatTimeOfDay(TimeAt(b))));
    EXPECT_GT(DarkPixels(Shown(), b), field.height() / 2);
    paint();
    for (int k = 1; k <= kChartSlots; ++k) {
        EXPECT_FALSE(form->valueLabel(k, false)->isVisible()) << k;
        EXPECT_FALSE(form->valueLabel(k, true)->isVisible()) << k;
    }
}

// Two curves close together at a marker ("22" and "21.34"): both labels readable.
TEST_F(ChartWindowTest, LabelsOfCloseCurvesAtAMarkerDoNotOverlap) {
    WriteIni("[display]\nd1=1\nd2=1\n");
    Show();
    const double t0 = 45000.25;
    plot->bottomAxis()->setMinMax(t0, t0 + 0.01);
    plot->leftAxis()->setMinMax(0, 100);
    paint();
    const int a = field.left() + 50, b = field.left() + 150;
    form->line(1)->addXY(TimeAt(a), 22);
    form->line(1)->addXY(TimeAt(b), 22);
    form->line(2)->addXY(TimeAt(a), 21.34);
    form->line(2)->addXY(TimeAt(b), 21.34);
    form->markersCheck()->click();
    paint();
    DragHandle(form->marker1Handle(), {b - 20, b - 50});
    QLabel* first = form->valueLabel(1, false);
    QLabel* second = form->valueLabel(2, false);
    ASSERT_TRUE(first->isVisible());
    ASSERT_TRUE(second->isVisible());
    EXPECT_EQ(first->text(), "22");
    EXPECT_EQ(second->text(), "21.34");
    EXPECT_FALSE(first->geometry().intersects(second->geometry()))
        << first->y() << " " << second->y();
}

TEST_F(ChartWindowTest, MarkersAFullDayAndAnHourApartShowOneHour) {
    WriteIni("");
    Show();
    plot->bottomAxis()->setMinMax(45000, 45000 + 25.0 / 24);
    paint();
    EXPECT_EQ(Edit("marker1TimeEdit"), "00:00:00");
    EXPECT_EQ(Edit("marker2TimeEdit"), "01:00:00");
    EXPECT_EQ(Edit("markerDeltaEdit"), "01:00:00");
}

TEST_F(ChartWindowTest, MovingAMarkerLeavesNoStaleLine) {
    WriteIni("[display]\nd1=1\n");
    Show();
    const double t0 = 45000.25;
    plot->bottomAxis()->setMinMax(t0, t0 + 0.01);
    plot->leftAxis()->setMinMax(0, 100);
    for (int i = 0; i <= 20; ++i) form->line(1)->addXY(t0 + i * 0.0005, 10 + 4 * i);
    paint();
    const auto fresh = [this] {
        plot->replot();
        paint();
        return Shown();
    };
    const int target = field.left() + 250;
    DragHandle(form->marker1Handle(), {field.left() + 100, field.left() + 180, target});
    const QImage moved = Shown();
    EXPECT_GT(DarkPixels(moved, target), field.height() / 2);
    EXPECT_LT(DarkPixels(moved, field.left() + 180), 10);
    EXPECT_TRUE(moved == fresh());

    // Repaints after the move (new data: the field; a pan: frame and field) stay clean too.
    form->line(1)->addXY(t0 + 0.0102, 95);
    paint();
    QImage after = Shown();
    EXPECT_TRUE(after == fresh());
    form->line(1)->addXY(t0 + 0.0104, 96);
    paint();
    form->line(1)->addXY(t0 + 0.0106, 97);
    paint();
    after = Shown();
    EXPECT_TRUE(after == fresh());
    plot->bottomAxis()->moveMinMax(0.001);
    paint();
    after = Shown();
    EXPECT_TRUE(after == fresh());
    EXPECT_GT(DarkPixels(after, target), field.height() / 2);
}

TEST_F(ChartWindowTest, SlotCheckBoxesSwitchTheirOwnCurveAndAreStored) {
    StartSimulator(209);
    ASSERT_TRUE(simulator->plugged());  // started
    std::string ini = port() + "[diag]\nupdate=1\n";
    ini += "[display]\n";
    for (int c = 1; c <= 15; ++c) ini += "d" + std::to_string(c) + "=1\n";
    for (int k = 0; k < 15; ++k) simulator->setRegister(static_cast<std::uint16_t>(21 + k), 15000);
    WriteIni(ini);
    Show();
    const auto active = [this] {
        std::vector<int> on;
        for (int k = 1; k <= kChartSlots; ++k) {
            if (form->line(k)->active()) on.push_back(k);
        }
        return on;
    };
    const auto allBut = [](std::initializer_list<int> off) {
        std::vector<int> on;
        for (int k = 1; k <= kChartSlots; ++k) {
            if (std::find(off.begin(), off.end(), k) == off.end()) on.push_back(k);
        }
        return on;
    };
    ASSERT_EQ(active(), allBut({}));
    for (const int k : {13, 14, 15}) {
        form->slotCheckBox(k)->click();
        EXPECT_EQ(active(), allBut({k}));
        form->slotCheckBox(k)->click();
        EXPECT_EQ(active(), allBut({}));
    }
    form->slotCheckBox(14)->click();
    form->slotCheckBox(15)->click();
    EXPECT_EQ(active(), allBut({14, 15}));
    PollOnce();
    for (int k = 1; k <= kChartSlots; ++k) EXPECT_EQ(form->line(k)->count(), 1) << k;

    form->close();
    form = std::make_unique<MainWindow>();
    form->show();
    form->session().pollTimer()->stop();
    EXPECT_FALSE(form->slotCheckBox(14)->isChecked());
    EXPECT_FALSE(form->slotCheckBox(15)->isChecked());
    EXPECT_TRUE(form->slotCheckBox(13)->isChecked());
    EXPECT_EQ(active(), allBut({14, 15}));
}

TEST_F(ChartWindowTest, ACheckBoxClickLeavesSlotsWithoutAChannelHidden) {
    WriteIni("[display]\nd1=1\nd2=1\n");
    Show();
    form->line(5)->addXY(45000, 1);  // an old curve of a slot that has no channel now
    form->slotCheckBox(1)->click();
    form->slotCheckBox(1)->click();
    EXPECT_TRUE(form->line(1)->active());
    EXPECT_TRUE(form->line(2)->active());
    for (int k = 3; k <= kChartSlots; ++k) EXPECT_FALSE(form->line(k)->active()) << k;
}

TEST_F(ChartWindowTest, DemoSettingShowsTheMarkersOnTheCurves) {
    WriteIni("[diag]\nmarkers=1\n");
    Show();
    EXPECT_TRUE(form->markersCheck()->isChecked());
    const int width = field.width() - 1;
    EXPECT_NEAR(form->markers().X1(), field.left() + width / 3.0, 1);
    EXPECT_NEAR(form->markers().X2(), field.left() + 2 * width / 3.0, 1);
}

// The line is served off this thread: while a silent module's polls wait out their timeouts,
// a timer here keeps its time and a marker dragged meanwhile follows the mouse.
TEST_F(ChartWindowTest, SilentModuleNeitherDelaysTimersNorHoldsAMarkerDrag) {
    StartSimulator();
    simulator->setFault(sim::Fault::Silence);
    WriteIni(port() + "[measure]\nperiod=1\n");
    Show();
    form->session().link().setTiming(LinkTiming{});  // the real pauses: a silent poll takes 2.4 s
    form->markersCheck()->click();
    paint();
    const int target = field.left() + 120;
    MarkerHandle* handle = form->marker1Handle();
    const QPoint grip(handle->width() / 2, handle->height() / 2);
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0, worst = 0;
    int step = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, [&] {
        worst = std::max(worst, clock.elapsed() - last);
        last = clock.elapsed();
        // A drag in steps of 10 ms, begun while the first poll waits for its reply.
        ++step;
        if (step == 30)
            Mouse(handle, QEvent::MouseButtonPress, grip, Qt::LeftButton, Qt::LeftButton);
        if (step > 30 && step <= 40) {
            const int column = field.left() + (target - field.left()) * (step - 30) / 10;
            Mouse(handle, QEvent::MouseMove, QPoint(column - handle->x(), grip.y()), Qt::NoButton,
                  Qt::LeftButton);
        }
        if (step == 41)
            Mouse(handle, QEvent::MouseButtonRelease, grip, Qt::LeftButton, Qt::NoButton);
    });
    tick.start(10);
    form->pollModule();  // then every second after each poll
    while (clock.elapsed() < 4000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    tick.stop();
    form->session().pollTimer()->stop();
    Settle();
    EXPECT_GE(simulator->requestCount(), 5u);  // the polls did wait on the line meanwhile
    EXPECT_LT(worst, 200) << "the window stood still for " << worst << " ms";
    EXPECT_GT(step, 41);
    EXPECT_EQ(form->markers().X1(), target);
    EXPECT_NE(form->statusPanel(0), "МОДУЛЬ НА СВЯЗИ");
}

}  // namespace
}  // namespace kvel
