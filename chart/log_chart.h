// A measurement log on the chart's plot: one curve per logged channel in the colour of the chart
// slot that channel has on the main window's chart, gaps where a channel had no reading.
#pragma once

#include <array>
#include <memory>

#include "chart/chart_slots.h"
#include "config/mem_ini.h"
#include "core/log_file.h"
#include "plot/plot.h"
#include "plot/series.h"

namespace kvel {

// The chart slot (1..15) whose colour and value axis each logged channel takes: the slot the
// main chart shows it in (`display` keys), the free slots in order for the others. Index c−1.
std::array<int, kLogChannels> logChannelSlots(const MemIni& ini);

// The plot in the main chart's look with one line per logged channel (line c−1 for channel c).
class LogChart {
  public:
    LogChart(XYPlot& plot, const MemIni& ini);
    ~LogChart();
    LogChart(const LogChart&) = delete;
    LogChart& operator=(const LogChart&) = delete;

    // Replaces the curves with the log's readings; the axes are left as they are.
    void fill(const LogData& data);
    // The whole log in time, the value axes fitted to the shown curves (kept fitted).
    void standardView();
    // The time axis from `from` to `to`.
    void setTimeRange(double from, double to);
    void setChannelShown(int channel, bool shown);
    bool hasReadings(int channel) const { return line(channel)->count() > 0; }
    XYLine* line(int channel) const { return lines_[std::size_t(channel - 1)]; }
    const std::array<XYLine*, kChartSlots>& lines() const { return lines_; }
    int slotOf(int channel) const { return slots_[std::size_t(channel - 1)]; }

  private:
    XYPlot& plot_;
    // The curves: owned here and gone before the plot, which each leaves as it goes; lines_
    // is the view the trend chart's styling takes.
    std::array<std::unique_ptr<XYLine>, kChartSlots> lineOwners_;
    std::array<XYLine*, kChartSlots> lines_{};
    std::array<int, kLogChannels> slots_{};
};

}  // namespace kvel
