#include "plot/axis.h"

#include <algorithm>

#include "plot/xy_plot.h"

namespace kvel {

Axis::Axis(ScaleFlags flags, XYPlot* plot) : Scale(flags), plot_(plot) {
    // assign() copies attribute values only, so the axis hears of its lines' changes for life.
    gridAttr_.setOwner(this);
    lineAttr()->setOwner(this);
}

void Axis::plotInvalidate() {
    if (plot_) plot_->updateLayout();
}

void Axis::setMargin(int v) {
    if (v == margin_) return;
    margin_ = v;
    plotInvalidate();
}

void Axis::setCaption(const QString& v) {
    if (v == caption_) return;
    caption_ = v;
    plotInvalidate();
}

bool Axis::captionShown() const {
    return std::any_of(caption_.begin(), caption_.end(), [](QChar c) { return c.unicode() > 32; });
}

void Axis::setMin(double v) {
    clearFlagsRaw(ScaleFlag::AutoMin);
    savedValid_ = false;
    if (v == min()) return;
    applyRange(v, max());
    plotInvalidate();
}

void Axis::setMax(double v) {
    clearFlagsRaw(ScaleFlag::AutoMax);
    savedValid_ = false;
    if (v == max()) return;
    applyRange(min(), v);
    plotInvalidate();
}

void Axis::setTicksCount(int n) {
    n = std::clamp(n, 0, kMaxTicks);
    if (n == wantedTicksCount()) return;
    setWantedTicks(n);
    calcTicks();
    calcTickPixels();
    plotInvalidate();
}

void Axis::setLabelFormat(const QString& f) {
    if (f == labelFormat()) return;
    setLabelFormatRaw(f);
    // The ticks of a date-time axis keep to what its labels can show.
    if (labelAsDateTime()) {
        calcTicks();
        calcTickPixels();
    }
    plotInvalidate();
}

void Axis::setLabelDecimals(int n) {
    if (n == labelDecimals()) return;
    setLabelDecimalsRaw(n);
    plotInvalidate();
}

void Axis::setLineAttr(const LineAttr& a) {
    if (&a != lineAttr() && !lineAttr()->sameValues(a)) lineAttr()->assign(a);
}

void Axis::setGridAttr(const LineAttr& a) {
    if (&a != &gridAttr_ && !gridAttr_.sameValues(a)) gridAttr_.assign(a);
}

void Axis::setMinMax(double aMin, double aMax) {
    if (aMin != min() || aMax != max()) applyRange(aMin, aMax);
    clearFlagsRaw(ScaleFlag::AutoMin | ScaleFlag::AutoMax);
    savedValid_ = false;
    plotInvalidate();
}

void Axis::moveMinMax(double delta) {
    scrollBy(delta, false);
    clearFlagsRaw(ScaleFlag::AutoMin | ScaleFlag::AutoMax);
    savedValid_ = false;
    if (plot_) plot_->replot();
}

void Axis::saveMinMax() {
    if (savedValid_) return;
    savedMin_ = min();
    savedMax_ = max();
    savedValid_ = true;
}

void Axis::restoreMinMax() {
    if (!savedValid_) return;
    applyRange(savedMin_, savedMax_);
    savedValid_ = false;
}

void Axis::assign(const Axis& s) {
    if (&s == this) return;
    assignScale(s);
    margin_ = s.margin_;
    caption_ = s.caption_;
    savedValid_ = false;
    gridAttr_.assign(s.gridAttr_);
}

void Axis::flagChanged(ScaleFlag flag) {
    switch (flag) {
        case ScaleFlag::AutoMin:
        case ScaleFlag::AutoMax:
            if (plot_ && plot_->autoScaleAxis(this)) plot_->updateLayout();
            return;
        case ScaleFlag::Inversed:
            calcMapping();
            [[fallthrough]];
        case ScaleFlag::NoTicksLines:
        case ScaleFlag::NoTicksLabel:
        case ScaleFlag::NoTicksAdjusted:
        case ScaleFlag::LabelAsDateTime:
            calcTicks();
            calcTickPixels();
            break;
        default:
            break;
    }
    plotInvalidate();
}

}  // namespace kvel
