#include "chart/chart_interaction.h"

#include <algorithm>
#include <cstdlib>

namespace kvel {
namespace {

// A release more than this far from its press, in either direction, ends a drag.
constexpr int kClickSlop = 5;
constexpr int kWheelNotch = 120;
constexpr double kNarrowestWheelStep = -0.45;

bool InsideInclusive(const TRect& f, int x, int y) {
    return x >= f.Left && x <= f.Right && y >= f.Top && y <= f.Bottom;
}

void Widen(Tsp_Axis& axis, double k) {
    const double d = (axis.Max() - axis.Min()) * k;
    axis.SetMinMax(axis.Min() - d, axis.Max() + d);
}

}  // namespace

std::optional<TPointerReadout> PointerReadout(const Tsp_XYPlot& plot, int x, int y) {
    const TRect f = plot.FieldRect();
    if (!InsideInclusive(f, x, y)) return std::nullopt;
    const Tsp_Axis& bottom = *plot.BottomAxis();
    const Tsp_Axis& left = *plot.LeftAxis();
    const Tsp_Axis& right = *plot.RightAxis();
    const double fx = double(x - f.Left) / (f.Right - f.Left);
    const double fy = double(f.Bottom - y) / (f.Bottom - f.Top);
    return TPointerReadout{bottom.Min() + fx * (bottom.Max() - bottom.Min()),
                           left.Min() + fy * (left.Max() - left.Min()),
                           right.Min() + fy * (right.Max() - right.Min())};
}

void WidenAxes(Tsp_XYPlot& plot, double k) {
    Widen(*plot.LeftAxis(), k);
    Widen(*plot.RightAxis(), k);
    Widen(*plot.BottomAxis(), k);
}

int TWheelNotches::Add(int delta) {
    if ((delta > 0 && pending_ < 0) || (delta < 0 && pending_ > 0)) pending_ = 0;
    pending_ += delta;
    const int whole = pending_ / kWheelNotch;  // toward zero: the rest keeps its sign
    pending_ -= whole * kWheelNotch;
    return whole;
}

bool WheelZoom(Tsp_XYPlot& plot, TWheelNotches& wheel, int delta, int x, int y) {
    const TRect f = plot.FieldRect();
    if (!(f.Left < x && x < f.Right && f.Top < y && y < f.Bottom)) return false;
    const int notches = wheel.Add(delta);
    // Ten notches toward the user at once would close every range to a point, more would turn
    // it inside out: one turn narrows a range to a tenth at most.
    if (notches != 0) WidenAxes(plot, std::max(notches * 0.05, kNarrowestWheelStep));
    return true;
}

void StandardView(Tsp_XYPlot& plot, const TMemIni& ini) {
    Tsp_Axis& bottom = *plot.BottomAxis();
    // Each switch-on fits the axis to the data; switching off again keeps that range.
    bottom.SetAutoMin(true);
    bottom.SetAutoMax(true);
    bottom.SetAutoMin(false);
    bottom.SetAutoMax(false);
    plot.LeftAxis()->SetMinMax(ini.ReadFloat("diag", "left_min", -50.0),
                               ini.ReadFloat("diag", "left_max", 50.0));
    plot.RightAxis()->SetMinMax(ini.ReadFloat("diag", "right_min", -500.0),
                                ini.ReadFloat("diag", "right_max", 500.0));
}

void FixRanges(Tsp_XYPlot& plot) {
    for (Tsp_Axis* axis : {plot.LeftAxis(), plot.RightAxis(), plot.BottomAxis()}) {
        axis->SetMinMax(axis->Min(), axis->Max());
    }
}

void TChartMouse::MouseDown(TMouseButton button, int x, int y) {
    downX_ = x;
    downY_ = y;
    if (button == mbRight) {
        panX_ = x;
        panY_ = y;
        panning_ = true;
    }
}

std::optional<TPointerReadout> TChartMouse::MouseMove(int x, int y) {
    const TRect f = plot_.FieldRect();
    if (!InsideInclusive(f, x, y)) return std::nullopt;
    if (!panning_) return PointerReadout(plot_, x, y);
    Tsp_Axis& bottom = *plot_.BottomAxis();
    Tsp_Axis& left = *plot_.LeftAxis();
    Tsp_Axis& right = *plot_.RightAxis();
    // Steps per pixel, all taken before any axis moves.
    // The plot keeps its field at least 3 pixels wide and high.
    const double bottomStep = (bottom.Max() - bottom.Min()) / (f.Right - f.Left);
    const double leftStep = (left.Max() - left.Min()) / (f.Bottom - f.Top);
    const double rightStep = (right.Max() - right.Min()) / (f.Bottom - f.Top);
    const int dx = panX_ - x;
    const int dy = y - panY_;
    bottom.MoveMinMax(dx * bottomStep);
    left.MoveMinMax(dy * leftStep);
    right.MoveMinMax(dy * rightStep);
    panX_ = x;
    panY_ = y;
    return std::nullopt;
}

void TChartMouse::MouseUp(TMouseButton button, int x, int y) {
    panning_ = false;
    const bool drag = std::abs(x - downX_) > kClickSlop || std::abs(y - downY_) > kClickSlop;
    if (drag) {
        // The plot has just zoomed to the dragged rectangle: keep that range.
        if (button == mbLeft) FixRanges(plot_);
        return;
    }
    if (button == mbRight) {
        WidenAxes(plot_, 0.1);
    } else if (button == mbLeft) {
        if (OnStandardView)
            OnStandardView();
        else
            StandardView(plot_, ini_);
    }
}

}  // namespace kvel
