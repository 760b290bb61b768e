// A series of points stored in blocks, with cached extrema and breaks between lines.
#pragma once

#include <array>
#include <memory>
#include <utility>
#include <vector>

#include "plot/block_index.h"
#include "plot/data_series.h"
#include "plot/line_attr.h"

namespace kvel {

// Points in blocks of 32, so that growing never moves the points already held.
class XYDataSeries : public DataSeries, protected AttrOwner {
  public:
    static constexpr int kGrowth = 32;

    XYDataSeries();

    int count() const { return count_; }
    int capacity() const { return int(blocks_.size()) * kGrowth; }
    // i must lie in 0 .. count() − 1.
    double xValue(int i) const { return blocks_[i / kGrowth]->x[i % kGrowth]; }
    double yValue(int i) const { return blocks_[i / kGrowth]->y[i % kGrowth]; }
    // The values held contiguously from point i on: a pointer to value i and their number.
    std::pair<const double*, int> xChunk(int i) const {
        return {&blocks_[i / kGrowth]->x[i % kGrowth], kGrowth - i % kGrowth};
    }
    std::pair<const double*, int> yChunk(int i) const {
        return {&blocks_[i / kGrowth]->y[i % kGrowth], kGrowth - i % kGrowth};
    }
    // True while the X values never decrease; then the visible run is found by bisection.
    bool xAscending() const { return xAscending_; }
    // Extremes of the Y values per block of points, for drawing long runs by pixel column.
    const BlockIndex& yIndex() const { return yIndex_; }
    // Changes with every Clear: the points before count() are the same while it stays.
    int generation() const { return generation_; }

    // Appends; when canPlot, reports a data change: the plot re-fits and replots.
    void addXY(double x, double y);
    // Empties the series; the storage keeps its capacity.
    void clear();
    // The next point appended starts a new line: no segment joins it to the point before (a
    // time without a reading). Nothing while the series is empty.
    void addBreak();
    // Indices of the points that start a new line, ascending.
    const std::vector<int>& breaks() const { return breaks_; }
    // True when point i starts a new line (no segment joins it to point i − 1).
    bool breakBefore(int i) const;
    bool lockInvalidate() const { return locked_; }
    void setLockInvalidate(bool v);
    bool canPlot() const { return !locked_ && plot_; }

    LineAttr* lineAttr() { return &lineAttr_; }
    void setLineAttr(const LineAttr& a);

    std::optional<double> xMin() const override { return extremum(xMin_); }
    std::optional<double> xMax() const override { return extremum(xMax_); }
    std::optional<double> yMin() const override { return extremum(yMin_); }
    std::optional<double> yMax() const override { return extremum(yMax_); }

  protected:
    void append(double x, double y);
    // One of the four extrema; none while the series is empty.
    std::optional<double> extremum(double v) const {
        return count_ > 0 ? std::optional<double>(v) : std::nullopt;
    }
    // A line or point attribute changed: the plot replots.
    void attrChanged() override;

    struct Block {
        std::array<double, kGrowth> x, y;
    };
    std::vector<std::unique_ptr<Block>> blocks_;
    int count_ = 0;
    // Kept up to date by append(); meaningful while count() > 0.
    double xMin_ = 0, xMax_ = 0, yMin_ = 0, yMax_ = 0;
    bool xAscending_ = true;
    BlockIndex yIndex_;
    int generation_ = 0;
    std::vector<int> breaks_;
    LineAttr lineAttr_;
    bool locked_ = false;
};

}  // namespace kvel
