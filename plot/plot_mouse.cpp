#include <algorithm>

#include "plot/plot.h"

// Inverting figures go straight onto the control's canvas, so that drawing the same figure
// again restores the pixels under it.

void Tsp_XYPlot::DrawXCursorLine(int pixel) {
    const TRect& f = fieldRect_;
    if (!(f.Left < pixel && pixel < f.Right)) return;
    QPainter& p = *ControlCanvas();
    p.setClipping(false);
    p.setPen(MakePen(clBlack, psSolid, 1));
    p.setCompositionMode(QPainter::RasterOp_NotDestination);
    p.drawLine(pixel, f.Top + 1, pixel, f.Bottom - 1);
    SetCopyMode(p);
    update();
}

void Tsp_XYPlot::DrawZoomRect() {
    QPainter& p = *ControlCanvas();
    p.setClipping(false);
    p.setPen(MakePen(clBlack, psDot, 1));
    p.setBrush(Qt::white);
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.drawPolyline(QPolygon({QPoint(x0_, y0_), QPoint(x1_, y0_), QPoint(x1_, y1_), QPoint(x0_, y1_),
                             QPoint(x0_, y0_)}));
    SetCopyMode(p);
    update();
}

void Tsp_XYPlot::SetXCursorOn(bool v) {
    if (v == xCursorOn_) return;
    xCursorOn_ = v;
    if (v) cursorPixel_ = bottom_->ValueToPixel(xCursorVal_);
    DrawXCursorLine(cursorPixel_);
}

void Tsp_XYPlot::SetXCursorVal(double v) {
    const int pixel = bottom_->ValueToPixel(v);
    xCursorVal_ = v;
    if (pixel == cursorPixel_ || !xCursorOn_) return;
    DrawXCursorLine(cursorPixel_);
    cursorPixel_ = pixel;
    DrawXCursorLine(cursorPixel_);
}

void Tsp_XYPlot::SetDragCorner(int x, int y) {
    x1_ = zoom_ == zpdVertical ? fieldRect_.Right : x;
    y1_ = zoom_ == zpdHorizontal ? fieldRect_.Bottom : y;
}

void Tsp_XYPlot::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (button == mbLeft) {
        if (zoom_ != zpdNone && dragState_ == 0) {
            x0_ = zoom_ == zpdVertical ? fieldRect_.Left : x;
            y0_ = zoom_ == zpdHorizontal ? fieldRect_.Top : y;
            savedCursor_ = cursor();
            dragState_ = 1;
        } else if (shift == panKeys_ && pan_ != zpdNone && dragState_ == 0) {
            x0_ = x;
            y0_ = y;
            savedCursor_ = cursor();
            dragState_ = 3;
            setCursor(panCursor_);
        }
    }
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}

void Tsp_XYPlot::MouseMove(TShiftState shift, int x, int y) {
    switch (dragState_) {
        case 1:
            if (std::abs(x - x0_) > 3 || std::abs(y - y0_) > 3) {
                dragState_ = 2;
                setCursor(Qt::CrossCursor);
                SetDragCorner(x, y);
                DrawZoomRect();
            }
            break;
        case 2:
            DrawZoomRect();
            SetDragCorner(x, y);
            DrawZoomRect();
            break;
        case 3:
        case 4:
            if (dragState_ == 3 && x == x0_ && y == y0_) break;
            x1_ = x0_;
            y1_ = y0_;
            x0_ = x;
            y0_ = y;
            dragState_ = 4;
            PanStep();
            break;
        default:
            break;
    }
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void Tsp_XYPlot::PanStep() {
    for (Tsp_Axis* a : Axes()) a->SaveMinMax();
    const int dx = x1_ - x0_;
    if (dx != 0 && (pan_ == zpdHorizontal || pan_ == zpdBoth)) {
        bottom_->ScrollBy(dx, true);
        top_->ScrollBy(dx, true);
        InvalidateParts(false, true, true);
    }
    const int dy = y1_ - y0_;
    if (dy != 0 && (pan_ == zpdVertical || pan_ == zpdBoth)) {
        left_->ScrollBy(dy, true);
        right_->ScrollBy(dy, true);
        InvalidateParts(false, true, true);
    }
}

void Tsp_XYPlot::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (dragState_ == 1) {
        const auto axes = Axes();
        if (std::all_of(axes.begin(), axes.end(),
                        [](Tsp_Axis* a) { return a->HasSavedMinMax(); })) {
            for (Tsp_Axis* a : axes) a->RestoreMinMax();
            Invalidate();
        }
    } else if (dragState_ == 2) {
        DrawZoomRect();
        int l = x0_, r = x1_, t = y0_, b = y1_;
        if (x1_ < x0_) {
            l = x1_ + 1;
            r = x0_ + 1;
        }
        if (y1_ < y0_) {
            t = y1_ + 1;
            b = y0_ + 1;
        }
        ZoomStep(l, t, r, b);
    }
    if (dragState_ != 0) {
        dragState_ = 0;
        setCursor(savedCursor_);
    }
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}

void Tsp_XYPlot::ZoomStep(int l, int t, int r, int b) {
    if (zoom_ == zpdNone || r - l <= 2 || b - t <= 2) return;
    for (Tsp_Axis* a : Axes()) a->SaveMinMax();
    if (zoom_ == zpdHorizontal || zoom_ == zpdBoth) {
        ZoomAxis(*bottom_, l, r);
        ZoomAxis(*top_, l, r);
    }
    if (zoom_ == zpdVertical || zoom_ == zpdBoth) {
        ZoomAxis(*left_, b, t);
        ZoomAxis(*right_, b, t);
    }
    Invalidate();
}

void Tsp_XYPlot::ZoomAxis(Tsp_Axis& axis, int a, int b) {
    double mn = axis.PixelToValue(a), mx = axis.PixelToValue(b);
    if (mn > mx) std::swap(mn, mx);
    bool canZoom = true;
    if (OnAxisZoom) OnAxisZoom(&axis, mn, mx, canZoom);
    if (canZoom) axis.ApplyRange(mn, mx);
}
