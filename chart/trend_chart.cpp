#include "chart/trend_chart.h"

#include "link/module_map.h"

namespace kvel {

TrendChart::TrendChart(XYPlot& plot, const std::array<XYLine*, kChartSlots>& lines,
                       const MemIni& ini)
    : plot_(plot), lines_(lines), ini_(ini) {}

void TrendChart::stylePlot() {
    plot_.setFieldColor(Qt::white);
    plot_.setBorderStyle(BorderStyle::None);
    plot_.setPan(Qt::Orientations());
    plot_.setPanCursor(Qt::PointingHandCursor);
    for (Axis* axis : {plot_.leftAxis(), plot_.rightAxis(), plot_.bottomAxis(), plot_.topAxis()}) {
        axis->setMargin(4);
        axis->lineAttr()->setColor(Qt::black);
    }
    for (Axis* axis : {plot_.leftAxis(), plot_.rightAxis(), plot_.bottomAxis()}) {
        axis->setTicksCount(11);
        axis->gridAttr()->setColor(QColorConstants::Svg::gray);
        axis->gridAttr()->setStyle(Qt::DotLine);
        axis->gridAttr()->setVisible(axis != plot_.rightAxis());
    }
    // The right axis is read like the left one: tick marks and labels on its outer side.
    plot_.rightAxis()->setTicksLines(true);
    plot_.rightAxis()->setNoTicksLabel(false);
    plot_.leftAxis()->setLabelDecimals(2);
    plot_.rightAxis()->setLabelDecimals(2);
    plot_.bottomAxis()->setLabelFormat("hh:mm:ss");
    plot_.bottomAxis()->setLabelAsDateTime(true);
    for (int k = 0; k < kChartSlots; ++k) {
        XYLine* line = lines_[static_cast<std::size_t>(k)];
        line->lineAttr()->setColor(kSlotColors[static_cast<std::size_t>(k)]);
        line->lineAttr()->setVisible(true);
        line->pointAttr()->setVisible(false);
    }
}

void TrendChart::applyAxisBinding() {
    for (int k = 0; k < kChartSlots; ++k) {
        lines_[static_cast<std::size_t>(k)]->setYAxis(
            slotOnLeftAxis(ini_, k + 1) ? YAxisChoice::Left : YAxisChoice::Right);
    }
}

void TrendChart::applyAxisScaling() {
    Axis* left = plot_.leftAxis();
    Axis* right = plot_.rightAxis();
    const bool automatic = ini_.readInteger(keys::kScaleAuto) != 0;
    for (Axis* axis : {left, right}) {
        axis->setAutoMin(automatic);
        axis->setAutoMax(automatic);
    }
    if (automatic) return;
    left->setMinMax(ini_.readFloat(keys::kLeftMin), ini_.readFloat(keys::kLeftMax));
    right->setMinMax(ini_.readFloat(keys::kRightMinOnStart),
                     ini_.readFloat(keys::kRightMaxOnStart));
}

void TrendChart::switchSlot(int slot, bool checked, bool assigned) {
    if (slot < 1 || slot > kChartSlots) return;
    lines_[static_cast<std::size_t>(slot - 1)]->setActive(checked && assigned);
}

void TrendChart::clearSeries() {
    for (XYLine* line : lines_) line->clear();
}

double TrendChart::timeWindow(double now) const {
    // Only a hand-edited mem.ini can hold a window without width (the dialog refuses it): the
    // axis would be widened to years ahead and never move again.
    const double window = ini_.readFloat(keys::kWindowDays, kDefaultWindow);
    return window > 0 && now + window > now ? window : kDefaultWindow;
}

void TrendChart::setTimeWindow(double now) {
    plot_.bottomAxis()->setMinMax(now, now + timeWindow(now));
}

void TrendChart::applyTimeWindow(double now) {
    moveTimeAxis(now, true);
}

void TrendChart::addChartPoints(const ReadTransaction& record, int channelCount, double now) {
    for (XYLine* line : lines_) line->setLockInvalidate(true);
    const std::array<int, kChartSlots> assigned = assignSlots(ini_, channelCount);
    for (int k = 0; k < kChartSlots; ++k) {
        const int channel = assigned[static_cast<std::size_t>(k)];
        if (channel == 0) continue;
        const double t = temperature(record.registers[channel - 1]);
        if (t >= -50.0) lines_[static_cast<std::size_t>(k)]->addXY(now, t);
    }
    for (XYLine* line : lines_) line->setLockInvalidate(false);
    moveTimeAxis(now, false);
}

void TrendChart::moveTimeAxis(double now, bool always) {
    Axis* bottom = plot_.bottomAxis();
    const double window = timeWindow(now);
    if (bottom->min() > now && !always) {
        const double newMin = now - (bottom->max() - bottom->min()) * 0.1;
        bottom->setMinMax(newMin, newMin + window);
    }
    if (bottom->max() > now && !always) return;
    const double shift = ini_.readInteger(keys::kShiftPercent) * 0.01;
    if (ini_.readInteger(keys::kShowAll) != 0) {
        double start = 0;
        for (XYLine* line : lines_) {
            if (line->count() == 0) continue;
            const double first = line->xValue(0);
            if (start == 0 || first < start) start = first;
        }
        if (start == 0) {
            // Nothing drawn yet: the range of a start-up, from now one window wide.
            if (always) {
                bottom->setMinMax(now, now + window);
                return;
            }
            start = bottom->min();
        }
        bottom->setMinMax(start, now + (now - start) * shift);
    } else {
        const double d = shift * window;
        bottom->setMinMax(now - window + d, now + d);
    }
}

}  // namespace kvel
