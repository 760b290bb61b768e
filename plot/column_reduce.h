// Reduction of a dense run of points to what a line through them shows on pixel columns.
#pragma once

#include <QLine>
#include <vector>

class XYDataSeries;
class Scale;

// A segment whose two ends both convert beyond ±16000 pixels is not drawn.
constexpr int kFarPixel = 16000;
inline bool isFarPixel(int x, int y) {
    return x < -kFarPixel || x > kFarPixel || y < -kFarPixel || y > kFarPixel;
}

// Appends to `out` the lines that draw the points first … last of a series whose X values never
// decrease as a solid line through them shows them, at a cost per pixel column of the X axis
// instead of per point. Points in one column share their pixel x, so the segments between
// them cover one vertical stretch from the column's lowest to its highest point: that stretch
// is one line, and the segment from the column's last point to the next column's first is
// kept as it is. A column with a point that converts far off keeps all its segments, since a
// segment between two far points is left out.
void reduceToColumns(const XYDataSeries& s, const Scale& xa, const Scale& ya, int first, int last,
                     std::vector<QLine>& out);

// Where a reduction goes on once points are appended: the first point of the run's last column
// (which later points may still join), the pixel of the point before it and the number of
// lines before that column. Earlier columns are final, since X values never decrease.
struct ColumnResume {
    int at = -1;
    QPoint previous;
    std::size_t lines = 0;
};

// The same, started at resume.at (with its lines already in `out`) when that lies inside the
// run, else at `first`; leaves in `resume` where to go on next time.
void reduceToColumns(const XYDataSeries& s, const Scale& xa, const Scale& ya, int first, int last,
                     std::vector<QLine>& out, ColumnResume& resume);

// The last reduced drawing of a series. While the axes' mappings, the clip, the start of the
// run and the series' points stay (points appended only), a repaint reduces only the columns
// from the last one on: the main window repaints the whole history at every poll.
class ColumnCache {
  public:
    const std::vector<QLine>& lines(const XYDataSeries& s, const Scale& xa, const Scale& ya,
                                    int first, int last, int clipLeft, int clipRight);

  private:
    std::vector<double> key_;
    ColumnResume resume_;
    std::vector<QLine> lines_;
};
