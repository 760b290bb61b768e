// Floor 5, chart/: the trend chart on the plot widget. Slots and value axes, the moving time
// axis, mouse zoom and pan, the markers and their read-outs, and the chart of a log. It stands
// on plot/, config/ and link/.
#pragma once
#include <array>

#include "chart/chart_slots.h"
#include "config/mem_ini.h"
#include "link/transactions.h"
#include "plot/xy_line.h"
#include "plot/xy_plot.h"

namespace kvel {

// The trend chart on the main window's plot: its look, the value axes' binding and scaling,
// the points of each poll and the time axis that follows the clock. Settings are read from
// mem.ini at every use.
class TrendChart {
  public:
    TrendChart(XYPlot& plot, const std::array<XYLine*, kChartSlots>& lines, const MemIni& ini);

    // Field, axes, grid and labels of the chart; the slot colours on the series.
    void stylePlot();
    // Each slot's series on the left or the right axis by its `axis` key.
    void applyAxisBinding();
    // Both value axes automatic (`diag`/`scale_auto`) or set to their configured limits.
    void applyAxisScaling();
    // The curve of a slot is drawn while its check box is checked and a channel is assigned to
    // it; only that slot's series changes. A hidden curve keeps receiving points.
    void switchSlot(int slot, bool checked, bool assigned);
    void clearSeries();
    // The time axis from now, one window (`diag`/`window`) wide.
    void setTimeWindow(double now);
    // The time axis moved now as a poll moves it when the curves reach its right edge, wherever
    // it stands: after the settings were stored, a good window repairs any range.
    void applyTimeWindow(double now);
    // One point per assigned slot whose reading is -50 °C or more, all at `now`; the plot
    // is refreshed once; the time axis moves when the curves reach its right edge.
    void addChartPoints(const ReadTransaction& record, int channelCount, double now);

  private:
    static constexpr double kDefaultWindow = 0.01;
    // `diag`/`window`, or the default one when it has no width.
    double timeWindow(double now) const;
    // As a poll moves it when the curves reach the right edge; `always`: wherever it stands.
    void moveTimeAxis(double now, bool always);

    XYPlot& plot_;
    std::array<XYLine*, kChartSlots> lines_;
    const MemIni& ini_;
};

}  // namespace kvel
