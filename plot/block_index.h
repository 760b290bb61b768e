// The lowest and the highest value of every block of 32 consecutive values of a series, kept
// up to date as values are appended, so that the extremes of a long run of points cost a few
// look-ups instead of a scan. A value that is not a number counts as both −∞ and +∞: a run
// that holds one reports infinite extremes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace kvel {

class BlockIndex {
  public:
    static constexpr int kBlock = 32;

    struct Extent {
        double min = 0, max = 0;
    };

    // O(1): updates the last block or starts a new one.
    void append(double v);
    // Forgets every value; the storage keeps its capacity.
    void clear();
    int count() const { return count_; }
    // The extremes of block b (its values so far when it is the last, partial one).
    Extent blockExtent(int b) const { return {min_[std::size_t(b)], max_[std::size_t(b)]}; }

    // Extremes of the values first … last (0 ≤ first ≤ last < count()). The series' own values
    // are read only where a block reaches beyond the run and could hold a new extreme:
    // chunk(i) gives a pointer to value i and how many values follow it contiguously (≥ 1).
    template <class Chunk>
    Extent query(int first, int last, Chunk chunk) const;

    // Bytes held for the blocks, spare capacity included.
    std::size_t memoryBytes() const;

    bool operator==(const BlockIndex& o) const {
        return count_ == o.count_ && min_ == o.min_ && max_ == o.max_;
    }

  private:
    static constexpr double kInf = std::numeric_limits<double>::infinity();
    static double low(double v) { return std::isnan(v) ? -kInf : v; }
    static double high(double v) { return std::isnan(v) ? kInf : v; }
    // Takes the values from … to − 1 into e; false when one is not a number.
    template <class Chunk>
    static bool scan(Extent& e, int from, int to, Chunk& chunk);

    // Per block (the last one may be partial).
    std::vector<double> min_, max_;
    int count_ = 0;
};

template <class Chunk>
bool BlockIndex::scan(Extent& e, int from, int to, Chunk& chunk) {
    while (from < to) {
        const auto [values, n] = chunk(from);
        const int count = std::min(to - from, int(n));
        for (int k = 0; k < count; ++k) {
            const double v = values[k];
            if (v != v) {
                e = {-kInf, kInf};
                return false;
            }
            e.min = std::min(e.min, v);
            e.max = std::max(e.max, v);
        }
        from += count;
    }
    return true;
}

template <class Chunk>
BlockIndex::Extent BlockIndex::query(int first, int last, Chunk chunk) const {
    Extent e{kInf, -kInf};
    const int inner = (first + kBlock - 1) / kBlock, outer = (last + 1) / kBlock;
    if (inner >= outer) {  // no whole block inside the run
        scan(e, first, last + 1, chunk);
        return e;
    }
    for (int b = inner; b < outer; ++b) {
        e.min = std::min(e.min, min_[std::size_t(b)]);
        e.max = std::max(e.max, max_[std::size_t(b)]);
    }
    // A block that reaches beyond the run matters only when its extremes are beyond the run's
    // so far; most often they are not, and its values need not be read.
    const auto edge = [&](int from, int to) {
        if (from >= to) return true;
        const Extent b = blockExtent(from / kBlock);
        if (b.min >= e.min && b.max <= e.max) return true;
        return scan(e, from, to, chunk);
    };
    if (edge(first, inner * kBlock)) edge(outer * kBlock, last + 1);
    return e;
}

}  // namespace kvel
