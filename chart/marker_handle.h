// The small black handle of a chart marker, dragged along the top edge of the plot. It signals
// the start, every pointer position over its parent (the plot) and the end of a drag; the owner
// moves it.
#pragma once

#include <QFrame>

namespace kvel {

class MarkerHandle : public QFrame {
    Q_OBJECT
  public:
    explicit MarkerHandle(QWidget* parent);

  signals:
    void dragStarted();
    // The pointer in the parent's pixels.
    void dragMoved(QPoint pos);
    void dragFinished();

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool dragging_ = false;
};

}  // namespace kvel
