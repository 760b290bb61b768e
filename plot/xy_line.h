// A series drawn as a line of segments and/or point marks.
#pragma once

#include <QLine>
#include <vector>

#include "plot/column_reduce.h"
#include "plot/point_attr.h"
#include "plot/xy_data_series.h"

namespace kvel {

class XYLine : public XYDataSeries {
  public:
    XYLine();

    PointAttr* pointAttr() { return &pointAttr_; }
    const PointAttr* pointAttr() const { return &pointAttr_; }
    void setPointAttr(const PointAttr& a);

    void draw(QPainter* p, const ScaleMap& x, const ScaleMap& y, const QRect& field) const override;

    // Draws a mark of the current kind around (x, y) with the painter's pen and brush.
    void drawMark(QPainter& p, int x, int y) const;

  private:
    void drawLines(QPainter& p, const ScaleMap& xa, const ScaleMap& ya, const QRect& clip) const;
    // A series with breaks: each line between two breaks drawn by itself.
    void drawBrokenLines(QPainter& p, const ScaleMap& xa, const ScaleMap& ya, bool solid,
                         int columns, int first, int last) const;
    void drawMarks(QPainter& p, const ScaleMap& xa, const ScaleMap& ya, const QRect& field,
                   int first, int last) const;
    // The run of points that can touch the clip along X, and the number of pixel columns the
    // clip spans, widened by `margin`.
    int visibleRun(const QRect& clip, const ScaleMap& xa, int margin, int& first, int& last) const;

    PointAttr pointAttr_;
    // The last reduced drawing of a dense solid line and what it was drawn for: while the maps,
    // the clip, the start of the run and the points stay (points appended only), a repaint
    // reduces only the columns from the last one on, as the live chart appends at every poll.
    struct ColumnMemo {
        ScaleMap x, y;
        int clipLeft = 0, clipRight = 0, first = -1, generation = -1;
        ColumnResume resume;
        std::vector<QLine> lines;
    };
    mutable ColumnMemo memo_;
};

}  // namespace kvel
