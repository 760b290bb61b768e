// Base of everything the plot draws from data: attachment to a plot, the axes it draws
// against, and its extent for automatic scaling.
//
// Series and plot know each other both ways: a series registers with its plot, the plot
// clears the series' plot reference when it goes, and a series unregisters when it goes.
#pragma once

#include <QPainter>
#include <QRect>
#include <optional>

#include "plot/scale_map.h"

namespace kvel {

class XYPlot;
class Axis;

enum class XAxisChoice { Bottom, Top };
enum class YAxisChoice { Left, Right };

class DataSeries {
  public:
    enum class ChangeKind { Data, Appearance };

    DataSeries() = default;
    virtual ~DataSeries();
    DataSeries(const DataSeries&) = delete;
    DataSeries& operator=(const DataSeries&) = delete;

    XYPlot* plot() const { return plot_; }
    void setPlot(XYPlot* plot);
    XAxisChoice xAxis() const { return xAxis_; }
    void setXAxis(XAxisChoice v);
    YAxisChoice yAxis() const { return yAxis_; }
    void setYAxis(YAxisChoice v);
    bool active() const { return active_; }
    // Stores a change and lets the plot re-fit its axes (also while lockInvalidate is on).
    void setActive(bool v);

    // Draws with the painter clipped to the field, mapping values by the two axis maps.
    virtual void draw(QPainter* p, const ScaleMap& x, const ScaleMap& y,
                      const QRect& field) const = 0;
    // The extent of the data; none while there is no data.
    virtual std::optional<double> xMin() const = 0;
    virtual std::optional<double> xMax() const = 0;
    virtual std::optional<double> yMin() const = 0;
    virtual std::optional<double> yMax() const = 0;

    // Data changes let the plot re-fit the axes; appearance changes replot.
    void dataChanged(ChangeKind kind);

    // The plot is going away: forget it without calling it.
    void plotDestroyed() { plot_ = nullptr; }

  protected:
    XYPlot* plot_ = nullptr;
    XAxisChoice xAxis_ = XAxisChoice::Bottom;
    YAxisChoice yAxis_ = YAxisChoice::Left;
    bool active_ = true;

  private:
    // Re-fits the two axes of one direction after the series moved between them.
    void axisBindingChanged(Axis* first, Axis* second);
};

}  // namespace kvel
