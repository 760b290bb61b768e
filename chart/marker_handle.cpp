#include "chart/marker_handle.h"

#include <QMouseEvent>

namespace kvel {

MarkerHandle::MarkerHandle(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setCursor(Qt::SizeHorCursor);
}

void MarkerHandle::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || dragging_) {
        QFrame::mousePressEvent(e);
        return;
    }
    dragging_ = true;
    if (onStartDrag) onStartDrag(this);
}

void MarkerHandle::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) {
        QFrame::mouseMoveEvent(e);
        return;
    }
    const QPoint p = mapToParent(e->position().toPoint());
    if (onDragOver) onDragOver(this, p.x(), p.y());
}

void MarkerHandle::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !dragging_) {
        QFrame::mouseReleaseEvent(e);
        return;
    }
    dragging_ = false;
    if (onEndDrag) onEndDrag(this);
}

}  // namespace kvel
