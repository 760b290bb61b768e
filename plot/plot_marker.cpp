#include "plot/plot.h"

PlotMarker::~PlotMarker() {
    if (plot_) plot_->removeMarker(this, whenDraw_);
}

void PlotMarker::followAxes() {
    xAxisObj_ = plot_ ? plot_->xAxisOf(xAxis_) : nullptr;
    yAxisObj_ = plot_ ? plot_->yAxisOf(yAxis_) : nullptr;
}

void PlotMarker::setPlot(XYPlot* plot) {
    if (plot == plot_) return;
    XYPlot* old = plot_;
    plot_ = nullptr;
    if (old) old->removeMarker(this, whenDraw_);
    plot_ = plot;
    followAxes();
    if (plot_) plot_->addMarker(this, whenDraw_);
}

void PlotMarker::plotDestroyed() {
    plot_ = nullptr;
    followAxes();
}

void PlotMarker::setWhenDraw(MarkerLayer v) {
    if (v == whenDraw_) return;
    if (plot_) plot_->removeMarker(this, whenDraw_);
    whenDraw_ = v;
    if (plot_) plot_->addMarker(this, whenDraw_);
}

void PlotMarker::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    if (plot_) plot_->invalidateParts(false, false, true);
}

void PlotMarker::setXAxis(XAxisChoice v) {
    if (v == xAxis_) return;
    xAxis_ = v;
    followAxes();
    if (plot_) plot_->invalidateParts(false, false, true);
}

void PlotMarker::setYAxis(YAxisChoice v) {
    if (v == yAxis_) return;
    yAxis_ = v;
    followAxes();
    if (plot_) plot_->invalidateParts(false, false, true);
}
