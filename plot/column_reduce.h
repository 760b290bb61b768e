// Reduction of a dense run of points to what a line through them shows on pixel columns: a
// stateless mapper from a series' points to the lines that draw them.
#pragma once

#include <QLine>
#include <vector>

#include "plot/scale_map.h"

namespace kvel {

class XYDataSeries;

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
//
// With `resume`, a reduction goes on where an earlier one into the same `out` ended, for points
// appended since (the earlier columns are final, since X values never decrease): it starts at
// resume->at (with its lines already in `out`) when that lies inside the run, else at `first`,
// and leaves in *resume where to go on next time.
struct ColumnResume {
    int at = -1;            // the first point of the run's last column, which may still grow
    QPoint previous;        // the pixel of the point before it
    std::size_t lines = 0;  // the lines before that column
};
void reduceToColumns(const XYDataSeries& s, const ScaleMap& xa, const ScaleMap& ya, int first,
                     int last, std::vector<QLine>& out, ColumnResume* resume = nullptr);

}  // namespace kvel
