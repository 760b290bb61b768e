// A measurement log on the chart's plot: one curve per logged channel in the colour of the chart
// slot that channel has on the main window's chart, gaps where a channel had no reading or the
// log has no lines for a while.
//
// The curves hold only what the current view shows: each paint that finds a new time range or
// width fills them from the log, with every row the view holds when they are few enough to be
// seen one by one, otherwise with each column's first, lowest, highest and last reading (from
// the log's summary), so that no spike is hidden at any zoom and memory stays that of the log.
#pragma once

#include <QObject>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "chart/chart_image.h"
#include "chart/chart_slots.h"
#include "chart/markers.h"
#include "config/mem_ini.h"
#include "core/log_file.h"
#include "plot/xy_line.h"
#include "plot/xy_plot.h"

namespace kvel {

// The chart slot (1..15) whose colour and value axis each logged channel takes: the slot the
// main chart shows it in (`display` keys), the free slots in order for the others. Index c−1.
std::array<int, kLogChannels> logChannelSlots(const MemIni& ini);

// The plot in the main chart's look with one line per logged channel (line c−1 for channel c).
class LogChart : public QObject {
    Q_OBJECT

  public:
    // At most this many rows per pixel column are drawn one by one; more are drawn as the
    // column's extremes.
    static constexpr int kRowsPerColumn = 4;

    LogChart(XYPlot& plot, const MemIni& ini);
    ~LogChart() override;
    LogChart(const LogChart&) = delete;
    LogChart& operator=(const LogChart&) = delete;

    // Shows this log; the axes' ranges are left as they are (the time axis shows no labels
    // while there is no row).
    void setData(std::shared_ptr<const LogData> data);
    const LogData& data() const { return *data_; }
    // The whole log in time, the value axes fitted to the shown curves (kept fitted).
    void standardView();
    // The time axis from `from` to `to`; the value axes fit to the readings there.
    void setTimeRange(double from, double to);
    // True when the time axis shows the log's last row (a growing log is followed then).
    bool showsEnd() const;
    void setChannelShown(int channel, bool shown);
    bool hasReadings(int channel) const { return hasReadings_[std::size_t(channel - 1)]; }
    XYLine* line(int channel) const { return lines_[std::size_t(channel - 1)]; }
    const std::array<XYLine*, kChartSlots>& lines() const { return lines_; }
    int slotOf(int channel) const { return slots_[std::size_t(channel - 1)]; }
    // True when the time axis spans more than one calendar day: times then show their date.
    bool viewSpansDays() const;
    // The caption of a picture of this chart: `title` (the log's name), the time range shown
    // and the shown curves' channel names in their colours.
    ChartCaption caption(const QString& title) const;
    // Fills the curves for the current time range and `columns` pixel columns, when either
    // changed since the last fill; the plot calls it before it paints.
    void fillView(int columns);

  signals:
    // A fill found the log's file changed since it was read (its readings there are then shown
    // as none).
    void sourceChanged();

  private:
    void fillExact(XYLine& l, int channel, int first, int end);
    void fillColumns(int columns, double from, double to);

    XYPlot& plot_;
    std::shared_ptr<const LogData> data_;
    // The curves: owned here and gone before the plot, which each leaves as it goes; lines_
    // is the view the trend chart's styling takes.
    std::array<std::unique_ptr<XYLine>, kChartSlots> lineOwners_;
    std::array<XYLine*, kChartSlots> lines_{};
    std::array<int, kLogChannels> slots_{};
    std::array<bool, kLogChannels> hasReadings_{};
    std::array<QString, kLogChannels> names_;
    // What the curves were last filled for.
    double filledFrom_ = 0, filledTo_ = 0;
    int filledColumns_ = -1;
    // The plot's call before it draws, dropped with the chart.
    QMetaObject::Connection fillHook_;
};

// The markers of a log's chart: read-outs from the log's rows (the curves may be an overview),
// dates on a view of several days, spans with their days, readings with two decimals.
class LogChartMarkers : public ChartMarkers {
  public:
    LogChartMarkers(XYPlot& plot, const LogChart& chart, const MarkerControls& controls);

  protected:
    std::optional<CurveValue> curveValue(int k, const XYLine& line, double t) const override;
    std::string timeText(double t) const override;
    std::string spanText(double span) const override;
    std::string valueText(double value) const override;

  private:
    const LogChart& chart_;
};

// A time read-out of a log's view: "hh:nn:ss", with the date when the view spans days.
std::string logTimeText(const LogChart& chart, double t);

}  // namespace kvel
