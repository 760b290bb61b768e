#include "chart/trend_chart.h"

#include "link/module_map.h"

namespace kvel {

TTrendChart::TTrendChart(Tsp_XYPlot& plot, const std::array<Tsp_XYLine*, kChartSlots>& lines,
                         const TMemIni& ini)
    : plot_(plot), lines_(lines), ini_(ini) {}

void TTrendChart::StylePlot() {
    plot_.SetFieldColor(clWhite);
    plot_.SetColor(clBtnFace);
    plot_.SetBorderStyle(bs_None);
    plot_.SetBufferedDisplay(true);
    plot_.SetPan(zpdNone);
    plot_.SetPanCursor(Qt::PointingHandCursor);
    for (Tsp_Axis* axis :
         {plot_.LeftAxis(), plot_.RightAxis(), plot_.BottomAxis(), plot_.TopAxis()}) {
        axis->SetMargin(4);
        axis->LineAttr()->SetColor(clBlack);
    }
    for (Tsp_Axis* axis : {plot_.LeftAxis(), plot_.RightAxis(), plot_.BottomAxis()}) {
        axis->SetTicksCount(11);
        axis->GridAttr()->SetColor(clGray);
        axis->GridAttr()->SetStyle(psDot);
        axis->GridAttr()->SetVisible(axis != plot_.RightAxis());
    }
    // The right axis is read like the left one: tick marks and labels on its outer side.
    plot_.RightAxis()->SetTicksLines(true);
    plot_.RightAxis()->SetNoTicksLabel(false);
    plot_.LeftAxis()->SetLabelFormat("###0.##");
    plot_.RightAxis()->SetLabelFormat("###0.##");
    plot_.BottomAxis()->SetLabelFormat("hh:nn:ss");
    plot_.BottomAxis()->SetLabelAsDataTime(true);
    for (int k = 0; k < kChartSlots; ++k) {
        Tsp_XYLine* line = lines_[static_cast<std::size_t>(k)];
        line->LineAttr()->SetColor(kSlotColors[static_cast<std::size_t>(k)]);
        line->LineAttr()->SetVisible(true);
        line->PointAttr()->SetVisible(false);
    }
}

void TTrendChart::ApplyAxisBinding() {
    for (int k = 0; k < kChartSlots; ++k) {
        lines_[static_cast<std::size_t>(k)]->SetYAxis(SlotOnLeftAxis(ini_, k + 1) ? dsyLeft
                                                                                  : dsyRight);
    }
}

void TTrendChart::ApplyAxisScaling() {
    Tsp_Axis* left = plot_.LeftAxis();
    Tsp_Axis* right = plot_.RightAxis();
    const bool automatic = ini_.ReadInteger("diag", "scale_auto", 0) != 0;
    for (Tsp_Axis* axis : {left, right}) {
        axis->SetAutoMin(automatic);
        axis->SetAutoMax(automatic);
    }
    if (automatic) return;
    left->SetMinMax(ini_.ReadFloat("diag", "left_min", -50.0),
                    ini_.ReadFloat("diag", "left_max", 50.0));
    right->SetMinMax(ini_.ReadFloat("diag", "right_min", -50.0),
                     ini_.ReadFloat("diag", "right_max", 50.0));
}

void TTrendChart::SwitchSlot(int slot, bool checked, bool assigned) {
    if (slot < 1 || slot > kChartSlots) return;
    lines_[static_cast<std::size_t>(slot - 1)]->SetActive(checked && assigned);
}

void TTrendChart::ClearSeries() {
    for (Tsp_XYLine* line : lines_) line->Clear();
}

double TTrendChart::Window(double now) const {
    // Only a hand-edited mem.ini can hold a window without width (the dialog refuses it): the
    // axis would be widened to years ahead and never move again.
    const double window = ini_.ReadFloat("diag", "window", kDefaultWindow);
    return window > 0 && now + window > now ? window : kDefaultWindow;
}

void TTrendChart::SetTimeWindow(double now) {
    plot_.BottomAxis()->SetMinMax(now, now + Window(now));
}

void TTrendChart::ApplyTimeWindow(double now) {
    MoveTimeAxis(now, true);
}

void TTrendChart::AddChartPoints(const TReadTransaction& record, int channelCount, double now) {
    for (Tsp_XYLine* line : lines_) line->SetLockInvalidate(true);
    const std::array<int, kChartSlots> assigned = AssignSlots(ini_, channelCount);
    for (int k = 0; k < kChartSlots; ++k) {
        const int channel = assigned[static_cast<std::size_t>(k)];
        if (channel == 0) continue;
        const double t = Temperature(record.registers[channel - 1]);
        if (t >= -50.0) lines_[static_cast<std::size_t>(k)]->AddXY(now, t);
    }
    for (Tsp_XYLine* line : lines_) line->SetLockInvalidate(false);
    MoveTimeAxis(now, false);
}

void TTrendChart::MoveTimeAxis(double now, bool always) {
    Tsp_Axis* bottom = plot_.BottomAxis();
    const double window = Window(now);
    if (bottom->Min() > now && !always) {
        const double newMin = now - (bottom->Max() - bottom->Min()) * 0.1;
        bottom->SetMinMax(newMin, newMin + window);
    }
    if (bottom->Max() > now && !always) return;
    const double shift = ini_.ReadInteger("diag", "shift", 20) * 0.01;
    if (ini_.ReadInteger("diag", "showall", 0) != 0) {
        double start = 0;
        for (Tsp_XYLine* line : lines_) {
            if (line->Count() == 0) continue;
            const double first = line->XValue(0);
            if (start == 0 || first < start) start = first;
        }
        if (start == 0) {
            // Nothing drawn yet: the range of a start-up, from now one window wide.
            if (always) {
                bottom->SetMinMax(now, now + window);
                return;
            }
            start = bottom->Min();
        }
        bottom->SetMinMax(start, now + (now - start) * shift);
    } else {
        const double d = shift * window;
        bottom->SetMinMax(now - window + d, now + d);
    }
}

}  // namespace kvel
