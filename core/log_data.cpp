// The table of a log's times, its min/max summary, and its readings, held or read back.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <deque>
#include <limits>
#include <mutex>
#include <numeric>
#include <unordered_map>
#include <utility>

#include "core/log_file.h"

namespace kvel {
namespace {

constexpr double kEpochDay = 25569;  // 1.1.1970
// Summary levels: blocks of 64 rows, and of 64 such blocks.
constexpr int kBlockRows[2] = {64, 64 * 64};
static_assert(kBlockRows[0] == LogData::kPageRows, "a page is a summary block");
// A step this many times the usual one breaks the curves.
constexpr double kGapSteps = 10;
// Pages read back that are kept (about 4 MB): a narrow view or a read-out needs a few dozen.
constexpr std::size_t kCachedPages = 1024;
constexpr std::uint64_t kOffsetMask = (std::uint64_t(1) << 40) - 1;
constexpr std::size_t kSummaryWidth = std::size_t(kLogChannels) * 2;
// A block of the first level also holds the readings of its first and of its last row.
constexpr std::size_t kBlockWidth = kSummaryWidth * 2;
constexpr std::size_t kFirstAt = kSummaryWidth, kLastAt = kSummaryWidth + kLogChannels;

float noReading() {
    return std::numeric_limits<float>::quiet_NaN();
}

std::uint32_t secondsOfDay(double when) {
    return std::uint32_t(std::llround((when - kEpochDay) * 86400.0));
}

// Reads exactly `size` bytes at `offset`; false on an error or a file that became shorter.
bool readAt(int fd, long long offset, std::string& out, std::size_t size) {
    out.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, out.data() + done, size - done, off_t(offset + done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += std::size_t(n);
    }
    return true;
}

}  // namespace

struct LogData::Store {
    struct Source {
        int fd = -1;
        long long size = 0;
    };
    ~Store() {
        for (const Source& s : sources) ::close(s.fd);
    }
    long long heldRows = std::numeric_limits<long long>::max();
    // While true every row's readings are in `held` (file order); once the log outgrew
    // heldRows they are read back from `sources`.
    bool holding = true;
    std::vector<std::unique_ptr<Page>> held;
    std::vector<Source> sources;
    std::mutex mutex;
    std::unordered_map<int, std::unique_ptr<Page>> cache;
    std::deque<int> cacheOrder;  // oldest first
    int lastPage = -1;
    const Page* last = nullptr;
    bool changed = false;
};

LogData::LogData() : store_(std::make_unique<Store>()) {}
LogData::~LogData() = default;
LogData::LogData(LogData&&) noexcept = default;
LogData& LogData::operator=(LogData&&) noexcept = default;

int LogData::skippedTotal() const {
    return std::accumulate(skipped.begin(), skipped.end(), 0);
}

void LogData::holdReadingsUpTo(long long rows) {
    store_->heldRows = rows;
}

void LogData::keepSource(int fd, long long size) {
    store_->sources.push_back({fd, size});
}

bool LogData::sourceChanged() const {
    std::lock_guard lock(store_->mutex);
    return store_->changed;
}

double LogData::time(int row) const {
    return kEpochDay + secondsOf(row) / 86400.0;
}

const LogData::Page& LogData::cachedPage(int page) const {
    Store& s = *store_;
    // Most look-ups are of the page looked up last.
    if (page == s.lastPage) return *s.last;
    auto it = s.cache.find(page);
    if (it == s.cache.end()) {
        auto read = std::make_unique<Page>();
        if (!readBack(page, *read)) {
            read->fill(noReading());
            s.changed = true;
        }
        if (s.cache.size() >= kCachedPages) {
            if (s.cacheOrder.front() == s.lastPage) s.lastPage = -1;
            s.cache.erase(s.cacheOrder.front());
            s.cacheOrder.pop_front();
        }
        s.cacheOrder.push_back(page);
        it = s.cache.emplace(page, std::move(read)).first;
    }
    s.lastPage = page;
    s.last = it->second.get();
    return *s.last;
}

float LogData::value(int row, int channel) const {
    const std::uint32_t i = fileIndex(row);
    const int page = int(i / kPageRows);
    const std::size_t at = std::size_t(i % kPageRows) * kLogChannels + std::size_t(channel - 1);
    Store& s = *store_;
    // Held readings never change after the log was read: no lock is needed.
    if (s.holding) return (*s.held[std::size_t(page)])[at];
    std::lock_guard lock(s.mutex);
    return cachedPage(page)[at];
}

void LogData::readings(int row, std::array<float, kLogChannels>& out) const {
    const std::uint32_t i = fileIndex(row);
    const int page = int(i / kPageRows);
    const auto at = std::ptrdiff_t(i % kPageRows) * kLogChannels;
    Store& s = *store_;
    if (s.holding) {
        const Page& held = *s.held[std::size_t(page)];
        std::copy(held.begin() + at, held.begin() + at + kLogChannels, out.begin());
        return;
    }
    std::lock_guard lock(s.mutex);
    const Page& cached = cachedPage(page);
    std::copy(cached.begin() + at, cached.begin() + at + kLogChannels, out.begin());
}

bool LogData::readBack(int page, Page& out) const {
    out.fill(noReading());
    const Store& s = *store_;
    const std::size_t first = std::size_t(page) * kPageRows;
    const std::size_t count = std::min<std::size_t>(kPageRows, seconds_.size() - first);
    std::size_t file = std::size_t(pageAt_[std::size_t(page)] >> 40);
    long long offset = (long long)(pageAt_[std::size_t(page)] & kOffsetMask);
    const bool hasNext = std::size_t(page) + 1 < pageAt_.size();
    const std::uint64_t next = hasNext ? pageAt_[std::size_t(page) + 1] : 0;
    std::size_t k = 0;
    std::string text;
    std::array<float, kLogChannels> values{};
    for (; k < count && file < s.sources.size(); ++file, offset = 0) {
        const Store::Source& source = s.sources[file];
        struct stat st {};
        if (::fstat(source.fd, &st) != 0 || st.st_size < source.size) return false;
        const long long end =
            hasNext && (next >> 40) == file ? (long long)(next & kOffsetMask) : source.size;
        if (end < offset || !readAt(source.fd, offset, text, std::size_t(end - offset))) {
            return false;
        }
        // The lines that were taken are those that read as data lines at the rows' times:
        // a line left out for its time never has the time of the row after it.
        std::string_view rest = text;
        bool firstLine = offset == 0;
        while (!rest.empty() && k < count) {
            std::size_t cut = rest.find('\n');
            std::string_view line = rest.substr(0, cut);
            // A file's last line without its end was taken only with its closing TAB.
            const bool torn = cut == std::string_view::npos && end == source.size &&
                              (line.empty() || (line.back() != '\t' && line.back() != '\r'));
            rest.remove_prefix(cut == std::string_view::npos ? rest.size() : cut + 1);
            double when = 0;
            const bool atStart = std::exchange(firstLine, false);
            if (torn || !readLogLine(line, atStart, when, values)) continue;
            if (secondsOfDay(when) != seconds_[first + k]) continue;
            std::copy(values.begin(), values.end(), out.begin() + std::ptrdiff_t(k * kLogChannels));
            ++k;
        }
    }
    return k == count;
}

void LogData::openBlock(const std::array<float, kLogChannels>& first) {
    const float inf = std::numeric_limits<float>::infinity();
    for (std::size_t c = 0; c < kSummaryWidth; c += 2) {
        block_[c] = inf;
        block_[c + 1] = -inf;
    }
    std::copy(first.begin(), first.end(), block_.begin() + kFirstAt);
    blockOpen_ = true;
}

void LogData::takeIntoBlock(const std::array<float, kLogChannels>& values) {
    // A channel without a reading (not a number) leaves its extremes as they are: min and max
    // keep their first argument then.
    for (std::size_t c = 0; c < std::size_t(kLogChannels); ++c) {
        block_[2 * c] = std::min(block_[2 * c], values[c]);
        block_[2 * c + 1] = std::max(block_[2 * c + 1], values[c]);
    }
    std::copy(values.begin(), values.end(), block_.begin() + kLastAt);
}

void LogData::closeBlock() {
    if (!std::exchange(blockOpen_, false)) return;
    for (const float v : block_) summary_[0].push_back(v);
}

bool LogData::append(double when, const std::array<float, kLogChannels>& values,
                     std::uint64_t where) {
    const std::uint32_t seconds = secondsOfDay(when);
    const std::size_t at = std::size_t(rows_);
    if (rows_ > 0 && seconds < seconds_[at - 1]) sorted_ = false;
    seconds_.push_back(seconds);
    Store& s = *store_;
    if (at % kPageRows == 0) {
        // The summary of a block is built here and stored whole once the block is done.
        closeBlock();
        openBlock(values);
        pageAt_.push_back(where);
        if (s.holding && rows_ >= s.heldRows) {
            // Too long to hold: from now on the readings are read back when asked for.
            s.holding = false;
            std::vector<std::unique_ptr<Page>>().swap(s.held);
        }
        if (s.holding) {
            s.held.push_back(std::make_unique<Page>());
            s.held.back()->fill(noReading());
        }
    }
    takeIntoBlock(values);
    if (s.holding) {
        std::copy(values.begin(), values.end(),
                  s.held.back()->begin() + std::ptrdiff_t(at % kPageRows * kLogChannels));
    }
    ++rows_;
    return true;
}

void LogData::finish() {
    closeBlock();
    if (!sorted_) {
        // The clock went back, or the files were not in time order: rows are kept in the
        // order of their lines and looked up through the time order.
        order_.resize(std::size_t(rows_));
        std::iota(order_.begin(), order_.end(), 0u);
        std::stable_sort(order_.begin(), order_.end(), [this](std::uint32_t a, std::uint32_t b) {
            return seconds_[a] < seconds_[b];
        });
        sorted_ = true;
    }
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

void LogData::buildSummary() {
    const float inf = std::numeric_limits<float>::infinity();
    const std::size_t blocks0 = std::size_t(rows_ + kBlockRows[0] - 1) / kBlockRows[0];
    if (!order_.empty()) {
        // The summary is of blocks in time order: taken again through that order.
        summary_[0] = {};
        std::array<float, kLogChannels> values{};
        for (int row = 0; row < rows_; ++row) {
            for (int c = 0; c < kLogChannels; ++c) values[std::size_t(c)] = value(row, c + 1);
            if (row % kBlockRows[0] == 0) {
                closeBlock();
                openBlock(values);
            }
            takeIntoBlock(values);
        }
        closeBlock();
    }
    const std::size_t per = kBlockRows[1] / kBlockRows[0];
    const std::size_t blocks1 = (blocks0 + per - 1) / per;
    summary_[1] = {};
    for (std::size_t b = 0; b < blocks1; ++b) {
        for (std::size_t c = 0; c < kSummaryWidth; c += 2) {
            float lo = inf, hi = -inf;
            for (std::size_t k = b * per; k < std::min(blocks0, (b + 1) * per); ++k) {
                lo = std::min(lo, summary_[0][k * kBlockWidth + c]);
                hi = std::max(hi, summary_[0][k * kBlockWidth + c + 1]);
            }
            summary_[1].push_back(lo);
            summary_[1].push_back(hi);
        }
    }
}

ReadingExtent LogData::extent(int channel, int first, int end) const {
    float mn = std::numeric_limits<float>::infinity(), mx = -mn;
    const auto takeRow = [&](int row) {
        const float v = value(row, channel);
        if (std::isnan(v)) return;
        mn = std::min(mn, v);
        mx = std::max(mx, v);
    };
    const auto takeBlock = [&](int level, int b) {
        const PiecedVector<float>& s = summary_[std::size_t(level)];
        const std::size_t at = std::size_t(b) * (level == 0 ? kBlockWidth : kSummaryWidth) +
                               std::size_t(channel - 1) * 2;
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

float LogData::blockFirst(int block, int channel) const {
    return summary_[0][std::size_t(block) * kBlockWidth + kFirstAt + std::size_t(channel - 1)];
}

float LogData::blockLast(int block, int channel) const {
    return summary_[0][std::size_t(block) * kBlockWidth + kLastAt + std::size_t(channel - 1)];
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
