#include <algorithm>

#include "plot/plot.h"

// Inverting figures go straight onto the control's canvas, so that drawing the same figure
// again restores the pixels under it.

void XYPlot::drawXCursorLine(int pixel) {
    const QRect& f = fieldRect_;
    if (!(f.left() < pixel && pixel <= f.right())) return;
    QPainter& p = *controlCanvas();
    p.setClipping(false);
    p.setPen(makePen(Qt::black, Qt::SolidLine, 1));
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.drawLine(pixel, f.top() + 1, pixel, f.bottom());
    setCopyMode(p);
    update();
}

void XYPlot::drawZoomRect() {
    QPainter& p = *controlCanvas();
    p.setClipping(false);
    p.setPen(makePen(Qt::black, Qt::DotLine, 1));
    p.setBrush(Qt::white);
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.drawPolyline(QPolygon({QPoint(x0_, y0_), QPoint(x1_, y0_), QPoint(x1_, y1_), QPoint(x0_, y1_),
                             QPoint(x0_, y0_)}));
    setCopyMode(p);
    update();
}

void XYPlot::setXCursorOn(bool v) {
    if (v == xCursorOn_) return;
    xCursorOn_ = v;
    if (v) cursorPixel_ = bottom_->valueToPixel(xCursorVal_);
    drawXCursorLine(cursorPixel_);
}

void XYPlot::setXCursorVal(double v) {
    const int pixel = bottom_->valueToPixel(v);
    xCursorVal_ = v;
    if (pixel == cursorPixel_ || !xCursorOn_) return;
    drawXCursorLine(cursorPixel_);
    cursorPixel_ = pixel;
    drawXCursorLine(cursorPixel_);
}

void XYPlot::setDragCorner(int x, int y) {
    x1_ = zoom_ == Qt::Vertical ? fieldRect_.right() + 1 : x;
    y1_ = zoom_ == Qt::Horizontal ? fieldRect_.bottom() + 1 : y;
}

namespace {
bool onlyLeftHeld(const MouseState& s) {
    return (s.buttons & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)) == Qt::LeftButton;
}
}  // namespace

void XYPlot::mouseDown(Qt::MouseButton button, const MouseState& state, int x, int y) {
    if (button == Qt::LeftButton) {
        if (zoom_ && dragState_ == 0) {
            x0_ = zoom_ == Qt::Vertical ? fieldRect_.left() : x;
            y0_ = zoom_ == Qt::Horizontal ? fieldRect_.top() : y;
            savedCursor_ = cursor();
            dragState_ = 1;
        } else if ((state.modifiers & kShiftKeys) == panKeys_ && onlyLeftHeld(state) &&
                   !state.doubleClick && pan_ && dragState_ == 0) {
            x0_ = x;
            y0_ = y;
            savedCursor_ = cursor();
            dragState_ = 3;
            setCursor(panCursor_);
        }
    }
    if (onMouseDown) onMouseDown(this, button, state, x, y);
}

void XYPlot::mouseMove(const MouseState& state, int x, int y) {
    switch (dragState_) {
        case 1:
            if (std::abs(x - x0_) > 3 || std::abs(y - y0_) > 3) {
                dragState_ = 2;
                setCursor(Qt::CrossCursor);
                setDragCorner(x, y);
                drawZoomRect();
            }
            break;
        case 2:
            drawZoomRect();
            setDragCorner(x, y);
            drawZoomRect();
            break;
        case 3:
        case 4:
            if (dragState_ == 3 && x == x0_ && y == y0_) break;
            x1_ = x0_;
            y1_ = y0_;
            x0_ = x;
            y0_ = y;
            dragState_ = 4;
            panStep();
            break;
        default:
            break;
    }
    if (onMouseMove) onMouseMove(this, state, x, y);
}

void XYPlot::panStep() {
    for (Axis* a : allAxes()) a->saveMinMax();
    const int dx = x1_ - x0_;
    if (dx != 0 && pan_.testFlag(Qt::Horizontal)) {
        bottom_->scrollBy(dx, true);
        top_->scrollBy(dx, true);
        invalidateParts(false, true, true);
    }
    const int dy = y1_ - y0_;
    if (dy != 0 && pan_.testFlag(Qt::Vertical)) {
        left_->scrollBy(dy, true);
        right_->scrollBy(dy, true);
        invalidateParts(false, true, true);
    }
}

void XYPlot::mouseUp(Qt::MouseButton button, const MouseState& state, int x, int y) {
    if (dragState_ == 1) {
        const auto axes = allAxes();
        if (std::all_of(axes.begin(), axes.end(), [](Axis* a) { return a->hasSavedMinMax(); })) {
            for (Axis* a : axes) a->restoreMinMax();
            invalidate();
        }
    } else if (dragState_ == 2) {
        drawZoomRect();
        int l = x0_, r = x1_, t = y0_, b = y1_;
        if (x1_ < x0_) {
            l = x1_ + 1;
            r = x0_ + 1;
        }
        if (y1_ < y0_) {
            t = y1_ + 1;
            b = y0_ + 1;
        }
        zoomStep(l, t, r, b);
    }
    if (dragState_ != 0) {
        dragState_ = 0;
        setCursor(savedCursor_);
    }
    if (onMouseUp) onMouseUp(this, button, state, x, y);
}

void XYPlot::zoomStep(int l, int t, int r, int b) {
    if (!zoom_ || r - l <= 2 || b - t <= 2) return;
    for (Axis* a : allAxes()) a->saveMinMax();
    if (zoom_.testFlag(Qt::Horizontal)) {
        zoomAxis(*bottom_, l, r);
        zoomAxis(*top_, l, r);
    }
    if (zoom_.testFlag(Qt::Vertical)) {
        zoomAxis(*left_, b, t);
        zoomAxis(*right_, b, t);
    }
    invalidate();
}

void XYPlot::zoomAxis(Axis& axis, int a, int b) {
    double mn = axis.pixelToValue(a), mx = axis.pixelToValue(b);
    if (mn > mx) std::swap(mn, mx);
    bool canZoom = true;
    if (onAxisZoom) onAxisZoom(&axis, mn, mx, canZoom);
    if (canZoom) axis.applyRange(mn, mx);
}
