#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "plot/block_index.h"
#include "plot/xy_line.h"

using namespace kvel;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kB = BlockIndex::kBlock;

// The extremes of values[from, to) computed plainly; a value that is not a number makes them
// infinite, as the index reports such a run.
BlockIndex::Extent Plain(const std::vector<double>& values, int from, int to) {
    BlockIndex::Extent e{kInf, -kInf};
    for (int i = from; i < to; ++i) {
        if (std::isnan(values[std::size_t(i)])) return {-kInf, kInf};
        e.min = std::min(e.min, values[std::size_t(i)]);
        e.max = std::max(e.max, values[std::size_t(i)]);
    }
    return e;
}

BlockIndex Indexed(const std::vector<double>& values) {
    BlockIndex index;
    for (double v : values) index.append(v);
    return index;
}

// Chunks of at most `size` values, as a series hands out its storage.
auto Chunks(const std::vector<double>& values, int size) {
    return [&values, size](int i) {
        return std::pair<const double*, int>(values.data() + i, size - i % size);
    };
}

std::vector<double> Noise(int n, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> d(-100, 100);
    std::vector<double> v(std::size_t(n), 0.0);
    for (double& x : v) x = d(rng);
    return v;
}

TEST(BlockIndex, AppendingOneByOneEqualsEveryBlockComputedAtOnce) {
    for (int n : {0, 1, kB - 1, kB, kB + 1, 2 * kB, 2 * kB + 1, 1000}) {
        const std::vector<double> values = Noise(n, unsigned(n));
        const BlockIndex index = Indexed(values);
        ASSERT_EQ(index.count(), n);
        for (int b = 0; b * kB < n; ++b) {
            const BlockIndex::Extent want = Plain(values, b * kB, std::min(n, (b + 1) * kB));
            EXPECT_EQ(index.blockExtent(b).min, want.min) << "n " << n << " block " << b;
            EXPECT_EQ(index.blockExtent(b).max, want.max) << "n " << n << " block " << b;
        }
    }
}

TEST(BlockIndex, ClearThenAppendEqualsAFreshIndex) {
    BlockIndex index = Indexed(Noise(3 * kB + 5, 1));
    index.clear();
    EXPECT_EQ(index.count(), 0);
    EXPECT_EQ(index, BlockIndex());
    // Fewer values than before, ending inside a block: no extreme of the old values survives.
    const std::vector<double> fresh(std::size_t(kB + 3), 1.0);
    for (double v : fresh) index.append(v);
    EXPECT_EQ(index, Indexed(fresh));
    EXPECT_EQ(index.blockExtent(0).max, 1.0);
}

TEST(BlockIndex, SeriesKeepsItsIndexAcrossAppendsAndClear) {
    XYLine s;
    const std::vector<double> first = Noise(200, 2), second = Noise(70, 3);
    for (std::size_t i = 0; i < first.size(); ++i) s.addXY(double(i), first[i]);
    EXPECT_EQ(s.yIndex(), Indexed(first));
    s.clear();
    for (std::size_t i = 0; i < second.size(); ++i) s.addXY(double(i), second[i]);
    EXPECT_EQ(s.yIndex(), Indexed(second));
}

TEST(BlockIndex, QueryOfEveryRunMatchesAPlainScan) {
    // Runs inside one block, across one boundary and over whole blocks, with extremes in the
    // edge blocks both inside and outside the run; chunks smaller and larger than a block.
    std::vector<double> values = Noise(5 * kB + 7, 4);
    values[std::size_t(kB + 3)] = 1000;  // the extremes of block 1, near its start
    values[std::size_t(2 * kB - 2)] = -1000;
    for (int chunk : {kB, kB / 2, 5}) {
        const BlockIndex index = Indexed(values);
        const auto at = Chunks(values, chunk);
        for (int first = 0; first < int(values.size()); ++first)
            for (int last = first; last < int(values.size()); ++last) {
                const BlockIndex::Extent got = index.query(first, last, at);
                const BlockIndex::Extent want = Plain(values, first, last + 1);
                ASSERT_EQ(got.min, want.min) << first << ".." << last << " chunk " << chunk;
                ASSERT_EQ(got.max, want.max) << first << ".." << last << " chunk " << chunk;
            }
    }
}

TEST(BlockIndex, ValuesThatAreNotNumbersMakeTheirRunsInfinite) {
    std::vector<double> values = Noise(4 * kB, 5);
    values[std::size_t(kB + 10)] = NAN;
    values[std::size_t(3 * kB)] = -kInf;
    const BlockIndex index = Indexed(values);
    EXPECT_EQ(index.blockExtent(1).min, -kInf);
    EXPECT_EQ(index.blockExtent(1).max, kInf);
    const auto at = Chunks(values, kB);
    struct Case {
        int first, last;
        double min, max;
    } cases[] = {
        {0, kB - 1, Plain(values, 0, kB).min, Plain(values, 0, kB).max},  // before it
        {kB + 11, 3 * kB - 1, Plain(values, kB + 11, 3 * kB).min,
         Plain(values, kB + 11, 3 * kB).max},  // its block, after it: read, not taken whole
        {0, 4 * kB - 1, -kInf, kInf},
        {kB + 10, kB + 10, -kInf, kInf},
        {3 * kB, 3 * kB + 5, -kInf, Plain(values, 3 * kB, 3 * kB + 6).max},
    };
    for (const Case& c : cases) {
        const BlockIndex::Extent e = index.query(c.first, c.last, at);
        EXPECT_EQ(e.min, c.min) << c.first << ".." << c.last;
        EXPECT_EQ(e.max, c.max) << c.first << ".." << c.last;
    }
}

TEST(BlockIndex, MemoryStaysBelowOneBytePerPoint) {
    BlockIndex index;
    for (int n = 1; n <= 600000; ++n) {
        index.append(n);
        if (n % 997 == 0 || n == 600000) {
            ASSERT_LE(index.memoryBytes(), std::size_t(n) + 2048) << n;
        }
    }
}

}  // namespace
