// Drawing rules of the plot widget that QPainter lacks: its pen, and the few drawing calls whose
// pixel rules differ from QPainter's.
#pragma once

#include <QColor>
#include <QPainter>
#include <QString>

namespace kvel {

// A pen in copy mode. Its flat cap leaves out the pixel at a line's larger coordinate along
// the line, which is the end point for lines drawn rightward or downward; frame lines are drawn
// in those directions so that their end points are excluded.
QPen makePen(const QColor& color, Qt::PenStyle style, int width);
void setCopyMode(QPainter& p);

// Outline of (l, t, r, b) with right and bottom excluded, filled with the current brush.
void drawRectangle(QPainter& p, int l, int t, int r, int b);
// Ellipse inside the box (l, t, r, b), right and bottom excluded.
void drawEllipse(QPainter& p, int l, int t, int r, int b);
void fillRectangle(QPainter& p, int l, int t, int r, int b, const QBrush& brush);
// Text whose top-left corner is at (x, y).
void textOut(QPainter& p, int x, int y, const QString& s);
// Text written upward from (x, y), its top toward smaller x (a caption of a vertical axis).
void textOutUpward(QPainter& p, int x, int y, const QString& s);
int textWidth(const QPainter& p, const QString& s);
int textHeight(const QPainter& p, const QString& s);

}  // namespace kvel
