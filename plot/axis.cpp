#include <QLocale>
#include <algorithm>

#include "plot/plot.h"
#include "plot/scale_axis.h"

Tsp_Axis::Tsp_Axis(std::uint32_t flags, Tsp_XYPlot* plot) : Tsp_Scale(flags), plot_(plot) {
    // The grid lies inside the field only; the axis line's width takes room in the layout.
    // Assign copies attribute values only, so these hooks stay for the axis' lifetime.
    gridAttr_.onChange = [this](Tsp_CustomLineAttr*) {
        if (plot_) plot_->invalidateParts(false, false, true);
    };
    lineAttr()->onChange = [this](Tsp_CustomLineAttr*) { plotInvalidate(); };
}

void Tsp_Axis::plotInvalidate() {
    if (plot_) plot_->invalidate();
}

void Tsp_Axis::setMargin(int v) {
    if (v == margin_) return;
    margin_ = v;
    plotInvalidate();
}

void Tsp_Axis::setCaption(const QString& v) {
    if (v == caption_) return;
    caption_ = v;
    plotInvalidate();
}

bool Tsp_Axis::captionShown() const {
    return std::any_of(caption_.begin(), caption_.end(), [](QChar c) { return c.unicode() > 32; });
}

void Tsp_Axis::setMin(double v) {
    clearFlagsRaw(sfAutoMin);
    savedValid_ = false;
    if (v == min()) return;
    applyRange(v, max());
    plotInvalidate();
}

void Tsp_Axis::setMax(double v) {
    clearFlagsRaw(sfAutoMax);
    savedValid_ = false;
    if (v == max()) return;
    applyRange(min(), v);
    plotInvalidate();
}

void Tsp_Axis::setTicksCount(int n) {
    n = std::clamp(n, 0, kMaxTicks);
    if (n == wantedTicksCount()) return;
    setWantedTicks(n);
    calcTicks();
    calcTickPixels();
    plotInvalidate();
}

void Tsp_Axis::setLabelFormat(const QString& f) {
    if (f == labelFormat()) return;
    setLabelFormatRaw(f);
    // The ticks of a date-time axis keep to what its labels can show.
    if (labelAsDataTime()) {
        calcTicks();
        calcTickPixels();
    }
    plotInvalidate();
}

void Tsp_Axis::setLineAttr(const Tsp_LineAttr& a) {
    if (&a != lineAttr() && !lineAttr()->sameValues(a)) lineAttr()->assign(a);
}

void Tsp_Axis::setGridAttr(const Tsp_LineAttr& a) {
    if (&a != &gridAttr_ && !gridAttr_.sameValues(a)) gridAttr_.assign(a);
}

void Tsp_Axis::setMinMax(double aMin, double aMax) {
    if (aMin != min() || aMax != max()) applyRange(aMin, aMax);
    clearFlagsRaw(sfAutoMin | sfAutoMax);
    savedValid_ = false;
    plotInvalidate();
}

void Tsp_Axis::moveMinMax(double delta) {
    scrollBy(delta, false);
    clearFlagsRaw(sfAutoMin | sfAutoMax);
    savedValid_ = false;
    if (plot_) plot_->invalidateParts(false, true, true);
}

void Tsp_Axis::saveMinMax() {
    if (savedValid_) return;
    savedMin_ = min();
    savedMax_ = max();
    savedValid_ = true;
}

void Tsp_Axis::restoreMinMax() {
    if (!savedValid_) return;
    applyRange(savedMin_, savedMax_);
    savedValid_ = false;
}

void Tsp_Axis::assign(const Tsp_Axis& s) {
    if (&s == this) return;
    assignScale(s);
    margin_ = s.margin_;
    caption_ = s.caption_;
    savedValid_ = false;
    gridAttr_.assign(s.gridAttr_);
}

void Tsp_Axis::flagChanged(Tsp_ScaleFlag flag) {
    switch (flag) {
        case sfAutoMin:
        case sfAutoMax:
            if (plot_ && plot_->autoScaleAxis(this)) plot_->invalidate();
            return;
        case sfInversed:
            calcMapping();
            [[fallthrough]];
        case sfNoTicksLines:
        case sfNoTicksLabel:
        case sfNoTicksAdjusted:
        case sfLabelAsDateTime:
            calcTicks();
            calcTickPixels();
            break;
        default:
            break;
    }
    plotInvalidate();
}

QString Tsp_Axis::getTickLabel(int i) {
    QString s = Tsp_Scale::getTickLabel(i);
    if (plot_ && plot_->onGetTickLabel) plot_->onGetTickLabel(this, i, tickValue(i), s);
    return s;
}

void Tsp_Axis::writeProperties(Tsp_PropertyList& out) const {
    out.emplace_back("Margin", QString::number(margin_));
    out.emplace_back("Caption", caption_);
    out.emplace_back("TicksCount", QString::number(ticksCount()));
    lineAttr()->writeProperties("LineAttr", out);
    gridAttr_.writeProperties("GridAttr", out);
    out.emplace_back("LabelFormat", labelFormat());
    Tsp_Scale::writeProperties(out);
}

bool Tsp_Axis::readProperty(const QString& name, const QString& value) {
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
        ok = Tsp_Scale::readProperty(name, value);
    }
    return ok;
}
