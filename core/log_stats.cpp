#include "core/log_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "core/csv_export.h"
#include "core/shown_text.h"

namespace kvel {
namespace {

std::string fixed2(double v) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

std::string span(double seconds) {
    const long long s = std::llround(seconds);
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s % 86400 / 3600, s / 60 % 60, s % 60);
    if (s < 86400) return text;
    return shownText(QT_TRANSLATE_NOOP("KvelView", "%1 д %2"), {std::to_string(s / 86400), text});
}

}  // namespace

std::vector<ChannelStats> logStats(const LogData& data, double from, double to,
                                   const std::vector<int>& channels, double threshold,
                                   const std::atomic<bool>* cancel) {
    if (from > to) std::swap(from, to);
    const int first = data.rowAtOrAfter(from), end = data.rowAfter(to);
    const std::size_t n = channels.size();
    std::vector<ChannelStats> out(n);
    std::vector<double> sums(n, 0.0);
    // The reading of the row before, per channel: kept, not looked up again.
    std::vector<float> before(n, std::numeric_limits<float>::quiet_NaN());
    for (std::size_t i = 0; i < n; ++i) out[i].channel = channels[i];
    // Row by row, every channel at once: a long log's readings are read back from its file
    // once, not once per channel.
    for (int row = first; row < end; ++row) {
        if (cancel && row % kRowsBetweenCancelChecks == 0 && cancel->load()) return {};
        const bool joined = row > first && !data.gapBefore(row);
        const double seconds = joined ? (data.time(row) - data.time(row - 1)) * 86400.0 : 0;
        for (std::size_t i = 0; i < n; ++i) {
            ChannelStats& s = out[i];
            const float reading = data.value(row, channels[i]);
            const float a = std::exchange(before[i], reading);
            if (std::isnan(reading)) continue;
            const double v = reading;
            s.min = s.readings == 0 ? v : std::min(s.min, v);
            s.max = s.readings == 0 ? v : std::max(s.max, v);
            sums[i] += v;
            ++s.readings;
            if (!joined || std::isnan(a)) continue;
            // The part of the segment from the row before that lies above the threshold.
            if (a > threshold && v > threshold) {
                s.secondsAbove += seconds;
            } else if (a > threshold || v > threshold) {
                const double high = std::max<double>(a, v), low = std::min<double>(a, v);
                s.secondsAbove += seconds * (high - threshold) / (high - low);
            }
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        if (out[i].readings > 0) out[i].mean = sums[i] / out[i].readings;
    }
    return out;
}

std::string logStatsText(const std::vector<ChannelStats>& stats,
                         const std::vector<std::string>& names, double from, double to,
                         double threshold) {
    if (from > to) std::swap(from, to);
    std::string text =
        translatedText(QT_TRANSLATE_NOOP("KvelView", "С")) + "\t" + isoDateTime(from) + "\n" +
        translatedText(QT_TRANSLATE_NOOP("KvelView", "По")) + "\t" + isoDateTime(to) + "\n" +
        translatedText(QT_TRANSLATE_NOOP("KvelView", "Порог, °C")) + "\t" + fixed2(threshold) +
        "\n";
    text += translatedText(QT_TRANSLATE_NOOP("KvelView", "Канал")) + "\t" +
            translatedText(QT_TRANSLATE_NOOP("KvelView", "Минимум")) + "\t" +
            translatedText(QT_TRANSLATE_NOOP("KvelView", "Максимум")) + "\t" +
            translatedText(QT_TRANSLATE_NOOP("KvelView", "Среднее")) + "\t" +
            translatedText(QT_TRANSLATE_NOOP("KvelView", "Выше порога")) + "\n";
    for (std::size_t i = 0; i < stats.size(); ++i) {
        const ChannelStats& s = stats[i];
        text += i < names.size() ? names[i]
                                 : shownText(QT_TRANSLATE_NOOP("KvelView", "Канал %1"),
                                             {std::to_string(s.channel)});
        if (s.readings == 0) {
            text += "\t" + translatedText(QT_TRANSLATE_NOOP("KvelView", "нет показаний")) + "\n";
            continue;
        }
        text += "\t" + fixed2(s.min) + "\t" + fixed2(s.max) + "\t" + fixed2(s.mean) + "\t" +
                span(s.secondsAbove) + "\n";
    }
    return text;
}

}  // namespace kvel
