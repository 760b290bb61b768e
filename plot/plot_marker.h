// Base of objects drawn in the field before or after the series, or over the plot's picture.
#pragma once

#include <QPainter>
#include <QRect>

#include "plot/data_series.h"
#include "plot/scale_map.h"

namespace kvel {

class XYPlot;

// Before and after the series the marker is part of the plot's picture; an overlay is drawn
// over that picture at every paint, so moving it redraws no series.
enum class MarkerLayer { BeforeSeries, AfterSeries, Overlay };

class PlotMarker {
  public:
    PlotMarker() = default;
    virtual ~PlotMarker();
    PlotMarker(const PlotMarker&) = delete;
    PlotMarker& operator=(const PlotMarker&) = delete;

    XYPlot* plot() const { return plot_; }
    void setPlot(XYPlot* plot);
    MarkerLayer whenDraw() const { return whenDraw_; }
    void setWhenDraw(MarkerLayer v);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    XAxisChoice xAxis() const { return xAxis_; }
    void setXAxis(XAxisChoice v);
    YAxisChoice yAxis() const { return yAxis_; }
    void setYAxis(YAxisChoice v);

    // Before and after the series the painter is clipped to the field; an overlay's is not.
    virtual void draw(QPainter* p, const ScaleMap& x, const ScaleMap& y,
                      const QRect& field) const = 0;
    void plotDestroyed() { plot_ = nullptr; }

  protected:
    // What the marker shows changed: the plot replots, or only repaints for an overlay.
    void changed();

  private:
    MarkerLayer whenDraw_ = MarkerLayer::BeforeSeries;
    bool visible_ = true;
    XYPlot* plot_ = nullptr;
    XAxisChoice xAxis_ = XAxisChoice::Bottom;
    YAxisChoice yAxis_ = YAxisChoice::Left;
};

}  // namespace kvel
