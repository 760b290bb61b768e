// Helpers shared by the plot widget tests.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QString>
#include <ostream>

#include "plot/xy_line.h"
#include "plot/xy_plot.h"

using namespace kvel;

// Readable failure messages for texts.
inline std::ostream& operator<<(std::ostream& os, const QString& s) {
    return os << s.toStdString();
}

// What the plot shows on the screen: its picture and the overlays, painted now.
inline QImage Shown(XYPlot& plot) {
    return plot.grab().toImage().convertToFormat(QImage::Format_RGB32);
}
// Paints the plot as the screen would (lays it out on the way).
inline void Paint(XYPlot& plot) {
    plot.grab();
}

// Counts the painting steps, to see what a repaint redraws.
class CountingPlot : public XYPlot {
  public:
    int layouts = 0, frames = 0, fields = 0;

    void calcLayout(QSize size, int cw, int ch) override {
        ++layouts;
        XYPlot::calcLayout(size, cw, ch);
    }

  protected:
    void drawFrame(QPainter& p, QSize size) override {
        ++frames;
        XYPlot::drawFrame(p, size);
    }
    void drawField(QPainter& p) override {
        ++fields;
        XYPlot::drawField(p);
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

// Draws a series the plain way, after the plot's series: every segment by itself (unless both
// ends are far off), every mark of a point inside the field.
class Reference : public PlotMarker {
  public:
    explicit Reference(XYLine* s) : s_(s) { setWhenDraw(MarkerLayer::AfterSeries); }
    void draw(QPainter* painter, const ScaleMap& xa, const ScaleMap& ya,
              const QRect& field) const override {
        QPainter& p = *painter;
        const auto far = [](int x, int y) {
            return x < -16000 || x > 16000 || y < -16000 || y > 16000;
        };
        if (s_->lineAttr()->visible()) {
            s_->lineAttr()->applyToPen(p);
            p.setBrush(Qt::NoBrush);
            for (int i = 1; i < s_->count(); ++i) {
                const int x0 = xa.transform(s_->xValue(i - 1)),
                          y0 = ya.transform(s_->yValue(i - 1));
                const int x1 = xa.transform(s_->xValue(i)), y1 = ya.transform(s_->yValue(i));
                if (!(far(x0, y0) && far(x1, y1))) p.drawLine(x0, y0, x1, y1);
            }
        }
        if (s_->pointAttr()->visible()) {
            s_->pointAttr()->applyTo(p);
            for (int i = 0; i < s_->count(); ++i) {
                const int x = xa.transform(s_->xValue(i)), y = ya.transform(s_->yValue(i));
                if (field.contains(x, y)) s_->drawMark(p, x, y);
            }
        }
    }

  private:
    XYLine* s_;
};
