#include "plot/paint_rules.h"

namespace kvel {

QPen makePen(const QColor& color, Qt::PenStyle style, int width) {
    QPen pen(color);
    pen.setStyle(style);
    pen.setWidth(width < 1 ? 1 : width);
    pen.setCosmetic(width <= 1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void setCopyMode(QPainter& p) {
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void drawRectangle(QPainter& p, int l, int t, int r, int b) {
    if (r - l < 1 || b - t < 1) return;
    if (p.pen().style() == Qt::NoPen)
        p.fillRect(QRect(l, t, r - l, b - t), p.brush());
    else
        p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}

void drawEllipse(QPainter& p, int l, int t, int r, int b) {
    p.drawEllipse(QRect(l, t, r - l - 1, b - t - 1));
}

void fillRectangle(QPainter& p, int l, int t, int r, int b, const QBrush& brush) {
    if (r > l && b > t) p.fillRect(QRect(l, t, r - l, b - t), brush);
}

void textOut(QPainter& p, int x, int y, const QString& s) {
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), s);
}

void textOutUpward(QPainter& p, int x, int y, const QString& s) {
    p.save();
    p.translate(x, y);
    p.rotate(-90);
    p.drawText(QPoint(0, p.fontMetrics().ascent()), s);
    p.restore();
}

int textWidth(const QPainter& p, const QString& s) {
    return p.fontMetrics().horizontalAdvance(s);
}

int textHeight(const QPainter& p, const QString&) {
    return p.fontMetrics().height();
}

}  // namespace kvel
