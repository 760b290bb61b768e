#include "chart/markers.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <ranges>

#include "chart/readout_format.h"
#include "plot/paint_rules.h"

namespace kvel {
namespace {

// The first point whose X is t or later; count() when there is none.
int firstPointAtOrAfter(const XYDataSeries& s, double t) {
    const auto before = [&](int i) { return s.xValue(i) < t; };
    const auto all = std::views::iota(0, s.count());
    if (s.xAscending()) return *std::ranges::partition_point(all, before);
    // The clock went back at some time: the points are not in time order.
    return *std::ranges::find_if_not(all, before);
}

QString textOf(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

std::optional<CurveValue> curveValueAt(const XYDataSeries& series, double t) {
    const int i = firstPointAtOrAfter(series, t);
    if (i == 0 || i == series.count()) return std::nullopt;
    // No reading between the two points: the curve has a gap there.
    if (series.xValue(i) != t && series.breakBefore(i)) return std::nullopt;
    const double x0 = series.xValue(i - 1), y0 = series.yValue(i - 1);
    const double x1 = series.xValue(i), y1 = series.yValue(i);
    CurveValue v;
    // x0 < t < x1 here, so the division is safe.
    v.value = x1 == t ? y1 : y0 + (t - x0) * (y1 - y0) / (x1 - x0);
    v.falling = y1 - y0 < 0;
    return v;
}

std::optional<QPoint> valueLabelPlace(int x, const CurveValue& v, const Axis& valueAxis,
                                      QSize labelSize, const QRect& field) {
    const int left = x + 5;
    int top = valueAxis.valueToPixel(v.value);
    if (v.falling) top -= labelSize.height();
    const bool fits = top >= field.top() && left >= field.left() &&
                      top + labelSize.height() <= field.bottom() + 1 &&
                      left + labelSize.width() <= field.right() + 1;
    if (!fits) return std::nullopt;
    return QPoint(left, top);
}

std::vector<std::optional<QRect>> stackLabels(const std::vector<QRect>& wanted,
                                              const QRect& field) {
    std::vector<QRect> rects = wanted;
    std::vector<std::size_t> order(rects.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::ranges::stable_sort(order, {}, [&](std::size_t i) { return rects[i].top(); });
    int below = std::numeric_limits<int>::min();
    for (const std::size_t i : order) {
        if (rects[i].top() <= below) rects[i].moveTop(below + 1);
        below = rects[i].bottom();
    }
    int limit = field.bottom();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        QRect& r = rects[*it];
        if (r.bottom() > limit) r.moveBottom(limit);
        limit = r.top() - 1;
    }
    std::vector<std::optional<QRect>> placed(rects.size());
    for (std::size_t i = 0; i < rects.size(); ++i) {
        if (rects[i].top() >= field.top()) placed[i] = rects[i];
    }
    return placed;
}

ChartMarkers::ChartMarkers(XYPlot& plot, const std::array<XYLine*, kChartSlots>& lines,
                           const MarkerControls& controls)
    : plot_(plot), lines_(lines), c_(controls) {
    for (MarkerHandle* h : {c_.handle1, c_.handle2}) {
        QObject::connect(h, &MarkerHandle::dragStarted, &guard_, [this, h] { startDrag(h); });
        QObject::connect(h, &MarkerHandle::dragMoved, &guard_,
                         [this, h](QPoint pos) { dragOver(h, pos.x(), pos.y()); });
        QObject::connect(h, &MarkerHandle::dragFinished, &guard_, [this, h] { endDrag(h); });
    }
    markerLines_.setPlot(&plot_);
}

ChartMarkers::~ChartMarkers() {
    markerLines_.setPlot(nullptr);
}

// From the field's top (excluded) down to 15 pixels above the plot's lower edge (included):
// the pen leaves out the larger end.
void ChartMarkers::MarkerLines::draw(QPainter* p, const ScaleMap&, const ScaleMap&,
                                     const QRect& field) const {
    // Placed also while hidden: the marker times stay those of the handles' columns.
    owner_.placeLines(field);
    if (owner_.hiddenWhileOff_ && !owner_.markersCheck_) return;
    p->setPen(makePen(Qt::black, Qt::SolidLine, 1));
    for (const int x : {owner_.x1_, owner_.x2_})
        if (x >= 0) p->drawLine(x, field.top() + 1, x, plot()->height() - 14);
}

void ChartMarkers::repaintColumn(int x) {
    if (x >= 0) plot_.update(QRect(x, 0, 1, plot_.height()));
}

void ChartMarkers::setInitialPlaces(double first, double second) {
    place1_ = std::clamp(first, 0.0, 1.0);
    place2_ = std::clamp(second, 0.0, 1.0);
}

int ChartMarkers::handleColumn(const MarkerHandle* handle) const {
    return handle->x() + handle->width() / 2;
}

void ChartMarkers::placeLines(const QRect& f) {
    int first = handleColumn(c_.handle1), second = handleColumn(c_.handle2);
    if (!userPlaced_) {
        // Until the user moves a handle, the handles keep to their places on the field, also
        // when the window changes size.
        const int last = f.right();
        first = f.left() + int(std::lround(place1_ * (last - f.left())));
        second = f.left() + int(std::lround(place2_ * (last - f.left())));
    } else {
        // A field that shrank past a handle would leave it out of reach.
        first = std::clamp(first, f.left(), std::max(f.left(), f.right()));
        second = std::clamp(second, f.left(), std::max(f.left(), f.right()));
    }
    x1_ = first;
    x2_ = second;
    // Child widgets moved or shown inside the plot's paint are not fully repainted: the handles
    // and labels follow right after it.
    if (!syncPending_) {
        syncPending_ = true;
        QMetaObject::invokeMethod(
            &guard_, [this] { syncWidgets(); }, Qt::QueuedConnection);
    }
}

void ChartMarkers::syncWidgets() {
    syncPending_ = false;
    for (MarkerHandle* h : {c_.handle1, c_.handle2}) {
        h->setFixedSize(kHandleSize, kHandleSize);
        const int column = h == c_.handle1 ? x1_ : x2_;
        h->move(column - h->width() / 2, userPlaced_ ? h->y() : 0);
    }
    updateReadouts();
}

void ChartMarkers::startDrag(MarkerHandle* handle) {
    if (syncPending_) syncWidgets();
    userPlaced_ = true;
    (handle == c_.handle1 ? reference1_ : reference2_) = handleColumn(handle);
    (handle == c_.handle1 ? c_.handle2 : c_.handle1)->setEnabled(false);
}

void ChartMarkers::endDrag(MarkerHandle* handle) {
    (handle == c_.handle1 ? c_.handle2 : c_.handle1)->setEnabled(true);
}

void ChartMarkers::dragOver(MarkerHandle* handle, int x, int /*y*/) {
    // The handle's centre stays on the field; the pointer may wander above or below the plot
    // while the handle is dragged along its top edge.
    const QRect f = plot_.fieldRect();
    if (x < f.left() || x > f.right() + 1) return;
    const bool first = handle == c_.handle1;
    int& reference = first ? reference1_ : reference2_;
    handle->move(handle->x() + x - reference, handle->y());
    reference = x;
    moveMarkerToHandle(first ? x1_ : x2_, handle);
    updateReadouts();
}

void ChartMarkers::moveMarkerToHandle(int& marker, MarkerHandle* handle) {
    repaintColumn(marker);
    marker = handleColumn(handle);
    repaintColumn(marker);
}

void ChartMarkers::setMarkersOn(bool on) {
    markersCheck_ = on;
    for (QLabel* label : c_.labels) label->setVisible(on);
    if (hiddenWhileOff_) {
        c_.handle1->setVisible(on);
        c_.handle2->setVisible(on);
        plot_.update();
    }
    if (on) updateReadouts();
}

void ChartMarkers::setHiddenWhileOff(bool hidden) {
    hiddenWhileOff_ = hidden;
    c_.handle1->setVisible(!hidden || markersCheck_);
    c_.handle2->setVisible(!hidden || markersCheck_);
    plot_.update();
}

void ChartMarkers::updateReadouts() {
    const Axis& bottom = *plot_.bottomAxis();
    const double t1 = bottom.pixelToValue(x1_);
    const double t2 = bottom.pixelToValue(x2_);
    c_.track1->setText(textOf(timeText(t1)));
    c_.track2->setText(textOf(timeText(t2)));
    c_.delta->setText(textOf(spanText(std::fabs(t2 - t1))));
    if (!markersCheck_) return;
    // Per marker, the labels of the curves with a value there, stacked so that close curves
    // keep every label readable.
    for (const int marker : {0, 1}) {
        const int x = marker == 0 ? x1_ : x2_;
        const double t = marker == 0 ? t1 : t2;
        std::vector<QLabel*> shown;
        std::vector<QRect> wanted;
        for (int k = 0; k < kChartSlots; ++k) {
            const XYLine& line = *lines_[static_cast<std::size_t>(k)];
            QLabel* label = c_.labels[static_cast<std::size_t>(2 * k + marker)];
            const std::optional<QRect> place =
                line.active() ? placeCurveValue(x, t, label, *plot_.yAxisOf(line.yAxis()), k, line)
                              : std::nullopt;
            if (!place) {
                label->hide();
                continue;
            }
            shown.push_back(label);
            wanted.push_back(*place);
        }
        const std::vector<std::optional<QRect>> placed = stackLabels(wanted, plot_.fieldRect());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            if (!placed[i]) {
                shown[i]->hide();
                continue;
            }
            shown[i]->move(placed[i]->topLeft());
            shown[i]->show();
        }
    }
}

double ChartMarkers::time1() const {
    return plot_.bottomAxis()->pixelToValue(x1_);
}

double ChartMarkers::time2() const {
    return plot_.bottomAxis()->pixelToValue(x2_);
}

std::optional<CurveValue> ChartMarkers::curveValue(int, const XYLine& line, double t) const {
    return curveValueAt(line, t);
}

std::string ChartMarkers::timeText(double t) const {
    return formatTimeOfDay(t);
}

std::string ChartMarkers::spanText(double span) const {
    return formatTimeOfDay(span);
}

std::string ChartMarkers::valueText(double value) const {
    return formatGeneral4(value);
}

std::optional<QRect> ChartMarkers::placeCurveValue(int x, double t, QLabel* label, const Axis& axis,
                                                   int k, const XYLine& line) {
    const std::optional<CurveValue> v = curveValue(k, line, t);
    if (!v) return std::nullopt;
    label->setText(textOf(valueText(v->value)));
    label->adjustSize();
    const std::optional<QPoint> place =
        valueLabelPlace(x, *v, axis, label->size(), plot_.fieldRect());
    if (!place) return std::nullopt;
    return QRect(*place, label->size());
}

}  // namespace kvel
