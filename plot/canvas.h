// Drawing-surface vocabulary of the plot widget: colours in the 0x00BBGGRR form with
// system colours and "no colour", pen and brush styles, a rectangle with exclusive right
// and bottom edges, and the few drawing calls whose pixel rules differ from QPainter's.
#pragma once

#include <QColor>
#include <QPainter>
#include <QString>
#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clGray = 0x808080;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clGreen = 0x008000;
constexpr TColor clBlue = 0xFF0000;
// The "no colour" value: a field with it is not filled.
constexpr TColor clNone = 0x1FFFFFFF;
// System colours carry the high bit; the low byte selects the role.
constexpr TColor clSystemColor = 0x80000000;
constexpr TColor clWindow = 0x80000005;
constexpr TColor clWindowText = 0x80000008;
constexpr TColor clHighlight = 0x8000000D;
constexpr TColor clBtnFace = 0x8000000F;
constexpr TColor clBtnShadow = 0x80000010;
constexpr TColor clBtnText = 0x80000012;
constexpr TColor clBtnHighlight = 0x80000014;

// An RGB colour as is; a system colour from the application palette.
QColor toQColor(TColor c);
// The 0x00BBGGRR form of a Qt colour (alpha dropped).
TColor fromQColor(const QColor& c);

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};

Qt::PenStyle toQtPenStyle(TPenStyle s);
Qt::BrushStyle toQtBrushStyle(TBrushStyle s);

// A pen in copy mode. Its flat cap leaves out the pixel at a line's larger coordinate along
// the line, which is the end point for lines drawn rightward or downward; frame lines are drawn
// in those directions so that their end points are excluded.
QPen makePen(TColor color, TPenStyle style, int width);
void setCopyMode(QPainter& p);

// Left, top inclusive; right, bottom exclusive.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int width() const { return Right - Left; }
    int height() const { return Bottom - Top; }
    bool contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    bool operator==(const TRect&) const = default;
};

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
