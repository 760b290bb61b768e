#include "plot/column_reduce.h"

#include <algorithm>
#include <cstdlib>

#include "plot/xy_data_series.h"

namespace kvel {
namespace {

// The first index after `i` (up to last + 1) whose point lies in another pixel column than
// point i. Pixels follow ascending X monotonically, so a column is a run of points. Points are
// mostly evenly spaced, so the search starts where the column would end if it held `hint`
// points, and widens from there by doubling steps before it bisects.
int columnEnd(const XYDataSeries& s, const ScaleMap& xa, int i, int last, int hint) {
    const int column = xa.transform(s.xValue(i));
    const auto same = [&](int j) { return j <= last && xa.transform(s.xValue(j)) == column; };
    int lo = i;         // in the column
    int hi = last + 1;  // past it
    const int guess = std::clamp(i + hint, i + 1, last + 1);
    if (same(guess)) {
        lo = guess;
        for (int step = 1; lo + step <= last; step *= 2) {
            if (!same(lo + step)) {
                hi = lo + step;
                break;
            }
            lo += step;
        }
    } else {
        hi = guess;
        for (int step = 1; hi - step > lo; step *= 2) {
            if (same(hi - step)) {
                lo = hi - step;
                break;
            }
            hi -= step;
        }
    }
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        if (same(mid))
            lo = mid;
        else
            hi = mid;
    }
    return hi;
}

// Long series do not fit the processor's caches, and each column reads points far from the
// last one's: the next column's end and the values near it are asked for ahead of time.
void prefetch(const XYDataSeries& s, int at, int last) {
    __builtin_prefetch(s.xChunk(at).first);
    for (int j : {at - 8, at, at + 8})
        if (j >= 0 && j <= last) __builtin_prefetch(s.yChunk(j).first);
}

}  // namespace

void reduceToColumns(const XYDataSeries& s, const ScaleMap& xa, const ScaleMap& ya, int first,
                     int last, std::vector<QLine>& out, ColumnResume* resume) {
    const auto chunk = [&s](int i) { return s.yChunk(i); };
    const auto pixel = [&](int i) {
        return QPoint(xa.transform(s.xValue(i)), ya.transform(s.yValue(i)));
    };
    // The segment from p to q unless both ends are far off.
    const auto segment = [&out](QPoint p, QPoint q) {
        if (!(isFarPixel(p.x(), p.y()) && isFarPixel(q.x(), q.y()))) out.emplace_back(p, q);
    };
    const bool resuming = resume && resume->at > first && resume->at <= last;
    const int from = resuming ? resume->at : first;
    QPoint previous = resuming ? resume->previous : pixel(first);  // of the column before
    const int columns = std::abs(xa.transform(s.xValue(last)) - xa.transform(s.xValue(from)));
    int hint = std::max(1, (last - from + 1) / std::max(columns, 1));
    for (int i = from; i <= last;) {
        const int end = columnEnd(s, xa, i, last, hint);
        const int back = end - 1;
        hint = end - i;
        if (resume && end > last) *resume = {i, previous, out.size()};
        prefetch(s, std::min(end + 4 * hint, last), last);
        const QPoint head = pixel(i);
        if (i > first) segment(previous, head);
        if (back == i) {
            previous = head;
            i = end;
            continue;
        }
        const int x = head.x();
        const BlockIndex::Extent e = s.yIndex().query(i, back, chunk);
        const int y0 = ya.transform(e.min), y1 = ya.transform(e.max);
        if (isFarPixel(x, y0) || isFarPixel(x, y1)) {
            previous = head;
            for (int j = i + 1; j <= back; ++j) {
                const QPoint next = pixel(j);
                segment(previous, next);
                previous = next;
            }
        } else {
            out.emplace_back(x, std::min(y0, y1), x, std::max(y0, y1));
            previous = QPoint(x, ya.transform(s.yValue(back)));
        }
        i = end;
    }
}

}  // namespace kvel
