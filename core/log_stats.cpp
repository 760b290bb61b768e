#include "core/log_stats.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <utility>

#include "core/csv_export.h"

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
    if (s >= 86400) {
        std::snprintf(text, sizeof text, "%lld д %02lld:%02lld:%02lld", s / 86400, s % 86400 / 3600,
                      s / 60 % 60, s % 60);
    } else {
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", s / 3600, s / 60 % 60, s % 60);
    }
    return text;
}

}  // namespace

std::vector<ChannelStats> logStats(const LogData& data, double from, double to,
                                   const std::vector<int>& channels, double threshold) {
    if (from > to) std::swap(from, to);
    const int first = data.rowAtOrAfter(from), end = data.rowAfter(to);
    std::vector<ChannelStats> out;
    for (const int c : channels) {
        ChannelStats s;
        s.channel = c;
        double sum = 0;
        // Each reading is looked up once (a long log's are read back from its file); the one
        // before is kept, not looked up again.
        float before = std::numeric_limits<float>::quiet_NaN();
        for (int row = first; row < end; ++row) {
            const float reading = data.value(row, c);
            const float a = std::exchange(before, reading);
            if (std::isnan(reading)) continue;
            const double v = reading;
            s.min = s.readings == 0 ? v : std::min(s.min, v);
            s.max = s.readings == 0 ? v : std::max(s.max, v);
            sum += v;
            ++s.readings;
            if (row == first || data.gapBefore(row) || std::isnan(a)) continue;
            // The part of the segment from the row before that lies above the threshold.
            const double b = v;
            const double seconds = (data.time(row) - data.time(row - 1)) * 86400.0;
            if (a > threshold && b > threshold) {
                s.secondsAbove += seconds;
            } else if (a > threshold || b > threshold) {
                const double high = std::max<double>(a, b), low = std::min<double>(a, b);
                s.secondsAbove += seconds * (high - threshold) / (high - low);
            }
        }
        if (s.readings > 0) s.mean = sum / s.readings;
        out.push_back(s);
    }
    return out;
}

std::string logStatsText(const std::vector<ChannelStats>& stats,
                         const std::vector<std::string>& names, double from, double to,
                         double threshold) {
    if (from > to) std::swap(from, to);
    std::string text = "С\t" + isoDateTime(from) + "\nПо\t" + isoDateTime(to) + "\nПорог, °C\t" +
                       fixed2(threshold) + "\n";
    text += "Канал\tМинимум\tМаксимум\tСреднее\tВыше порога\n";
    for (std::size_t i = 0; i < stats.size(); ++i) {
        const ChannelStats& s = stats[i];
        text += i < names.size() ? names[i] : "Канал " + std::to_string(s.channel);
        if (s.readings == 0) {
            text += "\tнет показаний\n";
            continue;
        }
        text += "\t" + fixed2(s.min) + "\t" + fixed2(s.max) + "\t" + fixed2(s.mean) + "\t" +
                span(s.secondsAbove) + "\n";
    }
    return text;
}

}  // namespace kvel
