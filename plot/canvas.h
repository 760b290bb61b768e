// Drawing-surface vocabulary of the plot widget: colours in the 0x00BBGGRR form with
// system colours and "no colour", pen and brush styles, and the few drawing calls whose pixel rules
// differ from QPainter's.
#pragma once

#include <QColor>
#include <QPainter>
#include <QString>
#include <cstdint>

using Color = std::uint32_t;

constexpr Color clBlack = 0x000000;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clGray = 0x808080;
constexpr Color clRed = 0x0000FF;
constexpr Color clGreen = 0x008000;
constexpr Color clBlue = 0xFF0000;
// The "no colour" value: a field with it is not filled.
constexpr Color clNone = 0x1FFFFFFF;
// System colours carry the high bit; the low byte selects the role.
constexpr Color clSystemColor = 0x80000000;
constexpr Color clWindow = 0x80000005;
constexpr Color clWindowText = 0x80000008;
constexpr Color clHighlight = 0x8000000D;
constexpr Color clBtnFace = 0x8000000F;
constexpr Color clBtnShadow = 0x80000010;
constexpr Color clBtnText = 0x80000012;
constexpr Color clBtnHighlight = 0x80000014;

// An RGB colour as is; a system colour from the application palette.
QColor toQColor(Color c);
// The 0x00BBGGRR form of a Qt colour (alpha dropped).
Color fromQColor(const QColor& c);

enum PenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum BrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

Qt::PenStyle toQtPenStyle(PenStyle s);
Qt::BrushStyle toQtBrushStyle(BrushStyle s);

// A pen in copy mode. Its flat cap leaves out the pixel at a line's larger coordinate along
// the line, which is the end point for lines drawn rightward or downward; frame lines are drawn
// in those directions so that their end points are excluded.
QPen makePen(Color color, PenStyle style, int width);
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
