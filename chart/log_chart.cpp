#include "chart/log_chart.h"

#include <algorithm>
#include <cmath>

#include "chart/readout_format.h"
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

LogChart::LogChart(XYPlot& plot, const MemIni& ini)
    : plot_(plot), data_(std::make_shared<LogData>()), slots_(logChannelSlots(ini)) {
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
        names_[std::size_t(c - 1)] = QString::fromStdString(slotCaption(ini, c));
        // A channel on the main chart keeps its value axis; the others are read on the left.
        const bool onMainChart = shown[std::size_t(slot - 1)] == c;
        line(c)->setYAxis(!onMainChart || slotOnLeftAxis(ini, slot) ? YAxisChoice::Left
                                                                    : YAxisChoice::Right);
    }
    plot_.bottomAxis()->setNoTicksLabel(true);
    fillHook_ = QObject::connect(&plot_, &XYPlot::aboutToDraw,
                                 [this](QSize size) { fillView(size.width()); });
}

LogChart::~LogChart() {
    QObject::disconnect(fillHook_);
}

void LogChart::setData(std::shared_ptr<const LogData> data) {
    data_ = data ? std::move(data) : std::make_shared<LogData>();
    for (int c = 1; c <= kLogChannels; ++c) {
        hasReadings_[std::size_t(c - 1)] = data_->extent(c, 0, data_->rows()).any;
    }
    filledColumns_ = -1;
    // Without a log the time axis has no times to show (its range would read 30.12.99).
    plot_.bottomAxis()->setNoTicksLabel(data_->rows() == 0);
    plot_.updateLayout();
}

void LogChart::fillView(int columns) {
    const Axis& bottom = *plot_.bottomAxis();
    const double from = bottom.min(), to = bottom.max();
    columns = std::max(columns, 1);
    if (from == filledFrom_ && to == filledTo_ && columns == filledColumns_) return;
    filledFrom_ = from;
    filledTo_ = to;
    filledColumns_ = columns;
    for (XYLine* l : lines_) {
        l->setLockInvalidate(true);
        l->clear();
    }
    const LogData& d = *data_;
    const int first = d.rowAtOrAfter(from), end = d.rowAfter(to);
    if (end - first <= kRowsPerColumn * columns) {
        for (int c = 1; c <= kLogChannels; ++c) fillExact(*line(c), c, first, end);
    } else {
        fillColumns(columns, from, to);
    }
    // Unlocking lets the plot fit the value axes to what the view holds.
    for (XYLine* l : lines_) l->setLockInvalidate(false);
    if (d.sourceChanged()) emit sourceChanged();
}

void LogChart::fillExact(XYLine& l, int channel, int first, int end) {
    const LogData& d = *data_;
    bool gap = false;
    for (int row = first; row < end; ++row) {
        if (!d.hasReading(row, channel)) {
            gap = true;
            continue;
        }
        if (gap || (row > first && d.gapBefore(row))) l.addBreak();
        gap = false;
        l.addXY(d.time(row), d.value(row, channel));
    }
}

void LogChart::fillColumns(int columns, double from, double to) {
    const LogData& d = *data_;
    const double width = (to - from) / columns;
    const int first = d.rowAtOrAfter(from);
    const int last = d.rowAfter(to);
    // With hundreds of rows to a column, columns part at whole summary blocks (a shift of
    // less than an eighth of a pixel): every row still falls in exactly one column, and no
    // column's extremes need a long log's readings read back from its file.
    constexpr int kBlock = LogData::kPageRows;
    const bool whole = last - first >= 8 * kBlock * columns;
    std::array<bool, kLogChannels> gap{};
    for (int k = 0, a = first; k < columns; ++k) {
        int b = k + 1 == columns ? last : d.rowAtOrAfter(from + (k + 1) * width);
        if (whole && k + 1 < columns) {
            // Not across a gap: the column after it starts at its end, where the curves break.
            const int snapped = std::min(last, (b + kBlock / 2) / kBlock * kBlock);
            bool gapBetween = false;
            for (int row = std::min(b, snapped); row <= std::max(b, snapped); ++row) {
                gapBetween = gapBetween || d.gapBefore(row);
            }
            if (!gapBetween) b = snapped;
        }
        if (b <= a) continue;
        // A gap that ends in this column breaks every curve; one inside a column is narrower
        // than a pixel.
        const bool timeGap = a > first && d.gapBefore(a);
        const double t0 = d.time(a), t1 = d.time(b - 1), middle = (t0 + t1) / 2;
        const int firstBlock = (a + kBlock - 1) / kBlock, lastBlock = b / kBlock - 1;
        const bool edges = lastBlock >= firstBlock;
        const double e0 = edges ? d.time(firstBlock * kBlock) : 0;
        const double e1 = edges ? d.time(std::min(d.rows(), (lastBlock + 1) * kBlock) - 1) : 0;
        for (int c = 1; c <= kLogChannels; ++c) {
            const ReadingExtent e = d.extent(c, a, b);
            bool& broken = gap[std::size_t(c - 1)];
            if (!e.any) {
                broken = true;
                continue;
            }
            XYLine& l = *line(c);
            if (broken || timeGap) l.addBreak();
            broken = false;
            if (edges) {
                // A long log's readings would be read back from the file: the column is joined
                // to its neighbours at the first and last rows of the blocks it holds whole,
                // whose readings the summary keeps.
                const float v0 = d.blockFirst(firstBlock, c), v1 = d.blockLast(lastBlock, c);
                if (!std::isnan(v0)) l.addXY(e0, v0);
                l.addXY(middle, e.min);
                l.addXY(middle, e.max);
                if (!std::isnan(v1)) l.addXY(e1, v1);
                continue;
            }
            if (d.hasReading(a, c)) l.addXY(t0, d.value(a, c));
            l.addXY(middle, e.min);
            l.addXY(middle, e.max);
            if (d.hasReading(b - 1, c)) l.addXY(t1, d.value(b - 1, c));
        }
        a = b;
    }
}

void LogChart::standardView() {
    Axis& bottom = *plot_.bottomAxis();
    bottom.setAutoMin(false);
    bottom.setAutoMax(false);
    const LogData& d = *data_;
    if (d.rows() > 0) {
        const double t0 = d.time(0), t1 = d.time(d.rows() - 1);
        // The padding the plot gives a fitted axis.
        const double pad = t1 > t0 ? (t1 - t0) * 0.025 : 1.0 / 1440;
        bottom.setMinMax(t0 - pad, t1 + pad);
    }
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

bool LogChart::showsEnd() const {
    const LogData& d = *data_;
    return d.rows() > 0 && plot_.bottomAxis()->max() >= d.time(d.rows() - 1);
}

bool LogChart::viewSpansDays() const {
    const Axis& bottom = *plot_.bottomAxis();
    return std::floor(bottom.min()) != std::floor(bottom.max());
}

void LogChart::setChannelShown(int channel, bool shown) {
    line(channel)->setActive(shown && hasReadings(channel));
}

ChartCaption LogChart::caption(const QString& title) const {
    ChartCaption caption;
    caption.title = title;
    const Axis& bottom = *plot_.bottomAxis();
    caption.range =
        QString::fromStdString(formatDateTime(bottom.min()) + " — " + formatDateTime(bottom.max()));
    for (int c = 1; c <= kLogChannels; ++c) {
        if (line(c)->active()) {
            caption.legend.emplace_back(names_[std::size_t(c - 1)],
                                        kSlotColors[std::size_t(slotOf(c) - 1)]);
        }
    }
    return caption;
}

std::string logTimeText(const LogChart& chart, double t) {
    return chart.viewSpansDays() ? formatDateTime(t) : formatTimeOfDay(t);
}

LogChartMarkers::LogChartMarkers(XYPlot& plot, const LogChart& chart,
                                 const MarkerControls& controls)
    : ChartMarkers(plot, chart.lines(), controls), chart_(chart) {}

std::optional<CurveValue> LogChartMarkers::curveValue(int k, const XYLine&, double t) const {
    const LogData& d = chart_.data();
    const int channel = k + 1;
    double v = 0;
    if (!d.valueAt(channel, t, v)) return std::nullopt;
    const int row = d.rowAtOrAfter(t);
    const bool falling = row > 0 && d.hasReading(row - 1, channel) &&
                         d.value(row, channel) < d.value(row - 1, channel);
    return CurveValue{v, falling};
}

std::string LogChartMarkers::timeText(double t) const {
    return logTimeText(chart_, t);
}

std::string LogChartMarkers::spanText(double span) const {
    return formatSpan(span);
}

std::string LogChartMarkers::valueText(double value) const {
    return formatReading(value);
}

}  // namespace kvel
