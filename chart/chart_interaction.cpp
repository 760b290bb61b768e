#include "chart/chart_interaction.h"

#include <algorithm>
#include <cstdlib>

namespace kvel {
namespace {

// A release more than this far from its press, in either direction, ends a drag.
constexpr int kClickSlop = 5;
constexpr int kWheelNotch = 120;
constexpr double kNarrowestWheelStep = -0.45;

bool insideInclusive(const QRect& f, int x, int y) {
    return x >= f.left() && x <= f.right() + 1 && y >= f.top() && y <= f.bottom() + 1;
}

void widen(Axis& axis, double k) {
    const double d = (axis.max() - axis.min()) * k;
    axis.setMinMax(axis.min() - d, axis.max() + d);
}

}  // namespace

std::optional<PointerReadout> pointerReadout(const XYPlot& plot, int x, int y) {
    const QRect f = plot.fieldRect();
    if (!insideInclusive(f, x, y)) return std::nullopt;
    const Axis& bottom = *plot.bottomAxis();
    const Axis& left = *plot.leftAxis();
    const Axis& right = *plot.rightAxis();
    const double fx = double(x - f.left()) / f.width();
    const double fy = double(f.bottom() + 1 - y) / f.height();
    return PointerReadout{bottom.min() + fx * (bottom.max() - bottom.min()),
                          left.min() + fy * (left.max() - left.min()),
                          right.min() + fy * (right.max() - right.min())};
}

void widenAxes(XYPlot& plot, double k) {
    widen(*plot.leftAxis(), k);
    widen(*plot.rightAxis(), k);
    widen(*plot.bottomAxis(), k);
}

int WheelNotches::add(int delta) {
    if ((delta > 0 && pending_ < 0) || (delta < 0 && pending_ > 0)) pending_ = 0;
    pending_ += delta;
    const int whole = pending_ / kWheelNotch;  // toward zero: the rest keeps its sign
    pending_ -= whole * kWheelNotch;
    return whole;
}

bool wheelZoom(XYPlot& plot, WheelNotches& wheel, int delta, int x, int y) {
    const QRect f = plot.fieldRect();
    if (!(f.left() < x && x <= f.right() && f.top() < y && y <= f.bottom())) return false;
    const int notches = wheel.add(delta);
    // Ten notches toward the user at once would close every range to a point, more would turn
    // it inside out: one turn narrows a range to a tenth at most.
    if (notches != 0) widenAxes(plot, std::max(notches * 0.05, kNarrowestWheelStep));
    return true;
}

void standardView(XYPlot& plot, const MemIni& ini) {
    Axis& bottom = *plot.bottomAxis();
    // Each switch-on fits the axis to the data; switching off again keeps that range.
    bottom.setAutoMin(true);
    bottom.setAutoMax(true);
    bottom.setAutoMin(false);
    bottom.setAutoMax(false);
    plot.leftAxis()->setMinMax(ini.readFloat(keys::kLeftMin), ini.readFloat(keys::kLeftMax));
    plot.rightAxis()->setMinMax(ini.readFloat(keys::kRightMin), ini.readFloat(keys::kRightMax));
}

void fixRanges(XYPlot& plot) {
    for (Axis* axis : {plot.leftAxis(), plot.rightAxis(), plot.bottomAxis()}) {
        axis->setMinMax(axis->min(), axis->max());
    }
}

ChartMouse::ChartMouse(XYPlot& plot, QObject* parent) : QObject(parent), plot_(plot) {
    connect(&plot, &XYPlot::mousePressed, this,
            [this](Qt::MouseButton button, QPoint pos) { mouseDown(button, pos.x(), pos.y()); });
    connect(&plot, &XYPlot::mouseReleased, this,
            [this](Qt::MouseButton button, QPoint pos) { mouseUp(button, pos.x(), pos.y()); });
}

void ChartMouse::mouseDown(Qt::MouseButton button, int x, int y) {
    downX_ = x;
    downY_ = y;
    if (button == Qt::RightButton) {
        panX_ = x;
        panY_ = y;
        panning_ = true;
    }
}

std::optional<PointerReadout> ChartMouse::mouseMove(int x, int y) {
    const QRect f = plot_.fieldRect();
    if (!insideInclusive(f, x, y)) return std::nullopt;
    if (!panning_) return pointerReadout(plot_, x, y);
    Axis& bottom = *plot_.bottomAxis();
    Axis& left = *plot_.leftAxis();
    Axis& right = *plot_.rightAxis();
    // Steps per pixel, all taken before any axis moves.
    // The plot keeps its field at least 3 pixels wide and high.
    const double bottomStep = (bottom.max() - bottom.min()) / f.width();
    const double leftStep = (left.max() - left.min()) / f.height();
    const double rightStep = (right.max() - right.min()) / f.height();
    const int dx = panX_ - x;
    const int dy = y - panY_;
    bottom.moveMinMax(dx * bottomStep);
    left.moveMinMax(dy * leftStep);
    right.moveMinMax(dy * rightStep);
    panX_ = x;
    panY_ = y;
    return std::nullopt;
}

void ChartMouse::mouseUp(Qt::MouseButton button, int x, int y) {
    panning_ = false;
    const bool drag = std::abs(x - downX_) > kClickSlop || std::abs(y - downY_) > kClickSlop;
    if (drag) {
        // The plot has just zoomed to the dragged rectangle: keep that range.
        if (button == Qt::LeftButton) fixRanges(plot_);
        return;
    }
    if (button == Qt::RightButton) {
        widenAxes(plot_, 0.1);
    } else if (button == Qt::LeftButton) {
        emit standardViewRequested();
    }
}

}  // namespace kvel
