#include "chart/log_chart.h"

#include "chart/trend_chart.h"

namespace kvel {

static_assert(kLogChannels == kChartSlots, "one slot colour per logged channel");

std::array<int, kLogChannels> logChannelSlots(const MemIni& ini) {
    std::array<int, kLogChannels> slotOfChannel{};
    std::array<bool, kChartSlots + 1> taken{};
    const std::array<int, kChartSlots> shown = assignSlots(ini, kLogChannels);
    for (int k = 0; k < kChartSlots; ++k) {
        const int channel = shown[std::size_t(k)];
        if (channel < 1 || channel > kLogChannels) continue;
        slotOfChannel[std::size_t(channel - 1)] = k + 1;
        taken[std::size_t(k + 1)] = true;
    }
    int free = 1;
    for (int& slot : slotOfChannel) {
        if (slot != 0) continue;
        while (taken[std::size_t(free)]) ++free;
        slot = free;
        taken[std::size_t(free)] = true;
    }
    return slotOfChannel;
}

LogChart::LogChart(XYPlot& plot, const MemIni& ini) : plot_(plot), slots_(logChannelSlots(ini)) {
    for (std::size_t k = 0; k < lines_.size(); ++k) {
        lineOwners_[k] = std::make_unique<XYLine>();
        lineOwners_[k]->setPlot(&plot_);
        lines_[k] = lineOwners_[k].get();
    }
    TrendChart(plot_, lines_, ini).stylePlot();
    const std::array<int, kChartSlots> shown = assignSlots(ini, kLogChannels);
    for (int c = 1; c <= kLogChannels; ++c) {
        const int slot = slotOf(c);
        line(c)->lineAttr()->setColor(kSlotColors[std::size_t(slot - 1)]);
        // A channel on the main chart keeps its value axis; the others are read on the left.
        const bool onMainChart = shown[std::size_t(slot - 1)] == c;
        line(c)->setYAxis(!onMainChart || slotOnLeftAxis(ini, slot) ? YAxisChoice::Left
                                                                    : YAxisChoice::Right);
    }
}

LogChart::~LogChart() = default;

void LogChart::fill(const LogData& data) {
    for (int c = 1; c <= kLogChannels; ++c) {
        XYLine& l = *line(c);
        l.setLockInvalidate(true);
        l.clear();
        bool gap = false;
        for (int row = 0; row < data.rows(); ++row) {
            if (!data.hasReading(row, c)) {
                gap = true;
                continue;
            }
            if (gap) l.addBreak();
            gap = false;
            l.addXY(data.times[std::size_t(row)], data.value(row, c));
        }
    }
    for (XYLine* l : lines_) l->setLockInvalidate(false);
    plot_.invalidate();
}

void LogChart::standardView() {
    Axis& bottom = *plot_.bottomAxis();
    // Each switch-on fits the axis to the data; switching off again keeps that range.
    bottom.setAutoMin(true);
    bottom.setAutoMax(true);
    bottom.setAutoMin(false);
    bottom.setAutoMax(false);
    for (Axis* axis : {plot_.leftAxis(), plot_.rightAxis()}) {
        axis->setAutoMin(false);
        axis->setAutoMax(false);
        axis->setAutoMin(true);
        axis->setAutoMax(true);
    }
}

void LogChart::setTimeRange(double from, double to) {
    plot_.bottomAxis()->setMinMax(from, to);
}

void LogChart::setChannelShown(int channel, bool shown) {
    line(channel)->setActive(shown && hasReadings(channel));
}

}  // namespace kvel
