#include "plot/plot.h"

Tsp_PlotMarker::~Tsp_PlotMarker() {
    if (plot_) plot_->removeMarker(this, whenDraw_);
}

void Tsp_PlotMarker::followAxes() {
    xAxisObj_ = plot_ ? plot_->xAxisOf(xAxis_) : nullptr;
    yAxisObj_ = plot_ ? plot_->yAxisOf(yAxis_) : nullptr;
}

void Tsp_PlotMarker::setPlot(Tsp_XYPlot* plot) {
    if (plot == plot_) return;
    Tsp_XYPlot* old = plot_;
    plot_ = nullptr;
    if (old) old->removeMarker(this, whenDraw_);
    plot_ = plot;
    followAxes();
    if (plot_) plot_->addMarker(this, whenDraw_);
}

void Tsp_PlotMarker::plotDestroyed() {
    plot_ = nullptr;
    followAxes();
}

void Tsp_PlotMarker::setWhenDraw(Tsp_WhenDrawMarker v) {
    if (v == whenDraw_) return;
    if (plot_) plot_->removeMarker(this, whenDraw_);
    whenDraw_ = v;
    if (plot_) plot_->addMarker(this, whenDraw_);
}

void Tsp_PlotMarker::setVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    if (plot_) plot_->invalidateParts(false, false, true);
}

void Tsp_PlotMarker::setXAxis(Tsp_WhatXAxis v) {
    if (v == xAxis_) return;
    xAxis_ = v;
    followAxes();
    if (plot_) plot_->invalidateParts(false, false, true);
}

void Tsp_PlotMarker::setYAxis(Tsp_WhatYAxis v) {
    if (v == yAxis_) return;
    yAxis_ = v;
    followAxes();
    if (plot_) plot_->invalidateParts(false, false, true);
}
