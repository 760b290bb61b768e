// Statistics of a log's readings between two times: per channel the lowest, highest and mean
// reading and the time spent above a threshold, and the same as text to paste elsewhere.
#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "core/log_file.h"

namespace kvel {

struct ChannelStats {
    int channel = 0;
    int readings = 0;  // 0: no reading between the times; the rest is then meaningless
    double min = 0, max = 0, mean = 0;
    // Seconds the curve (straight between neighbouring readings, broken at gaps) lies above
    // the threshold.
    double secondsAbove = 0;
};

// The channels' statistics over the rows from `from` to `to` (days since 30.12.1899).
// Empty when `cancel` was set before it was done (it is looked at every few thousand rows).
std::vector<ChannelStats> logStats(const LogData& data, double from, double to,
                                   const std::vector<int>& channels, double threshold,
                                   const std::atomic<bool>* cancel = nullptr);

// Tab-separated, one line per channel under a head with the times and the threshold; the names
// are those of `channels` in order. Lines end in "\n".
std::string logStatsText(const std::vector<ChannelStats>& stats,
                         const std::vector<std::string>& names, double from, double to,
                         double threshold);

}  // namespace kvel
