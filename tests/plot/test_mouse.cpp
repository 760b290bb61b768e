#include <gtest/gtest.h>

#include <QRubberBand>

#include "plot/xy_plot.h"
#include "plot_test_util.h"

namespace {

using Drag = XYPlot::DragState;

struct Range {
    double min, max;
};
Range RangeOf(const Axis* a) {
    return {a->min(), a->max()};
}

class MouseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        plot.resize(400, 300);
        plot.leftAxis()->setMinMax(-50, 50);
        plot.rightAxis()->setMinMax(0, 1000);
        plot.bottomAxis()->setMinMax(0, 100);
        plot.topAxis()->setMinMax(10, 20);
        Paint(plot);
        for (Axis* a : allAxes()) before.push_back(RangeOf(a));
    }
    std::vector<Axis*> allAxes() {
        return {plot.leftAxis(), plot.rightAxis(), plot.bottomAxis(), plot.topAxis()};
    }
    void ExpectUnchanged(std::initializer_list<int> which) {
        for (int i : which) {
            EXPECT_DOUBLE_EQ(allAxes()[i]->min(), before[i].min) << i;
            EXPECT_DOUBLE_EQ(allAxes()[i]->max(), before[i].max) << i;
        }
    }
    void ExpectZoomed(int i, int pa, int pb) {
        EXPECT_DOUBLE_EQ(allAxes()[i]->min(), PixelValue(i, pa)) << i;
        EXPECT_DOUBLE_EQ(allAxes()[i]->max(), PixelValue(i, pb)) << i;
    }
    // The value a pixel had before any zoom.
    double PixelValue(int i, int p) {
        Axis a(allAxes()[i]->flags());
        a.applyRange(before[i].min, before[i].max);
        a.setLinePos(allAxes()[i]->lineX(), allAxes()[i]->lineY(), allAxes()[i]->lineLength());
        return a.pixelToValue(p);
    }
    CountingPlot plot;
    std::vector<Range> before;
};

TEST_F(MouseTest, DragZoomsAllFourAxesAndAClickUndoesIt) {
    LeftDrag(plot, {{100, 80}, {150, 120}, {200, 150}});
    EXPECT_EQ(plot.dragState(), Drag::None);
    ExpectZoomed(2, 100, 200);
    ExpectZoomed(3, 100, 200);
    ExpectZoomed(0, 150, 80);
    ExpectZoomed(1, 150, 80);
    EXPECT_FALSE(plot.layoutValid());
    LeftDrag(plot, {{120, 100}, {140, 130}});  // zoom again: the first ranges stay remembered
    LeftDrag(plot, {{50, 50}, {53, 47}});      // not more than 3 pixels: a click
    ExpectUnchanged({0, 1, 2, 3});
    LeftDrag(plot, {{50, 50}});  // a click without a zoom to undo does nothing
    ExpectUnchanged({0, 1, 2, 3});
}

TEST_F(MouseTest, RightToLeftDragZoomsTheSameShiftedByOnePixel) {
    LeftDrag(plot, {{200, 150}, {100, 80}});
    ExpectZoomed(2, 101, 201);
    ExpectZoomed(0, 151, 81);
}

TEST_F(MouseTest, SmallRectanglesZoomNothing) {
    LeftDrag(plot, {{100, 100}, {104, 102}});
    ExpectUnchanged({0, 1, 2, 3});
    EXPECT_FALSE(plot.bottomAxis()->hasSavedMinMax());
}

TEST_F(MouseTest, HorizontalZoomKeepsTheVerticalAxesAndSpansTheField) {
    plot.setZoom(Qt::Horizontal);
    LeftDrag(plot, {{100, 200}, {180, 199}});  // hardly any vertical movement
    ExpectZoomed(2, 100, 180);
    ExpectUnchanged({0, 1});
    plot.setZoom(Qt::Vertical);
    LeftDrag(plot, {{300, 60}, {300, 160}});
    ExpectZoomed(0, 160, 60);
}

TEST_F(MouseTest, PanNeedsZoomOffAndExactlyThePanKeys) {
    LeftDrag(plot, {{100, 100}, {150, 150}}, Qt::ControlModifier);  // zoom is on: zooms
    ExpectZoomed(2, 100, 150);
    LeftDrag(plot, {{10, 10}});  // undo
    plot.setZoom(Qt::Orientations());
    LeftDrag(plot, {{100, 100}, {150, 150}}, Qt::ControlModifier | Qt::ShiftModifier);
    ExpectUnchanged({0, 1, 2, 3});
    Paint(plot);
    const int framesBefore = plot.frames;
    plot.layouts = 0;
    LeftDrag(plot, {{100, 100}, {110, 100}, {120, 95}}, Qt::ControlModifier);
    const double ppuX = plot.bottomAxis()->pixelsPerUnit();
    EXPECT_DOUBLE_EQ(plot.bottomAxis()->min(), before[2].min - 20 / ppuX);
    const double ppuY = plot.leftAxis()->pixelsPerUnit();
    EXPECT_DOUBLE_EQ(plot.leftAxis()->min(), before[0].min + 5 / ppuY);
    EXPECT_TRUE(plot.bottomAxis()->hasSavedMinMax());
    Paint(plot);
    EXPECT_EQ(plot.frames, framesBefore + 1);  // frame and field, not the layout
    EXPECT_EQ(plot.layouts, 0);
    plot.setPan(Qt::Horizontal);
    LeftDrag(plot, {{100, 100}, {100, 140}}, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->min(), before[0].min + 5 / ppuY);
}

TEST_F(MouseTest, CursorsDuringTheDragAndEventsAfterThePlotActed) {
    plot.setPanCursor(Qt::OpenHandCursor);
    plot.setCursor(Qt::IBeamCursor);
    std::vector<Drag> states;
    std::vector<QPoint> released;
    auto moved = QObject::connect(&plot, &XYPlot::mouseMoved, [&](QPoint) {
        states.push_back(plot.dragState());
        EXPECT_EQ(plot.cursor().shape(),
                  plot.dragState() == Drag::Zooming ? Qt::CrossCursor : Qt::IBeamCursor);
    });
    auto pressed = QObject::connect(&plot, &XYPlot::mousePressed, [&](Qt::MouseButton b, QPoint) {
        EXPECT_EQ(b, Qt::LeftButton);
        EXPECT_EQ(plot.dragState(), Drag::ZoomPressed);
    });
    auto up = QObject::connect(&plot, &XYPlot::mouseReleased, [&](Qt::MouseButton, QPoint pos) {
        EXPECT_EQ(plot.dragState(), Drag::None);  // the zoom is done first
        released.push_back(pos);
    });
    LeftDrag(plot, {{100, 100}, {102, 101}, {120, 120}, {130, 140}}, Qt::ShiftModifier);
    EXPECT_EQ(states, (std::vector<Drag>{Drag::ZoomPressed, Drag::Zooming, Drag::Zooming}));
    EXPECT_EQ(released, (std::vector<QPoint>{QPoint(130, 140)}));
    EXPECT_EQ(plot.cursor().shape(), Qt::IBeamCursor);
    QObject::disconnect(moved);
    QObject::disconnect(pressed);
    QObject::disconnect(up);
    plot.setZoom(Qt::Orientations());
    SendMouse(plot, QEvent::MouseButtonPress, 50, 50, Qt::LeftButton, Qt::LeftButton,
              Qt::ControlModifier);
    EXPECT_EQ(plot.dragState(), Drag::PanPressed);
    EXPECT_EQ(plot.cursor().shape(), Qt::OpenHandCursor);
    SendMouse(plot, QEvent::MouseMove, 60, 50, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(plot.dragState(), Drag::Panning);
    SendMouse(plot, QEvent::MouseButtonRelease, 60, 50, Qt::LeftButton, Qt::NoButton,
              Qt::ControlModifier);
    EXPECT_EQ(plot.dragState(), Drag::None);
    EXPECT_EQ(plot.cursor().shape(), Qt::IBeamCursor);
}

TEST_F(MouseTest, PanStartsWithExactlyThePanKeysAndTheLeftButtonAlone) {
    plot.setZoom(Qt::Orientations());
    const struct {
        QEvent::Type type;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers mods;
        Drag dragState;
    } presses[] = {
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::ControlModifier, Drag::PanPressed},
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::ControlModifier | Qt::KeypadModifier,
         Drag::PanPressed},
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier,
         Drag::None},
        {QEvent::MouseButtonPress, Qt::LeftButton | Qt::RightButton, Qt::ControlModifier,
         Drag::None},
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::NoModifier, Drag::None},
        {QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::ControlModifier, Drag::None},
    };
    for (const auto& p : presses) {
        SendMouse(plot, p.type, 50, 50, Qt::LeftButton, p.buttons, p.mods);
        EXPECT_EQ(plot.dragState(), p.dragState) << p.type << " " << p.buttons << " " << p.mods;
        SendMouse(plot, QEvent::MouseButtonRelease, 50, 50, Qt::LeftButton, Qt::NoButton, p.mods);
        EXPECT_EQ(plot.dragState(), Drag::None);
    }
}

TEST_F(MouseTest, TheZoomBoxFollowsThePointerAndLeavesNoTrace) {
    const int fields = plot.fields;
    SendMouse(plot, QEvent::MouseButtonPress, 100, 100, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(plot.zoomBand(), nullptr);  // not before the pointer moved more than 3 pixels
    SendMouse(plot, QEvent::MouseMove, 160, 140, Qt::NoButton, Qt::LeftButton);
    ASSERT_NE(plot.zoomBand(), nullptr);
    EXPECT_EQ(plot.zoomBand()->geometry(), QRect(QPoint(100, 100), QPoint(160, 140)));
    SendMouse(plot, QEvent::MouseMove, 60, 70, Qt::NoButton, Qt::LeftButton);  // up and left
    EXPECT_EQ(plot.zoomBand()->geometry(), QRect(QPoint(60, 70), QPoint(100, 100)));
    Paint(plot);
    EXPECT_EQ(plot.fields, fields);  // the plot's own picture stays as it was
    SendMouse(plot, QEvent::MouseButtonRelease, 60, 70, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(plot.zoomBand(), nullptr);
    EXPECT_FALSE(plot.pictureValid());  // zoomed: drawn anew at the next paint
}

TEST(ShiftKeys, ReadBackAsSetWithoutOtherModifiers) {
    XYPlot plot;
    EXPECT_EQ(plot.zoomShiftKeys(), Qt::ShiftModifier);
    EXPECT_EQ(plot.panShiftKeys(), Qt::ControlModifier);
    plot.setPanShiftKeys(Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    EXPECT_EQ(plot.panShiftKeys(), Qt::AltModifier | Qt::ShiftModifier);
}

}  // namespace
