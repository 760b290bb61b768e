#include "chart/wheel_zoom_filter.h"

#include <QWheelEvent>

#include "chart/chart_interaction.h"

namespace kvel {

WheelZoomFilter::WheelZoomFilter(XYPlot& plot) : QObject(&plot), plot_(plot) {
    plot_.installEventFilter(this);
}

bool WheelZoomFilter::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &plot_ || event->type() != QEvent::Wheel) return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint p = plot_.mapFromGlobal(wheel->globalPosition()).toPoint();
    return wheelZoom(plot_, notches_, wheel->angleDelta().y(), p.x(), p.y());
}

}  // namespace kvel
