#include <algorithm>
#include <cmath>

#include "plot/xy_data_series.h"
#include "plot/xy_plot.h"

namespace kvel {

DataSeries::~DataSeries() {
    if (plot_) plot_->removeSeries(this);
}

void DataSeries::setPlot(XYPlot* plot) {
    if (plot == plot_) return;
    XYPlot* old = plot_;
    plot_ = nullptr;
    if (old) old->removeSeries(this);
    plot_ = plot;
    if (plot_) plot_->addSeries(this);
}

void DataSeries::axisBindingChanged(Axis* first, Axis* second) {
    if (!plot_) return;
    const bool a = plot_->autoScaleAxis(first);
    const bool b = plot_->autoScaleAxis(second);
    // The series now draws against another axis: the field is stale even without a re-fit.
    if (a || b)
        plot_->updateLayout();
    else if (active_)
        plot_->replot();
}

void DataSeries::setXAxis(XAxisChoice v) {
    if (v == xAxis_) return;
    xAxis_ = v;
    if (plot_) axisBindingChanged(plot_->bottomAxis(), plot_->topAxis());
}

void DataSeries::setYAxis(YAxisChoice v) {
    if (v == yAxis_) return;
    yAxis_ = v;
    if (plot_) axisBindingChanged(plot_->leftAxis(), plot_->rightAxis());
}

void DataSeries::setActive(bool v) {
    if (v == active_) return;
    active_ = v;
    if (plot_) plot_->seriesChanged(this);
}

void DataSeries::dataChanged(ChangeKind kind) {
    if (!active_ || !plot_) return;
    if (kind == ChangeKind::Data)
        plot_->seriesChanged(this);
    else
        plot_->replot();
}

XYDataSeries::XYDataSeries() {
    blocks_.push_back(std::make_unique<Block>());
    lineAttr_.setOwner(this);
}

void XYDataSeries::append(double x, double y) {
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

void XYDataSeries::addXY(double x, double y) {
    append(x, y);
    if (canPlot()) dataChanged(ChangeKind::Data);
}

void XYDataSeries::clear() {
    const bool had = count_ > 0;
    count_ = 0;
    breaks_.clear();
    yIndex_.clear();
    ++generation_;
    xAscending_ = true;
    if (had && canPlot()) dataChanged(ChangeKind::Data);
}

void XYDataSeries::addBreak() {
    if (count_ > 0 && (breaks_.empty() || breaks_.back() != count_)) breaks_.push_back(count_);
}

bool XYDataSeries::breakBefore(int i) const {
    return std::binary_search(breaks_.begin(), breaks_.end(), i);
}

void XYDataSeries::setLockInvalidate(bool v) {
    if (v == locked_) return;
    locked_ = v;
    if (canPlot()) dataChanged(ChangeKind::Data);
}

void XYDataSeries::setLineAttr(const LineAttr& a) {
    if (&a != &lineAttr_ && !lineAttr_.sameValues(a)) lineAttr_.assign(a);
}

void XYDataSeries::attrChanged() {
    if (canPlot()) dataChanged(ChangeKind::Appearance);
}

}  // namespace kvel
