// The trend chart's mouse work, as arithmetic on the plot's axes: read-outs under the pointer,
// pan with the right button, zoom out by a right click or the wheel, the standard view after a
// left click and the fixing of a left-drag zoom. The main window only passes the events on.
#pragma once

#include <QObject>
#include <optional>

#include "config/mem_ini.h"
#include "plot/xy_plot.h"

namespace kvel {

// Time and the left and right axis values at a pixel of the plot.
struct PointerReadout {
    double time = 0;
    double left = 0;
    double right = 0;
};

// The values under (x, y), or none when the point lies outside the field (its right and
// bottom edges count as inside).
std::optional<PointerReadout> pointerReadout(const XYPlot& plot, int x, int y);

// Left, right and bottom axis each widened by k times its range on both sides (narrowed for a
// negative k), ranges taken before any change. Fixes the ranges (automatic scaling off).
void widenAxes(XYPlot& plot, double k);

// Adds up wheel turns of less than a notch (touchpads, smooth wheels): each 120 gives a whole
// notch, the rest waits for the next turn the same way; a turn the other way drops it.
class WheelNotches {
  public:
    int add(int delta);

  private:
    int pending_ = 0;
};

// The wheel turned by `delta` (120 a notch, positive away from the user) with the pointer at
// (x, y) in plot pixels: 5 % of each range per whole notch that `notches` makes up, only
// strictly inside the field. True when the point lay inside (the event is then the chart's).
bool wheelZoom(XYPlot& plot, WheelNotches& notches, int delta, int x, int y);

// Bottom axis fitted to the data, value axes at their stored limits (`diag`/`left_min`,
// `left_max` default −50..50, `right_min`, `right_max` default −500..500).
void standardView(XYPlot& plot, const MemIni& ini);

// Each axis set to its own current range, so that automatic scaling no longer changes it.
void fixRanges(XYPlot& plot);

// What the chart does with the mouse after the plot's own left-button zoom has run: right-button
// pan and click, left click and drag. The button-down point is kept for every button.
class ChartMouse : public QObject {
    Q_OBJECT
  public:
    // Takes the plot's presses and releases itself; the owner passes on the moves, whose
    // read-outs it shows.
    explicit ChartMouse(XYPlot& plot, QObject* parent = nullptr);

    void mouseDown(Qt::MouseButton button, int x, int y);
    // Pans while the right button is down; otherwise the read-outs for (x, y), none outside the
    // field or while panning.
    std::optional<PointerReadout> mouseMove(int x, int y);
    void mouseUp(Qt::MouseButton button, int x, int y);

  signals:
    // A left click: the chart's owner restores its standard view (standardView for the trend).
    void standardViewRequested();

  private:
    XYPlot& plot_;
    int downX_ = 0, downY_ = 0;
    int panX_ = 0, panY_ = 0;
    bool panning_ = false;
};

}  // namespace kvel
