#include "chart/markers.h"

#include <algorithm>
#include <cmath>
#include <ranges>

#include "chart/readout_format.h"

namespace kvel {
namespace {

// The first point whose X is t or later; Count() when there is none.
int FirstPointAtOrAfter(const Tsp_XYDataSeries& s, double t) {
    const auto before = [&](int i) { return s.XValue(i) < t; };
    const auto all = std::views::iota(0, s.Count());
    if (s.XAscending()) return *std::ranges::partition_point(all, before);
    // The clock went back at some time: the points are not in time order.
    return *std::ranges::find_if_not(all, before);
}

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

// Draws the marker line at column x on the plot's current canvas with the not-xor pen, so that
// drawing it again removes it: from 15 pixels above the plot's lower edge to the field's top.
void DrawMarkerLine(Tsp_XYPlot& plot, int x) {
    if (x < 0) return;
    QPainter& p = *plot.DrawCanvas();
    p.save();
    p.setClipping(false);
    p.setPen(MakePen(clBlack, psSolid, 1));
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    // Rows from the field's top (excluded) down to 15 pixels above the lower edge (included):
    // the pen leaves out the larger end.
    p.drawLine(x, plot.FieldRect().Top + 1, x, plot.DrawHeight() - 14);
    p.restore();
}

}  // namespace

std::optional<TCurveValue> CurveValueAt(const Tsp_XYDataSeries& series, double t) {
    const int i = FirstPointAtOrAfter(series, t);
    if (i == 0 || i == series.Count()) return std::nullopt;
    // No reading between the two points: the curve has a gap there.
    if (series.XValue(i) != t && series.BreakBefore(i)) return std::nullopt;
    const double x0 = series.XValue(i - 1), y0 = series.YValue(i - 1);
    const double x1 = series.XValue(i), y1 = series.YValue(i);
    TCurveValue v;
    // x0 < t < x1 here, so the division is safe.
    v.value = x1 == t ? y1 : y0 + (t - x0) * (y1 - y0) / (x1 - x0);
    v.falling = y1 - y0 < 0;
    return v;
}

std::optional<QPoint> ValueLabelPlace(int x, const TCurveValue& v, const Tsp_Axis& valueAxis,
                                      QSize labelSize, const TRect& field) {
    const int left = x + 5;
    int top = valueAxis.ValueToPixel(v.value);
    if (v.falling) top -= labelSize.height();
    const bool fits = top >= field.Top && left >= field.Left &&
                      top + labelSize.height() <= field.Bottom &&
                      left + labelSize.width() <= field.Right;
    if (!fits) return std::nullopt;
    return QPoint(left, top);
}

TChartMarkers::TChartMarkers(Tsp_XYPlot& plot, const std::array<Tsp_XYLine*, kChartSlots>& lines,
                             const TMarkerControls& controls)
    : plot_(plot), lines_(lines), c_(controls) {
    for (TMarkerHandle* h : {c_.handle1, c_.handle2}) {
        h->OnStartDrag = [this](TMarkerHandle* handle) { StartDrag(handle); };
        h->OnDragOver = [this](TMarkerHandle* handle, int x, int y) { DragOver(handle, x, y); };
        h->OnEndDrag = [this](TMarkerHandle* handle) { EndDrag(handle); };
    }
}

void TChartMarkers::SetInitialPlaces(double first, double second) {
    place1_ = std::clamp(first, 0.0, 1.0);
    place2_ = std::clamp(second, 0.0, 1.0);
}

int TChartMarkers::HandleColumn(const TMarkerHandle* handle) const {
    return handle->x() + handle->width() / 2;
}

void TChartMarkers::DrawEnd() {
    const TRect f = plot_.FieldRect();
    int first = HandleColumn(c_.handle1), second = HandleColumn(c_.handle2);
    if (!userPlaced_) {
        // Until the user moves a handle, the handles keep to their places on the field, also
        // when the window changes size.
        const int last = f.Right - 1;
        first = f.Left + int(std::lround(place1_ * (last - f.Left)));
        second = f.Left + int(std::lround(place2_ * (last - f.Left)));
    } else {
        // A field that shrank past a handle would leave it out of reach.
        first = std::clamp(first, f.Left, std::max(f.Left, f.Right - 1));
        second = std::clamp(second, f.Left, std::max(f.Left, f.Right - 1));
    }
    x1_ = first;
    x2_ = second;
    DrawMarkerLine(plot_, x1_);
    DrawMarkerLine(plot_, x2_);
    // The lines are now part of the plot's images: the next paint must start from clean ones,
    // or drawing the lines again would invert them back out.
    plot_.InvalidateBuffers();
    // Child widgets moved or shown inside the plot's paint are not fully repainted: the handles
    // and labels follow right after it.
    if (!syncPending_) {
        syncPending_ = true;
        QMetaObject::invokeMethod(
            &guard_, [this] { SyncWidgets(); }, Qt::QueuedConnection);
    }
}

void TChartMarkers::SyncWidgets() {
    syncPending_ = false;
    for (TMarkerHandle* h : {c_.handle1, c_.handle2}) {
        h->setFixedSize(kHandleSize, kHandleSize);
        const int column = h == c_.handle1 ? x1_ : x2_;
        h->move(column - h->width() / 2, userPlaced_ ? h->y() : 0);
    }
    UpdateReadouts();
}

void TChartMarkers::StartDrag(TMarkerHandle* handle) {
    if (syncPending_) SyncWidgets();
    userPlaced_ = true;
    (handle == c_.handle1 ? reference1_ : reference2_) = HandleColumn(handle);
    (handle == c_.handle1 ? c_.handle2 : c_.handle1)->setEnabled(false);
}

void TChartMarkers::EndDrag(TMarkerHandle* handle) {
    (handle == c_.handle1 ? c_.handle2 : c_.handle1)->setEnabled(true);
}

void TChartMarkers::DragOver(TMarkerHandle* handle, int x, int /*y*/) {
    // The handle's centre stays on the field; the pointer may wander above or below the plot
    // while the handle is dragged along its top edge.
    const TRect f = plot_.FieldRect();
    if (x < f.Left || x > f.Right) return;
    const bool first = handle == c_.handle1;
    int& reference = first ? reference1_ : reference2_;
    handle->move(handle->x() + x - reference, handle->y());
    reference = x;
    MoveMarkerToHandle(first ? x1_ : x2_, handle);
    UpdateReadouts();
    plot_.InvalidateBuffers();
}

void TChartMarkers::MoveMarkerToHandle(int& marker, TMarkerHandle* handle) {
    DrawMarkerLine(plot_, marker);  // removes the old line
    const int column = HandleColumn(handle);
    DrawMarkerLine(plot_, column);
    marker = column;
}

void TChartMarkers::SetMarkersOn(bool on) {
    markersCheck_ = on;
    for (QLabel* label : c_.labels) label->setVisible(on);
    if (on) UpdateReadouts();
}

void TChartMarkers::UpdateReadouts() {
    const Tsp_Axis& bottom = *plot_.BottomAxis();
    const double t1 = bottom.PixelToValue(x1_);
    const double t2 = bottom.PixelToValue(x2_);
    c_.track1->setText(Text(FormatTimeOfDay(t1)));
    c_.track2->setText(Text(FormatTimeOfDay(t2)));
    c_.delta->setText(Text(FormatTimeOfDay(std::fabs(t2 - t1))));
    if (!markersCheck_) return;
    for (int k = 0; k < kChartSlots; ++k) {
        const Tsp_XYLine& line = *lines_[static_cast<std::size_t>(k)];
        QLabel* a = c_.labels[static_cast<std::size_t>(2 * k)];
        QLabel* b = c_.labels[static_cast<std::size_t>(2 * k + 1)];
        if (!line.Active()) {
            a->hide();
            b->hide();
            continue;
        }
        const Tsp_Axis& axis = *plot_.YAxisOf(line.YAxis());
        ShowCurveValue(x1_, t1, a, axis, line);
        ShowCurveValue(x2_, t2, b, axis, line);
    }
}

void TChartMarkers::ShowCurveValue(int x, double t, QLabel* label, const Tsp_Axis& axis,
                                   const Tsp_XYLine& line) {
    const std::optional<TCurveValue> v = CurveValueAt(line, t);
    if (!v) {
        label->hide();
        return;
    }
    label->setText(Text(FormatGeneral4(v->value)));
    label->adjustSize();
    const std::optional<QPoint> place =
        ValueLabelPlace(x, *v, axis, label->size(), plot_.FieldRect());
    if (!place) {
        label->hide();
        return;
    }
    label->move(*place);
    label->show();
}

}  // namespace kvel
