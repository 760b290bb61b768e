// Data series of the XY plot: attachment to a plot and axis choice, point storage with
// cached extrema, and the line series that draws its points as segments and marks.
//
// Series and plot know each other both ways: a series registers with its plot, the plot
// clears the series' plot reference when it goes, and a series unregisters when it goes.
// Events are std::function members; an empty one is not called.
#pragma once

#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "plot/block_index.h"
#include "plot/column_reduce.h"
#include "plot/scale_axis.h"

class XYPlot;
class XYLine;

enum class XAxisChoice { Bottom, Top };
enum class YAxisChoice { Left, Right };

// Base of everything the plot draws from data.
class DataSeries {
  public:
    enum class ChangeKind { Data, Appearance };

    DataSeries() = default;
    virtual ~DataSeries();
    DataSeries(const DataSeries&) = delete;
    DataSeries& operator=(const DataSeries&) = delete;

    XYPlot* plot() const { return plot_; }
    void setPlot(XYPlot* plot);
    XAxisChoice xAxis() const { return xAxis_; }
    void setXAxis(XAxisChoice v);
    YAxisChoice yAxis() const { return yAxis_; }
    void setYAxis(YAxisChoice v);
    bool active() const { return active_; }
    // Stores a change and lets the plot re-fit its axes (also while lockInvalidate is on).
    void setActive(bool v);
    QString legend() const { return legend_; }
    void setLegend(const QString& v);

    virtual void legendChanged() {}
    virtual void draw() = 0;
    virtual bool getXMin(double& v) = 0;
    virtual bool getXMax(double& v) = 0;
    virtual bool getYMin(double& v) = 0;
    virtual bool getYMax(double& v) = 0;
    virtual void drawLegendMarker(QPainter&, const QRect&) {}

    // Data changes let the plot re-fit the axes; appearance changes repaint the field.
    void dataChanged(ChangeKind kind);

    // The plot is going away: forget it without calling it.
    void plotDestroyed() { plot_ = nullptr; }

  protected:
    XYPlot* plot_ = nullptr;
    XAxisChoice xAxis_ = XAxisChoice::Bottom;
    YAxisChoice yAxis_ = YAxisChoice::Left;
    bool active_ = true;
    QString legend_;

  private:
    // Re-fits the two axes of one direction after the series moved between them.
    void axisBindingChanged(Axis* first, Axis* second);
};

// Points in blocks of 32, so that growing never moves the points already held.
class XYDataSeries : public DataSeries {
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

    // Appends; when canPlot, reports a data change and repaints the plot at once.
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

    bool getXMin(double& v) override;
    bool getXMax(double& v) override;
    bool getYMin(double& v) override;
    bool getYMax(double& v) override;

    virtual void attrChanged(void* sender);

  protected:
    void append(double x, double y);
    // One of the four extrema (a member pointer); false while the series is empty.
    bool getExtremum(double XYDataSeries::*which, double& v) const;

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

enum class PointKind { Rectangle, Ellipse, Diamond, Cross, Custom, Triangle, DownTriangle };

// Shape, size and colours of point marks; the fill is its brush part (colour, style).
class PointAttr {
  public:
    PointAttr() = default;
    PointAttr(const PointAttr&) = delete;
    PointAttr& operator=(const PointAttr&) = delete;

    QColor color() const { return color_; }
    void setColor(const QColor& v);
    Qt::BrushStyle style() const { return style_; }
    void setStyle(Qt::BrushStyle v);
    PointKind kind() const { return kind_; }
    void setKind(PointKind v);
    // Sizes are kept as half-extents: left hl, right hl + 1, top vt, bottom vt + 1, so a size
    // reads back odd (6 stores 3 and 4 and reads 7).
    int hSize() const { return hl_ + hr_; }
    void setHSize(int v);
    int vSize() const { return vt_ + vb_; }
    void setVSize(int v);
    int halfLeft() const { return hl_; }
    int halfRight() const { return hr_; }
    int halfTop() const { return vt_; }
    int halfBottom() const { return vb_; }
    bool visible() const { return visible_; }
    void setVisible(bool v);
    // Never wider than the smaller half-extent.
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int v);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& v);

    // Kind, visibility, sizes and the brush part; not the border.
    void assign(const PointAttr& s);
    // Border colour and width, solid, copy mode; the brush from the fill.
    void applyTo(QPainter& p) const;

    // Called with the attribute as sender when a stored value changes.
    std::function<void(PointAttr* sender)> onChange;

  private:
    void changed() {
        if (onChange) onChange(this);
    }
    // Stores a differing value and reports it.
    template <class T>
    void store(T& field, T v) {
        if (field == v) return;
        field = v;
        changed();
    }
    QColor color_ = Qt::white;
    Qt::BrushStyle style_ = Qt::SolidPattern;
    PointKind kind_ = PointKind::Rectangle;
    int hl_ = 2, hr_ = 3, vt_ = 2, vb_ = 3;
    bool visible_ = false;
    int borderWidth_ = 1;
    QColor borderColor_ = Qt::black;
};

// Draws its points as a line of segments and/or point marks.
class XYLine : public XYDataSeries {
  public:
    XYLine();

    PointAttr* pointAttr() { return &pointAttr_; }
    void setPointAttr(const PointAttr& a);

    // Called for PointKind::Custom marks with the series, the point's values and its pixel.
    std::function<void(XYLine* line, double xv, double yv, int x, int y)> onDrawCustomPoint;

    void draw() override;
    void drawLegendMarker(QPainter& p, const QRect& r) override;
    // Appends and draws only the new segment and mark, at once, without notifying the plot.
    void quickAddXY(double x, double y);

    // Draws a mark of the current kind around (x, y) with the painter's pen and brush.
    void drawMark(QPainter& p, int x, int y) const;

  private:
    void drawLines(QPainter& p, const Axis& xa, const Axis& ya);
    // A series with breaks: each line between two breaks drawn by itself.
    void drawBrokenLines(QPainter& p, const Axis& xa, const Axis& ya, bool solid, int columns,
                         int first, int last);
    void drawMarks(QPainter& p, const Axis& xa, const Axis& ya, int first, int last);
    // The run of points that can touch the painter's clip along X, and the number of pixel
    // columns the clip spans, widened by `margin`.
    int visibleRun(const QPainter& p, const Axis& xa, int margin, int& first, int& last) const;
    void drawPointMark(QPainter& p, double xv, double yv, int x, int y);

    PointAttr pointAttr_;
    ColumnCache columns_;
    // The last drawing of a solid line with breaks and what it was drawn for: a log viewer
    // repaints the same month of readings on every resize, marker move and pointer read-out.
    std::vector<double> brokenKey_;
    std::vector<QLine> brokenLines_;
};
