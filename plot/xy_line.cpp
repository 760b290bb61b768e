#include "plot/xy_line.h"

#include <QPolygon>
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <ranges>

#include "plot/column_reduce.h"
#include "plot/paint_rules.h"

namespace kvel {
namespace {
constexpr std::size_t kBatch = 4096;

// Recently drawn segments. Drawing the same segment again with an opaque solid pen changes no
// pixel, and dense data repeats segments a lot within one pixel column.
class SegmentCache {
  public:
    bool seen(int x0, int y0, int x1, int y1) {
        const std::uint64_t key = (std::uint64_t(std::uint16_t(x0)) << 48) |
                                  (std::uint64_t(std::uint16_t(y0)) << 32) |
                                  (std::uint64_t(std::uint16_t(x1)) << 16) | std::uint16_t(y1);
        std::uint64_t& slot = slots_[(key * 0x9E3779B97F4A7C15ull) >> (64 - kBits)];
        if (slot == key + 1) return true;
        slot = key + 1;
        return false;
    }

  private:
    static constexpr int kBits = 12;
    std::array<std::uint64_t, 1u << kBits> slots_{};
};

// Draws the segment between the points at(k − 1) and at(k) for k = 1 … n − 1, each by itself,
// except those with both ends far off.
template <class At>
void drawSegments(QPainter& p, const XYDataSeries& s, const ScaleMap& xa, const ScaleMap& ya, int n,
                  bool solid, At at) {
    std::vector<QLine> batch;
    batch.reserve(std::min<std::size_t>(kBatch, std::size_t(n)));
    auto cache = solid ? std::make_unique<SegmentCache>() : nullptr;
    int x0 = xa.transform(s.xValue(at(0))), y0 = ya.transform(s.yValue(at(0)));
    bool far0 = isFarPixel(x0, y0);
    for (int k = 1; k < n; ++k) {
        const int i = at(k);
        const int x1 = xa.transform(s.xValue(i)), y1 = ya.transform(s.yValue(i));
        const bool far1 = isFarPixel(x1, y1);
        if (!(far0 && far1) && !(cache && cache->seen(x0, y0, x1, y1))) {
            batch.emplace_back(x0, y0, x1, y1);
            if (batch.size() == kBatch) {
                p.drawLines(batch.data(), int(batch.size()));
                batch.clear();
            }
        }
        x0 = x1;
        y0 = y1;
        far0 = far1;
    }
    if (!batch.empty()) p.drawLines(batch.data(), int(batch.size()));
}
}  // namespace

XYLine::XYLine() {
    pointAttr_.setOwner(this);
}

void XYLine::setPointAttr(const PointAttr& a) {
    pointAttr_.assign(a);
}

void XYLine::drawMark(QPainter& p, int x, int y) const {
    const int hl = pointAttr_.halfLeft(), hr = pointAttr_.halfRight();
    const int vt = pointAttr_.halfTop(), vb = pointAttr_.halfBottom();
    switch (pointAttr_.kind()) {
        case PointKind::Ellipse:
            drawEllipse(p, x - hl, y - vt, x + hr, y + vb);
            break;
        case PointKind::Diamond:
            p.drawPolygon(QPolygon(
                {QPoint(x, y - vt), QPoint(x + hl, y), QPoint(x, y + vt), QPoint(x - hl, y)}));
            break;
        case PointKind::Cross:
            p.drawLine(x - hl, y, x + hr, y);
            p.drawLine(x, y - vt, x, y + vb);
            break;
        case PointKind::Triangle:
            p.drawPolygon(
                QPolygon({QPoint(x, y - vt), QPoint(x + hl, y + vt), QPoint(x - hl, y + vt)}));
            break;
        case PointKind::DownTriangle:
            p.drawPolygon(
                QPolygon({QPoint(x - hl, y - vt), QPoint(x + hl, y - vt), QPoint(x, y + vt)}));
            break;
        case PointKind::Rectangle:
        default:
            drawRectangle(p, x - hl, y - vt, x + hr, y + vt + 1);
            break;
    }
}

// The run of points [first, last] that can touch the clip along X: the points whose pixel lies
// within the clip widened by `margin`, plus one neighbour on each side. Pixels never decrease
// (or never increase) along ascending X, so both ends are found by bisection.
int XYLine::visibleRun(const QRect& clip, const ScaleMap& xa, int margin, int& first,
                       int& last) const {
    const int a = clip.left() - margin, b = clip.right() + margin;
    const bool rising = xa.pixelsPerUnit() >= 0;
    const auto bisect = [&](auto before) {  // first index for which before(px) is false
        return *std::ranges::partition_point(
            std::views::iota(0, count_), [&](int i) { return before(xa.transform(xValue(i))); });
    };
    const int in =
        rising ? bisect([a](int px) { return px < a; }) : bisect([b](int px) { return px > b; });
    const int out =
        rising ? bisect([b](int px) { return px <= b; }) : bisect([a](int px) { return px >= a; });
    first = std::max(in - 1, 0);
    last = std::min(out, count_ - 1);
    return std::max(b - a + 1, 1);
}

// Dense runs (more than two points per pixel column) of a solid line are drawn per pixel
// column, which paints the same pixels. Dashes restart with every segment, so a dashed line
// keeps every segment.
void XYLine::drawLines(QPainter& p, const ScaleMap& xa, const ScaleMap& ya,
                       const QRect& clip) const {
    const bool solid = lineAttr_.style() == Qt::SolidLine;
    int first = 0, last = count_ - 1;
    if (!xAscending_) {
        if (!breaks_.empty()) {
            drawBrokenLines(p, xa, ya, solid, 0, first, last);
            return;
        }
        drawSegments(p, *this, xa, ya, count_, solid, [](int k) { return k; });
        return;
    }
    const int margin = lineAttr_.width() + 2;
    const int columns = visibleRun(clip, xa, margin, first, last);
    if (last <= first) return;
    if (!breaks_.empty()) {
        drawBrokenLines(p, xa, ya, solid, columns, first, last);
        return;
    }
    if (!solid || last - first + 1 <= 2 * columns) {
        drawSegments(p, *this, xa, ya, last - first + 1, solid,
                     [first](int k) { return first + k; });
        return;
    }
    ColumnMemo& m = memo_;
    const int clipLeft = clip.left() - margin, clipRight = clip.right() + margin;
    if (!(m.x == xa && m.y == ya && m.clipLeft == clipLeft && m.clipRight == clipRight &&
          m.first == first && m.generation == generation()) ||
        m.resume.at > last) {
        m = {xa, ya, clipLeft, clipRight, first, generation(), {}, {}};
    } else {
        m.lines.resize(m.resume.lines);
    }
    reduceToColumns(*this, xa, ya, first, last, m.lines, &m.resume);
    const std::vector<QLine>& lines = m.lines;
    for (std::size_t at = 0; at < lines.size(); at += kBatch)
        p.drawLines(lines.data() + at, int(std::min(kBatch, lines.size() - at)));
}

// Each run of points between two breaks, within first … last, as a line of its own. Dense runs
// of a solid line are reduced by pixel column as a whole series is; dashes restart with every
// segment, so a dashed line is drawn segment by segment.
void XYLine::drawBrokenLines(QPainter& p, const ScaleMap& xa, const ScaleMap& ya, bool solid,
                             int columns, int first, int last) const {
    const auto forEachRun = [&](auto&& run) {
        auto next = std::upper_bound(breaks_.begin(), breaks_.end(), first);
        for (int a = first; a <= last;) {
            const int b = next == breaks_.end() ? last : std::min(last, *next - 1);
            if (b > a) run(a, b);
            a = b + 1;
            if (next != breaks_.end()) ++next;
        }
    };
    if (!solid) {
        forEachRun([&](int a, int b) {
            drawSegments(p, *this, xa, ya, b - a + 1, false, [a](int k) { return a + k; });
        });
        return;
    }
    std::vector<QLine> lines;
    forEachRun([&](int a, int b) {
        // Dense when the run has more than two points per pixel column it spans.
        const int span =
            std::min(columns, std::abs(xa.transform(xValue(b)) - xa.transform(xValue(a)))) + 1;
        if (xAscending_ && b - a + 1 > 2 * span) {
            reduceToColumns(*this, xa, ya, a, b, lines);
            return;
        }
        QPoint from(xa.transform(xValue(a)), ya.transform(yValue(a)));
        for (int i = a + 1; i <= b; ++i) {
            const QPoint to(xa.transform(xValue(i)), ya.transform(yValue(i)));
            if (!(isFarPixel(from.x(), from.y()) && isFarPixel(to.x(), to.y())))
                lines.emplace_back(from, to);
            from = to;
        }
    });
    for (std::size_t at = 0; at < lines.size(); at += kBatch)
        p.drawLines(lines.data() + at, int(std::min(kBatch, lines.size() - at)));
}

void XYLine::drawMarks(QPainter& p, const ScaleMap& xa, const ScaleMap& ya, const QRect& field,
                       int first, int last) const {
    for (int i = first; i <= last; ++i) {
        const int x = xa.transform(xValue(i)), y = ya.transform(yValue(i));
        if (field.contains(x, y)) drawMark(p, x, y);
    }
}

void XYLine::draw(QPainter* p, const ScaleMap& xa, const ScaleMap& ya, const QRect& field) const {
    if (count_ < 1 || !p) return;
    const bool lines = lineAttr_.visible() && count_ > 1;
    if (!pointAttr_.visible() && !lines) return;
    if (xMin_ > xa.max() || xMax_ < xa.min() || yMin_ > ya.max() || yMax_ < ya.min()) return;

    if (lines && lineAttr_.style() != Qt::NoPen) {
        lineAttr_.applyToPen(*p);
        p->setBrush(Qt::NoBrush);
        drawLines(*p, xa, ya, field);
    }
    if (pointAttr_.visible()) {
        int first = 0, last = count_ - 1;
        if (xAscending_) visibleRun(field, xa, 1, first, last);
        pointAttr_.applyTo(*p);
        drawMarks(*p, xa, ya, field, first, last);
    }
}

}  // namespace kvel
