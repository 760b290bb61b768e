#include <QLocale>
#include <algorithm>

#include "plot/plot.h"
#include "plot/scale_axis.h"

Tsp_Axis::Tsp_Axis(std::uint32_t flags, Tsp_XYPlot* plot) : Tsp_Scale(flags), plot_(plot) {
    // The grid lies inside the field only; the axis line's width takes room in the layout.
    // Assign copies attribute values only, so these hooks stay for the axis' lifetime.
    gridAttr_.OnChange = [this](Tsp_CustomLineAttr*) {
        if (plot_) plot_->InvalidateParts(false, false, true);
    };
    LineAttr()->OnChange = [this](Tsp_CustomLineAttr*) { PlotInvalidate(); };
}

void Tsp_Axis::PlotInvalidate() {
    if (plot_) plot_->Invalidate();
}

void Tsp_Axis::SetMargin(int v) {
    if (v == margin_) return;
    margin_ = v;
    PlotInvalidate();
}

void Tsp_Axis::SetCaption(const QString& v) {
    if (v == caption_) return;
    caption_ = v;
    PlotInvalidate();
}

bool Tsp_Axis::CaptionShown() const {
    return std::any_of(caption_.begin(), caption_.end(), [](QChar c) { return c.unicode() > 32; });
}

void Tsp_Axis::SetMin(double v) {
    ClearFlagsRaw(sfAutoMin);
    savedValid_ = false;
    if (v == Min()) return;
    ApplyRange(v, Max());
    PlotInvalidate();
}

void Tsp_Axis::SetMax(double v) {
    ClearFlagsRaw(sfAutoMax);
    savedValid_ = false;
    if (v == Max()) return;
    ApplyRange(Min(), v);
    PlotInvalidate();
}

void Tsp_Axis::SetTicksCount(int n) {
    n = std::clamp(n, 0, kMaxTicks);
    if (n == WantedTicksCount()) return;
    SetWantedTicks(n);
    CalcTicks();
    CalcTickPixels();
    PlotInvalidate();
}

void Tsp_Axis::SetLabelFormat(const QString& f) {
    if (f == LabelFormat()) return;
    SetLabelFormatRaw(f);
    // The ticks of a date-time axis keep to what its labels can show.
    if (LabelAsDataTime()) {
        CalcTicks();
        CalcTickPixels();
    }
    PlotInvalidate();
}

void Tsp_Axis::SetLineAttr(const Tsp_LineAttr& a) {
    if (&a != LineAttr() && !LineAttr()->SameValues(a)) LineAttr()->Assign(a);
}

void Tsp_Axis::SetGridAttr(const Tsp_LineAttr& a) {
    if (&a != &gridAttr_ && !gridAttr_.SameValues(a)) gridAttr_.Assign(a);
}

void Tsp_Axis::SetMinMax(double aMin, double aMax) {
    if (aMin != Min() || aMax != Max()) ApplyRange(aMin, aMax);
    ClearFlagsRaw(sfAutoMin | sfAutoMax);
    savedValid_ = false;
    PlotInvalidate();
}

void Tsp_Axis::MoveMinMax(double delta) {
    ScrollBy(delta, false);
    ClearFlagsRaw(sfAutoMin | sfAutoMax);
    savedValid_ = false;
    if (plot_) plot_->InvalidateParts(false, true, true);
}

void Tsp_Axis::SaveMinMax() {
    if (savedValid_) return;
    savedMin_ = Min();
    savedMax_ = Max();
    savedValid_ = true;
}

void Tsp_Axis::RestoreMinMax() {
    if (!savedValid_) return;
    ApplyRange(savedMin_, savedMax_);
    savedValid_ = false;
}

void Tsp_Axis::Assign(const Tsp_Axis& s) {
    if (&s == this) return;
    AssignScale(s);
    margin_ = s.margin_;
    caption_ = s.caption_;
    savedValid_ = false;
    gridAttr_.Assign(s.gridAttr_);
}

void Tsp_Axis::FlagChanged(Tsp_ScaleFlag flag) {
    switch (flag) {
        case sfAutoMin:
        case sfAutoMax:
            if (plot_ && plot_->AutoScaleAxis(this)) plot_->Invalidate();
            return;
        case sfInversed:
            CalcMapping();
            [[fallthrough]];
        case sfNoTicksLines:
        case sfNoTicksLabel:
        case sfNoTicksAdjusted:
        case sfLabelAsDateTime:
            CalcTicks();
            CalcTickPixels();
            break;
        default:
            break;
    }
    PlotInvalidate();
}

QString Tsp_Axis::GetTickLabel(int i) {
    QString s = Tsp_Scale::GetTickLabel(i);
    if (plot_ && plot_->OnGetTickLabel) plot_->OnGetTickLabel(this, i, TickValue(i), s);
    return s;
}

void Tsp_Axis::WriteProperties(Tsp_PropertyList& out) const {
    out.emplace_back("Margin", QString::number(margin_));
    out.emplace_back("Caption", caption_);
    out.emplace_back("TicksCount", QString::number(TicksCount()));
    LineAttr()->WriteProperties("LineAttr", out);
    gridAttr_.WriteProperties("GridAttr", out);
    out.emplace_back("LabelFormat", LabelFormat());
    Tsp_Scale::WriteProperties(out);
}

bool Tsp_Axis::ReadProperty(const QString& name, const QString& value) {
    bool ok = true;
    if (name == "Margin") {
        const int v = QLocale::c().toInt(value.trimmed(), &ok);
        if (ok) SetMargin(v);
    } else if (name == "Caption") {
        SetCaption(value);
    } else if (name == "TicksCount") {
        const int v = QLocale::c().toInt(value.trimmed(), &ok);
        ok = ok && v >= 0;
        if (ok) SetTicksCount(v);
    } else if (name == "LabelFormat") {
        SetLabelFormat(value);
    } else if (name.startsWith("LineAttr.")) {
        ok = LineAttr()->ReadProperty(name.mid(9), value);
    } else if (name.startsWith("GridAttr.")) {
        ok = gridAttr_.ReadProperty(name.mid(9), value);
    } else {
        ok = Tsp_Scale::ReadProperty(name, value);
    }
    return ok;
}
