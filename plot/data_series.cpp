#include <algorithm>
#include <cmath>

#include "plot/plot.h"
#include "plot/series.h"

Tsp_DataSeries::~Tsp_DataSeries() {
    if (plot_) plot_->removeSeries(this);
}

void Tsp_DataSeries::setPlot(Tsp_XYPlot* plot) {
    if (plot == plot_) return;
    Tsp_XYPlot* old = plot_;
    plot_ = nullptr;
    if (old) old->removeSeries(this);
    plot_ = plot;
    if (plot_) plot_->addSeries(this);
}

void Tsp_DataSeries::axisBindingChanged(Tsp_Axis* first, Tsp_Axis* second) {
    if (!plot_) return;
    const bool a = plot_->autoScaleAxis(first);
    const bool b = plot_->autoScaleAxis(second);
    // The series now draws against another axis: the field is stale even without a re-fit.
    if (a || b)
        plot_->invalidate();
    else if (active_)
        plot_->invalidateParts(false, false, true);
}

void Tsp_DataSeries::setXAxis(Tsp_WhatXAxis v) {
    if (v == xAxis_) return;
    xAxis_ = v;
    if (plot_) axisBindingChanged(plot_->bottomAxis(), plot_->topAxis());
}

void Tsp_DataSeries::setYAxis(Tsp_WhatYAxis v) {
    if (v == yAxis_) return;
    yAxis_ = v;
    if (plot_) axisBindingChanged(plot_->leftAxis(), plot_->rightAxis());
}

void Tsp_DataSeries::setActive(bool v) {
    if (v == active_) return;
    active_ = v;
    if (plot_) plot_->seriesChanged(this);
}

void Tsp_DataSeries::setLegend(const QString& v) {
    if (v == legend_) return;
    legend_ = v;
    legendChanged();
}

void Tsp_DataSeries::dataChanged(ChangeKind kind) {
    if (!active_ || !plot_) return;
    if (kind == dcData)
        plot_->seriesChanged(this);
    else
        plot_->invalidateParts(false, false, true);
}

Tsp_XYDataSeries::Tsp_XYDataSeries() {
    blocks_.push_back(std::make_unique<Block>());
    lineAttr_.onChange = [this](Tsp_CustomLineAttr* a) { attrChanged(a); };
}

void Tsp_XYDataSeries::append(double x, double y) {
    if (count_ >= capacity()) blocks_.push_back(std::make_unique<Block>());
    Block& b = *blocks_[count_ / kGrowth];
    b.x[count_ % kGrowth] = x;
    b.y[count_ % kGrowth] = y;
    yIndex_.append(y);
    if (count_ == 0) {
        xMin_ = xMax_ = x;
        yMin_ = yMax_ = y;
        xAscending_ = !std::isnan(x);
    } else {
        // Points are only ever appended, so the extrema can follow them without a rescan.
        xMin_ = std::min(xMin_, x);
        xMax_ = std::max(xMax_, x);
        yMin_ = std::min(yMin_, y);
        yMax_ = std::max(yMax_, y);
        if (xAscending_ && !(x >= xValue(count_ - 1))) xAscending_ = false;
    }
    ++count_;
}

void Tsp_XYDataSeries::addXY(double x, double y) {
    append(x, y);
    if (!canPlot()) return;
    dataChanged(dcData);
    plot_->paintPending();
}

void Tsp_XYDataSeries::clear() {
    const bool had = count_ > 0;
    count_ = 0;
    breaks_.clear();
    yIndex_.clear();
    ++generation_;
    xAscending_ = true;
    if (had && canPlot()) dataChanged(dcData);
}

void Tsp_XYDataSeries::addBreak() {
    if (count_ > 0 && (breaks_.empty() || breaks_.back() != count_)) breaks_.push_back(count_);
}

bool Tsp_XYDataSeries::breakBefore(int i) const {
    return std::binary_search(breaks_.begin(), breaks_.end(), i);
}

void Tsp_XYDataSeries::setLockInvalidate(bool v) {
    if (v == locked_) return;
    locked_ = v;
    if (canPlot()) dataChanged(dcData);
}

void Tsp_XYDataSeries::setLineAttr(const Tsp_LineAttr& a) {
    if (&a != &lineAttr_ && !lineAttr_.sameValues(a)) lineAttr_.assign(a);
}

bool Tsp_XYDataSeries::getExtremum(double Tsp_XYDataSeries::*which, double& v) const {
    if (count_ <= 0) return false;
    v = this->*which;
    return true;
}

bool Tsp_XYDataSeries::getXMin(double& v) {
    return getExtremum(&Tsp_XYDataSeries::xMin_, v);
}
bool Tsp_XYDataSeries::getXMax(double& v) {
    return getExtremum(&Tsp_XYDataSeries::xMax_, v);
}
bool Tsp_XYDataSeries::getYMin(double& v) {
    return getExtremum(&Tsp_XYDataSeries::yMin_, v);
}
bool Tsp_XYDataSeries::getYMax(double& v) {
    return getExtremum(&Tsp_XYDataSeries::yMax_, v);
}

void Tsp_XYDataSeries::attrChanged(void*) {
    if (canPlot()) dataChanged(dcAppearance);
}
