#include "plot/plot.h"

Tsp_PlotMarker::~Tsp_PlotMarker() {
    if (plot_) plot_->RemoveMarker(this, whenDraw_);
}

void Tsp_PlotMarker::FollowAxes() {
    xAxisObj_ = plot_ ? plot_->XAxisOf(xAxis_) : nullptr;
    yAxisObj_ = plot_ ? plot_->YAxisOf(yAxis_) : nullptr;
}

void Tsp_PlotMarker::SetPlot(Tsp_XYPlot* plot) {
    if (plot == plot_) return;
    Tsp_XYPlot* old = plot_;
    plot_ = nullptr;
    if (old) old->RemoveMarker(this, whenDraw_);
    plot_ = plot;
    FollowAxes();
    if (plot_) plot_->AddMarker(this, whenDraw_);
}

void Tsp_PlotMarker::PlotDestroyed() {
    plot_ = nullptr;
    FollowAxes();
}

void Tsp_PlotMarker::SetWhenDraw(Tsp_WhenDrawMarker v) {
    if (v == whenDraw_) return;
    if (plot_) plot_->RemoveMarker(this, whenDraw_);
    whenDraw_ = v;
    if (plot_) plot_->AddMarker(this, whenDraw_);
}

void Tsp_PlotMarker::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    if (plot_) plot_->InvalidateParts(false, false, true);
}

void Tsp_PlotMarker::SetXAxis(Tsp_WhatXAxis v) {
    if (v == xAxis_) return;
    xAxis_ = v;
    FollowAxes();
    if (plot_) plot_->InvalidateParts(false, false, true);
}

void Tsp_PlotMarker::SetYAxis(Tsp_WhatYAxis v) {
    if (v == yAxis_) return;
    yAxis_ = v;
    FollowAxes();
    if (plot_) plot_->InvalidateParts(false, false, true);
}
