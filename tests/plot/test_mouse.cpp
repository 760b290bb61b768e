#include <gtest/gtest.h>

#include "plot/xy_plot.h"
#include "plot_test_util.h"

namespace {

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
        plot.paint();
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
    EXPECT_EQ(plot.dragState(), 0);
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

TEST_F(MouseTest, ZoomHandlerMayChangeOrRefuseAnAxis) {
    plot.onAxisZoom = [&](Axis* axis, double& mn, double& mx, bool& can) {
        if (axis == plot.rightAxis()) can = false;
        if (axis == plot.topAxis()) {
            mn = 11;
            mx = 12;
        }
    };
    LeftDrag(plot, {{100, 80}, {200, 150}});
    ExpectUnchanged({1});
    ExpectZoomed(0, 150, 80);
    EXPECT_EQ(plot.topAxis()->min(), 11);
    EXPECT_EQ(plot.topAxis()->max(), 12);
}

TEST_F(MouseTest, PanNeedsZoomOffAndExactlyThePanKeys) {
    LeftDrag(plot, {{100, 100}, {150, 150}}, Qt::ControlModifier);  // zoom is on: zooms
    ExpectZoomed(2, 100, 150);
    LeftDrag(plot, {{10, 10}});  // undo
    plot.setZoom(Qt::Orientations());
    LeftDrag(plot, {{100, 100}, {150, 150}}, Qt::ControlModifier | Qt::ShiftModifier);
    ExpectUnchanged({0, 1, 2, 3});
    plot.paint();
    const int framesBefore = plot.frames;
    plot.layouts = 0;
    LeftDrag(plot, {{100, 100}, {110, 100}, {120, 95}}, Qt::ControlModifier);
    const double ppuX = plot.bottomAxis()->pixelsPerUnit();
    EXPECT_DOUBLE_EQ(plot.bottomAxis()->min(), before[2].min - 20 / ppuX);
    const double ppuY = plot.leftAxis()->pixelsPerUnit();
    EXPECT_DOUBLE_EQ(plot.leftAxis()->min(), before[0].min + 5 / ppuY);
    EXPECT_TRUE(plot.bottomAxis()->hasSavedMinMax());
    plot.paint();
    EXPECT_EQ(plot.frames, framesBefore + 1);  // frame and field, not the layout
    EXPECT_EQ(plot.layouts, 0);
    plot.setPan(Qt::Horizontal);
    LeftDrag(plot, {{100, 100}, {100, 140}}, Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(plot.leftAxis()->min(), before[0].min + 5 / ppuY);
}

TEST_F(MouseTest, CursorsDuringTheDragAndEventsAfterThePlotActed) {
    plot.setPanCursor(Qt::OpenHandCursor);
    plot.setCursor(Qt::IBeamCursor);
    std::vector<int> states;
    plot.onMouseMove = [&](XYPlot* p, const MouseState&, int, int) {
        states.push_back(p->dragState());
        EXPECT_EQ(p->cursor().shape(), p->dragState() == 2 ? Qt::CrossCursor : Qt::IBeamCursor);
    };
    MouseState down;
    plot.onMouseDown = [&](XYPlot* p, Qt::MouseButton b, const MouseState& s, int, int) {
        EXPECT_EQ(b, Qt::LeftButton);
        EXPECT_EQ(p->dragState(), 1);
        down = s;
    };
    LeftDrag(plot, {{100, 100}, {102, 101}, {120, 120}, {130, 140}}, Qt::ShiftModifier);
    EXPECT_EQ(states, (std::vector<int>{1, 2, 2}));
    EXPECT_EQ(down.modifiers, Qt::ShiftModifier);
    EXPECT_EQ(down.buttons, Qt::LeftButton);
    EXPECT_FALSE(down.doubleClick);
    EXPECT_EQ(plot.cursor().shape(), Qt::IBeamCursor);
    plot.onMouseMove = nullptr;
    plot.onMouseDown = nullptr;
    plot.setZoom(Qt::Orientations());
    SendMouse(plot, QEvent::MouseButtonPress, 50, 50, Qt::LeftButton, Qt::LeftButton,
              Qt::ControlModifier);
    EXPECT_EQ(plot.dragState(), 3);
    EXPECT_EQ(plot.cursor().shape(), Qt::OpenHandCursor);
    SendMouse(plot, QEvent::MouseMove, 60, 50, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(plot.dragState(), 4);
    SendMouse(plot, QEvent::MouseButtonRelease, 60, 50, Qt::LeftButton, Qt::NoButton,
              Qt::ControlModifier);
    EXPECT_EQ(plot.dragState(), 0);
    EXPECT_EQ(plot.cursor().shape(), Qt::IBeamCursor);
}

TEST_F(MouseTest, PanStartsWithExactlyThePanKeysAndTheLeftButtonAlone) {
    plot.setZoom(Qt::Orientations());
    const struct {
        QEvent::Type type;
        Qt::MouseButtons buttons;
        Qt::KeyboardModifiers mods;
        int dragState;
    } presses[] = {
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::ControlModifier, 3},
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::ControlModifier | Qt::KeypadModifier, 3},
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::ControlModifier | Qt::ShiftModifier, 0},
        {QEvent::MouseButtonPress, Qt::LeftButton | Qt::RightButton, Qt::ControlModifier, 0},
        {QEvent::MouseButtonPress, Qt::LeftButton, Qt::NoModifier, 0},
        {QEvent::MouseButtonDblClick, Qt::LeftButton, Qt::ControlModifier, 0},
    };
    for (const auto& p : presses) {
        SendMouse(plot, p.type, 50, 50, Qt::LeftButton, p.buttons, p.mods);
        EXPECT_EQ(plot.dragState(), p.dragState) << p.type << " " << p.buttons << " " << p.mods;
        SendMouse(plot, QEvent::MouseButtonRelease, 50, 50, Qt::LeftButton, Qt::NoButton, p.mods);
        EXPECT_EQ(plot.dragState(), 0);
    }
}

TEST_F(MouseTest, ZoomRectangleIsRemovedByDrawingItAgain) {
    const QImage clean = plot.controlImage();
    SendMouse(plot, QEvent::MouseButtonPress, 100, 100, Qt::LeftButton, Qt::LeftButton);
    SendMouse(plot, QEvent::MouseMove, 160, 140, Qt::NoButton, Qt::LeftButton);
    const QImage first = plot.controlImage();
    EXPECT_NE(first, clean);
    SendMouse(plot, QEvent::MouseMove, 200, 180, Qt::NoButton, Qt::LeftButton);
    EXPECT_NE(plot.controlImage(), first);
    SendMouse(plot, QEvent::MouseMove, 160, 140, Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(plot.controlImage(), first);
    SendMouse(plot, QEvent::MouseButtonRelease, 160, 140, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(plot.controlImage(), clean);  // removed before the zoom repaints
}

TEST(ShiftKeys, ReadBackAsSetWithoutOtherModifiers) {
    XYPlot plot;
    EXPECT_EQ(plot.zoomShiftKeys(), Qt::ShiftModifier);
    EXPECT_EQ(plot.panShiftKeys(), Qt::ControlModifier);
    plot.setPanShiftKeys(Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier);
    EXPECT_EQ(plot.panShiftKeys(), Qt::AltModifier | Qt::ShiftModifier);
}

}  // namespace
