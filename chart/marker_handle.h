// The small black handle of a chart marker, dragged along the top edge of the plot. It reports
// the start, every pointer position over its parent (the plot) and the end of a drag; the owner
// moves it.
#pragma once

#include <QFrame>
#include <functional>

namespace kvel {

class MarkerHandle : public QFrame {
    Q_OBJECT
  public:
    explicit MarkerHandle(QWidget* parent);

    // Called with the pointer's column and row in the parent's pixels.
    std::function<void(MarkerHandle*)> onStartDrag;
    std::function<void(MarkerHandle*, int x, int y)> onDragOver;
    std::function<void(MarkerHandle*)> onEndDrag;

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool dragging_ = false;
};

}  // namespace kvel
