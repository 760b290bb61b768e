#include "chart/wheel_zoom_filter.h"

#include <QWheelEvent>
#include <QWidget>

#include "chart/chart_interaction.h"

namespace kvel {

bool WheelZoomFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Wheel || !watched->isWidgetType()) return false;
    // Only turns over the chart's own window; dialogs and other windows keep their wheel.
    if (static_cast<QWidget*>(watched)->window() != plot_.window() || !plot_.isVisible()) {
        return false;
    }
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const QPoint p = plot_.mapFromGlobal(wheel->globalPosition()).toPoint();
    return wheelZoom(plot_, notches_, wheel->angleDelta().y(), p.x(), p.y());
}

}  // namespace kvel
