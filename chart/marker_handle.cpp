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
    emit dragStarted();
}

void MarkerHandle::mouseMoveEvent(QMouseEvent* e) {
    if (!dragging_) {
        QFrame::mouseMoveEvent(e);
        return;
    }
    emit dragMoved(mapToParent(e->position().toPoint()));
}

void MarkerHandle::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !dragging_) {
        QFrame::mouseReleaseEvent(e);
        return;
    }
    dragging_ = false;
    emit dragFinished();
}

}  // namespace kvel
