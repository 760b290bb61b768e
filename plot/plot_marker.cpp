#include "plot/plot_marker.h"

#include "plot/xy_plot.h"

namespace kvel {

PlotMarker::~PlotMarker() {
    if (plot_) plot_->removeMarker(this);
}

void PlotMarker::setPlot(XYPlot* plot) {
    if (plot == plot_) return;
    XYPlot* old = plot_;
    plot_ = nullptr;
    if (old) old->removeMarker(this);
    plot_ = plot;
    if (plot_) plot_->addMarker(this);
}

void PlotMarker::setWhenDraw(MarkerLayer v) {
    if (v == whenDraw_) return;
    XYPlot* plot = plot_;
    setPlot(nullptr);
    whenDraw_ = v;
    setPlot(plot);
}

void PlotMarker::changed() {
    if (!plot_) return;
    if (whenDraw_ == MarkerLayer::Overlay)
        plot_->update();
    else
        plot_->replot();
}

void PlotMarker::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    changed();
}

void PlotMarker::setXAxis(XAxisChoice v) {
    if (v == xAxis_) return;
    xAxis_ = v;
    changed();
}

void PlotMarker::setYAxis(YAxisChoice v) {
    if (v == yAxis_) return;
    yAxis_ = v;
    changed();
}

}  // namespace kvel
