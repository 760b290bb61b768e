#include "plot/block_index.h"

namespace kvel {

void BlockIndex::append(double v) {
    if (count_ % kBlock == 0) {
        // Grown by an eighth rather than doubled: spare room costs memory on every point of
        // a long history, and appending stays O(1) amortised.
        if (min_.size() == min_.capacity()) {
            const std::size_t more = min_.capacity() + min_.capacity() / 8 + 64;
            min_.reserve(more);
            max_.reserve(more);
        }
        min_.push_back(low(v));
        max_.push_back(high(v));
    } else {
        min_.back() = std::min(min_.back(), low(v));
        max_.back() = std::max(max_.back(), high(v));
    }
    ++count_;
}

void BlockIndex::clear() {
    min_.clear();
    max_.clear();
    count_ = 0;
}

std::size_t BlockIndex::memoryBytes() const {
    return (min_.capacity() + max_.capacity()) * sizeof(double);
}

}  // namespace kvel
