#include "chart/wheel_zoom_filter.h"

#include <QChildEvent>
#include <QWheelEvent>

#include "chart/chart_interaction.h"

namespace kvel {

WheelZoomFilter::WheelZoomFilter(XYPlot& plot) : QObject(&plot), plot_(plot) {
    plot_.installEventFilter(this);
    for (QObject* child : plot_.children())
        if (child->isWidgetType()) child->installEventFilter(this);
}

bool WheelZoomFilter::eventFilter(QObject* watched, QEvent* event) {
    // The plot's children are watched too: a turn sent to one of them goes no further.
    if (watched == &plot_ && event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child != this) child->installEventFilter(this);
        return false;
    }
    if (event->type() != QEvent::Wheel) return false;
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint p = plot_.mapFromGlobal(wheel->globalPosition()).toPoint();
    return wheelZoom(plot_, notches_, wheel->angleDelta().y(), p.x(), p.y());
}

}  // namespace kvel
