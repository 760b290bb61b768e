// Helpers shared by the plot widget tests.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QString>
#include <ostream>

#include "plot/plot.h"

// Readable failure messages for texts.
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}

// Counts the painting steps, to see what a repaint redraws.
class CountingPlot : public Tsp_XYPlot {
  public:
    int layouts = 0, frames = 0, fields = 0;
    void CalcLayout(int cw, int ch) override {
        ++layouts;
        Tsp_XYPlot::CalcLayout(cw, ch);
    }
    void DrawFrame() override {
        ++frames;
        Tsp_XYPlot::DrawFrame();
    }
    void DrawField() override {
        ++fields;
        Tsp_XYPlot::DrawField();
    }
};

inline void SendMouse(QWidget& w, QEvent::Type type, int x, int y, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(x, y), w.mapToGlobal(QPointF(x, y)), button, buttons, mods);
    QApplication::sendEvent(&w, &e);
}

// Press with the left button at (x0, y0), move through the points, release at the last one.
inline void LeftDrag(QWidget& w, std::initializer_list<QPoint> path,
                     Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QPoint first = *path.begin();
    SendMouse(w, QEvent::MouseButtonPress, first.x(), first.y(), Qt::LeftButton, Qt::LeftButton,
              mods);
    QPoint last = first;
    for (const QPoint& p : path) {
        if (&p == path.begin()) continue;
        SendMouse(w, QEvent::MouseMove, p.x(), p.y(), Qt::NoButton, Qt::LeftButton, mods);
        last = p;
    }
    SendMouse(w, QEvent::MouseButtonRelease, last.x(), last.y(), Qt::LeftButton, Qt::NoButton,
              mods);
}
