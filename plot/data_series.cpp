#include <algorithm>
#include <cmath>

#include "plot/plot.h"
#include "plot/series.h"

Tsp_DataSeries::~Tsp_DataSeries() {
    if (plot_) plot_->RemoveSeries(this);
}

void Tsp_DataSeries::SetPlot(Tsp_XYPlot* plot) {
    if (plot == plot_) return;
    Tsp_XYPlot* old = plot_;
    plot_ = nullptr;
    if (old) old->RemoveSeries(this);
    plot_ = plot;
    if (plot_) plot_->AddSeries(this);
}

void Tsp_DataSeries::AxisBindingChanged(Tsp_Axis* first, Tsp_Axis* second) {
    if (!plot_) return;
    const bool a = plot_->AutoScaleAxis(first);
    const bool b = plot_->AutoScaleAxis(second);
    // The series now draws against another axis: the field is stale even without a re-fit.
    if (a || b)
        plot_->Invalidate();
    else if (active_)
        plot_->InvalidateParts(false, false, true);
}

void Tsp_DataSeries::SetXAxis(Tsp_WhatXAxis v) {
    if (v == xAxis_) return;
    xAxis_ = v;
    if (plot_) AxisBindingChanged(plot_->BottomAxis(), plot_->TopAxis());
}

void Tsp_DataSeries::SetYAxis(Tsp_WhatYAxis v) {
    if (v == yAxis_) return;
    yAxis_ = v;
    if (plot_) AxisBindingChanged(plot_->LeftAxis(), plot_->RightAxis());
}

void Tsp_DataSeries::SetActive(bool v) {
    if (v == active_) return;
    active_ = v;
    if (plot_) plot_->SeriesChanged(this);
}

void Tsp_DataSeries::SetLegend(const QString& v) {
    if (v == legend_) return;
    legend_ = v;
    LegendChanged();
}

void Tsp_DataSeries::DataChanged(ChangeKind kind) {
    if (!active_ || !plot_) return;
    if (kind == dcData)
        plot_->SeriesChanged(this);
    else
        plot_->InvalidateParts(false, false, true);
}

Tsp_XYDataSeries::Tsp_XYDataSeries() {
    blocks_.push_back(std::make_unique<Block>());
    lineAttr_.OnChange = [this](Tsp_CustomLineAttr* a) { AttrChanged(a); };
}

void Tsp_XYDataSeries::Append(double x, double y) {
    if (count_ >= Capacity()) blocks_.push_back(std::make_unique<Block>());
    Block& b = *blocks_[count_ / kGrowth];
    b.x[count_ % kGrowth] = x;
    b.y[count_ % kGrowth] = y;
    yIndex_.Append(y);
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
        if (xAscending_ && !(x >= XValue(count_ - 1))) xAscending_ = false;
    }
    ++count_;
}

void Tsp_XYDataSeries::AddXY(double x, double y) {
    Append(x, y);
    if (!CanPlot()) return;
    DataChanged(dcData);
    plot_->Update();
}

void Tsp_XYDataSeries::Clear() {
    const bool had = count_ > 0;
    count_ = 0;
    breaks_.clear();
    yIndex_.Clear();
    ++generation_;
    xAscending_ = true;
    if (had && CanPlot()) DataChanged(dcData);
}

void Tsp_XYDataSeries::AddBreak() {
    if (count_ > 0 && (breaks_.empty() || breaks_.back() != count_)) breaks_.push_back(count_);
}

bool Tsp_XYDataSeries::BreakBefore(int i) const {
    return std::binary_search(breaks_.begin(), breaks_.end(), i);
}

void Tsp_XYDataSeries::SetLockInvalidate(bool v) {
    if (v == locked_) return;
    locked_ = v;
    if (CanPlot()) DataChanged(dcData);
}

void Tsp_XYDataSeries::SetLineAttr(const Tsp_LineAttr& a) {
    if (&a != &lineAttr_ && !lineAttr_.SameValues(a)) lineAttr_.Assign(a);
}

bool Tsp_XYDataSeries::GetExtremum(double Tsp_XYDataSeries::*which, double& v) const {
    if (count_ <= 0) return false;
    v = this->*which;
    return true;
}

bool Tsp_XYDataSeries::GetXMin(double& v) {
    return GetExtremum(&Tsp_XYDataSeries::xMin_, v);
}
bool Tsp_XYDataSeries::GetXMax(double& v) {
    return GetExtremum(&Tsp_XYDataSeries::xMax_, v);
}
bool Tsp_XYDataSeries::GetYMin(double& v) {
    return GetExtremum(&Tsp_XYDataSeries::yMin_, v);
}
bool Tsp_XYDataSeries::GetYMax(double& v) {
    return GetExtremum(&Tsp_XYDataSeries::yMax_, v);
}

void Tsp_XYDataSeries::AttrChanged(void*) {
    if (CanPlot()) DataChanged(dcAppearance);
}
