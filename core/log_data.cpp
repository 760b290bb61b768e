// The compact table of a log's readings and its min/max summary.
#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "core/log_file.h"

namespace kvel {
namespace {

constexpr int kChunkRows = 1 << 16;
constexpr double kEpochDay = 25569;  // 1.1.1970
// A reading is stored as hundredths of a degree from the channel's first reading in the same
// chunk, in 16 bits: 0 is no reading, kOdd a reading kept aside (too far from that first one,
// or finer than hundredths).
constexpr std::uint16_t kOdd = 0xFFFF;
constexpr int kUnset = std::numeric_limits<int>::min();
// Summary levels: blocks of 64 rows, and of 64 such blocks.
constexpr int kBlockRows[2] = {64, 64 * 64};
// A step this many times the usual one breaks the curves.
constexpr double kGapSteps = 10;

float noReading() {
    return std::numeric_limits<float>::quiet_NaN();
}

}  // namespace

struct LogData::Chunk {
    std::array<std::uint32_t, kChunkRows> seconds;
    std::array<std::uint16_t, std::size_t(kChunkRows) * kLogChannels> stored;
    std::array<int, kLogChannels> base;
};

LogData::LogData() = default;
LogData::~LogData() = default;
LogData::LogData(LogData&&) noexcept = default;
LogData& LogData::operator=(LogData&&) noexcept = default;

int LogData::skippedTotal() const {
    return std::accumulate(skipped.begin(), skipped.end(), 0);
}

std::uint16_t LogData::raw(int row, int channel) const {
    return chunks_[std::size_t(row / kChunkRows)]
        ->stored[std::size_t(row % kChunkRows) * kLogChannels + std::size_t(channel - 1)];
}

double LogData::time(int row) const {
    const std::uint32_t s =
        chunks_[std::size_t(row / kChunkRows)]->seconds[std::size_t(row % kChunkRows)];
    return kEpochDay + double(s) / 86400.0;
}

float LogData::value(int row, int channel) const {
    const std::uint16_t s = raw(row, channel);
    if (s == 0) return noReading();
    if (s == kOdd) {
        const std::uint64_t key = std::uint64_t(row) * kLogChannels + std::uint64_t(channel - 1);
        const auto it = std::lower_bound(odd_.begin(), odd_.end(), std::pair{key, -HUGE_VALF});
        return it != odd_.end() && it->first == key ? it->second : noReading();
    }
    const int base = chunks_[std::size_t(row / kChunkRows)]->base[std::size_t(channel - 1)];
    return float(double(base + int(s)) / 100.0);
}

bool LogData::append(double when, const std::array<float, kLogChannels>& values) {
    if (rows_ % kChunkRows == 0) {
        chunks_.push_back(std::unique_ptr<Chunk>(new Chunk));
        chunks_.back()->base.fill(kUnset);
    }
    Chunk& chunk = *chunks_.back();
    const std::size_t at = std::size_t(rows_ % kChunkRows);
    const double seconds = std::round((when - kEpochDay) * 86400.0);
    chunk.seconds[at] = std::uint32_t(seconds);
    if (rows_ > 0 && chunk.seconds[at] < (at > 0 ? chunk.seconds[at - 1] : 0)) sorted_ = false;
    if (rows_ > 0 && at == 0) {
        const Chunk& before = *chunks_[chunks_.size() - 2];
        if (chunk.seconds[0] < before.seconds[kChunkRows - 1]) sorted_ = false;
    }
    for (int c = 0; c < kLogChannels; ++c) {
        std::uint16_t& out = chunk.stored[at * kLogChannels + std::size_t(c)];
        const float v = values[std::size_t(c)];
        if (std::isnan(v)) {
            out = 0;
            continue;
        }
        const double h = double(v) * 100.0;
        // Rounded half away from zero without a library call: this runs for every reading.
        const double whole = double(static_cast<long long>(h + (h >= 0 ? 0.5 : -0.5)));
        int& base = chunk.base[std::size_t(c)];
        if (base == kUnset && std::fabs(whole) < 1e9) base = int(whole) - 32767;
        const double offset = whole - base;
        if (std::fabs(h - whole) < 0.02 && offset >= 1 && offset < kOdd) {
            out = std::uint16_t(offset);
        } else {
            out = kOdd;
            odd_.emplace_back(std::uint64_t(rows_) * kLogChannels + std::uint64_t(c), v);
        }
    }
    ++rows_;
    return true;
}

void LogData::finish() {
    if (!sorted_) sortByTime();
    // The usual step: the median of up to 4001 steps spread over the log.
    std::vector<double> steps;
    if (rows_ >= 2) {
        const int samples = std::min(rows_ - 1, 4001);
        for (int k = 0; k < samples; ++k) {
            const int row = 1 + int((long long)k * (rows_ - 1) / samples);
            steps.push_back(time(row) - time(row - 1));
        }
        std::nth_element(steps.begin(), steps.begin() + steps.size() / 2, steps.end());
        usualStep_ = std::max(steps[steps.size() / 2], 1.0 / 86400);
    }
    buildSummary();
}

void LogData::sortByTime() {
    std::vector<std::uint32_t> order(static_cast<std::size_t>(rows_));
    std::iota(order.begin(), order.end(), 0u);
    const auto seconds = [this](std::uint32_t row) {
        return chunks_[row / kChunkRows]->seconds[row % kChunkRows];
    };
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return seconds(a) < seconds(b); });
    LogData sorted;
    std::array<float, kLogChannels> values{};
    for (const std::uint32_t row : order) {
        for (int c = 1; c <= kLogChannels; ++c) values[std::size_t(c - 1)] = value(int(row), c);
        sorted.append(time(int(row)), values);
    }
    chunks_ = std::move(sorted.chunks_);
    odd_ = std::move(sorted.odd_);
    sorted_ = true;
}

void LogData::buildSummary() {
    const float inf = std::numeric_limits<float>::infinity();
    const int blocks0 = (rows_ + kBlockRows[0] - 1) / kBlockRows[0];
    std::vector<float>& low = summary_[0];
    low.assign(std::size_t(blocks0) * kLogChannels * 2, 0);
    // Level 0 straight from the stored steps of each chunk: the extremes of a block are found
    // on the 16-bit numbers and turned into degrees once.
    for (int b = 0; b < blocks0; ++b) {
        const Chunk& chunk = *chunks_[std::size_t(b * kBlockRows[0] / kChunkRows)];
        const int first = b * kBlockRows[0], end = std::min(rows_, first + kBlockRows[0]);
        std::array<int, kLogChannels> mn, mx;
        std::array<bool, kLogChannels> odd{};
        mn.fill(kOdd);
        mx.fill(0);
        for (int row = first; row < end; ++row) {
            const std::uint16_t* stored =
                &chunk.stored[std::size_t(row % kChunkRows) * kLogChannels];
            for (int c = 0; c < kLogChannels; ++c) {
                const int v = stored[c];
                if (v == 0) continue;
                if (v == kOdd) {
                    odd[std::size_t(c)] = true;
                    continue;
                }
                mn[std::size_t(c)] = std::min(mn[std::size_t(c)], v);
                mx[std::size_t(c)] = std::max(mx[std::size_t(c)], v);
            }
        }
        for (int c = 0; c < kLogChannels; ++c) {
            float lo = inf, hi = -inf;
            if (mx[std::size_t(c)] != 0) {
                const int base = chunk.base[std::size_t(c)];
                lo = float(double(base + mn[std::size_t(c)]) / 100.0);
                hi = float(double(base + mx[std::size_t(c)]) / 100.0);
            }
            if (odd[std::size_t(c)]) {
                for (int row = first; row < end; ++row) {
                    if (raw(row, c + 1) != kOdd) continue;
                    const float v = value(row, c + 1);
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
            }
            const std::size_t at = (std::size_t(b) * kLogChannels + std::size_t(c)) * 2;
            low[at] = lo;
            low[at + 1] = hi;
        }
    }
    const int per = kBlockRows[1] / kBlockRows[0];
    const int blocks1 = (blocks0 + per - 1) / per;
    std::vector<float>& high = summary_[1];
    high.assign(std::size_t(blocks1) * kLogChannels * 2, 0);
    for (int b = 0; b < blocks1; ++b) {
        for (int c = 0; c < kLogChannels; ++c) {
            float lo = inf, hi = -inf;
            for (int k = b * per; k < std::min(blocks0, (b + 1) * per); ++k) {
                const std::size_t at = (std::size_t(k) * kLogChannels + std::size_t(c)) * 2;
                lo = std::min(lo, low[at]);
                hi = std::max(hi, low[at + 1]);
            }
            const std::size_t at = (std::size_t(b) * kLogChannels + std::size_t(c)) * 2;
            high[at] = lo;
            high[at + 1] = hi;
        }
    }
}

ReadingExtent LogData::extent(int channel, int first, int end) const {
    float mn = std::numeric_limits<float>::infinity(), mx = -mn;
    const auto takeRow = [&](int row) {
        if (!hasReading(row, channel)) return;
        const float v = value(row, channel);
        mn = std::min(mn, v);
        mx = std::max(mx, v);
    };
    const auto takeBlock = [&](int level, int b) {
        const std::vector<float>& s = summary_[std::size_t(level)];
        const std::size_t at = (std::size_t(b) * kLogChannels + std::size_t(channel - 1)) * 2;
        mn = std::min(mn, s[at]);
        mx = std::max(mx, s[at + 1]);
    };
    first = std::max(first, 0);
    end = std::min(end, rows_);
    int row = first;
    while (row < end && row % kBlockRows[0] != 0) takeRow(row++);
    while (row + kBlockRows[0] <= end) {
        if (row % kBlockRows[1] == 0 && row + kBlockRows[1] <= end) {
            takeBlock(1, row / kBlockRows[1]);
            row += kBlockRows[1];
        } else {
            takeBlock(0, row / kBlockRows[0]);
            row += kBlockRows[0];
        }
    }
    while (row < end) takeRow(row++);
    if (mn > mx) return {};
    return {mn, mx, true};
}

double LogData::secondsOf(int row) const {
    return double(chunks_[std::size_t(row / kChunkRows)]->seconds[std::size_t(row % kChunkRows)]);
}

// Times are compared in seconds with a millisecond's tolerance: a time typed or taken from an
// axis is the same second as a line's although its days were summed otherwise.
int LogData::rowAtOrAfter(double t) const {
    const double at = (t - kEpochDay) * 86400.0 - 0.001;
    int lo = 0, hi = rows_;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (secondsOf(mid) < at) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

int LogData::rowAfter(double t) const {
    const double at = (t - kEpochDay) * 86400.0 + 0.001;
    int lo = 0, hi = rows_;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (secondsOf(mid) <= at) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

bool LogData::gapBefore(int row) const {
    return row > 0 && row < rows_ && time(row) - time(row - 1) > kGapSteps * usualStep_;
}

bool LogData::valueAt(int channel, double t, double& v) const {
    const int row = rowAtOrAfter(t);
    if (row >= rows_) return false;
    if (std::fabs(time(row) - t) * 86400.0 < 0.001) {
        if (!hasReading(row, channel)) return false;
        v = value(row, channel);
        return true;
    }
    if (row == 0 || gapBefore(row) || !hasReading(row, channel) || !hasReading(row - 1, channel)) {
        return false;
    }
    const double t0 = time(row - 1), t1 = time(row);
    const double a = value(row - 1, channel), b = value(row, channel);
    v = a + (b - a) * (t - t0) / (t1 - t0);
    return true;
}

}  // namespace kvel
