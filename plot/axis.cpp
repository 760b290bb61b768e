#include <QLocale>
#include <algorithm>

#include "plot/plot.h"
#include "plot/scale_axis.h"

Axis::Axis(ScaleFlags flags, XYPlot* plot) : Scale(flags), plot_(plot) {
    // The grid lies inside the field only; the axis line's width takes room in the layout.
    // assign() copies attribute values only, so these hooks stay for the axis' lifetime.
    gridAttr_.onChange = [this](LineAttrBase*) {
        if (plot_) plot_->invalidateParts(false, false, true);
    };
    lineAttr()->onChange = [this](LineAttrBase*) { plotInvalidate(); };
}

void Axis::plotInvalidate() {
    if (plot_) plot_->invalidate();
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
    if (labelAsDataTime()) {
        calcTicks();
        calcTickPixels();
    }
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
    if (plot_) plot_->invalidateParts(false, true, true);
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
            if (plot_ && plot_->autoScaleAxis(this)) plot_->invalidate();
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

QString Axis::getTickLabel(int i) {
    QString s = Scale::getTickLabel(i);
    if (plot_ && plot_->onGetTickLabel) plot_->onGetTickLabel(this, i, tickValue(i), s);
    return s;
}

void Axis::writeProperties(PropertyList& out) const {
    out.emplace_back("Margin", QString::number(margin_));
    out.emplace_back("Caption", caption_);
    out.emplace_back("TicksCount", QString::number(ticksCount()));
    lineAttr()->writeProperties("LineAttr", out);
    gridAttr_.writeProperties("GridAttr", out);
    out.emplace_back("LabelFormat", labelFormat());
    Scale::writeProperties(out);
}

bool Axis::readProperty(const QString& name, const QString& value) {
    bool ok = true;
    if (name == "Margin") {
        const int v = QLocale::c().toInt(value.trimmed(), &ok);
        if (ok) setMargin(v);
    } else if (name == "Caption") {
        setCaption(value);
    } else if (name == "TicksCount") {
        const int v = QLocale::c().toInt(value.trimmed(), &ok);
        ok = ok && v >= 0;
        if (ok) setTicksCount(v);
    } else if (name == "LabelFormat") {
        setLabelFormat(value);
    } else if (name.startsWith("LineAttr.")) {
        ok = lineAttr()->readProperty(name.mid(9), value);
    } else if (name.startsWith("GridAttr.")) {
        ok = gridAttr_.readProperty(name.mid(9), value);
    } else {
        ok = Scale::readProperty(name, value);
    }
    return ok;
}
