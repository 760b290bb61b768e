#include <algorithm>

#include "plot/paint_rules.h"
#include "plot/point_attr.h"

namespace kvel {

namespace {
// A size of v pixels as the half-extents h and h + 1 on the two sides of the point; false
// when they stay as they were.
bool storeHalves(int v, int& before, int& after) {
    const int h = std::max(v, 0) / 2;
    if (h == before) return false;
    before = h;
    after = h + 1;
    return true;
}
}  // namespace

void PointAttr::setColor(const QColor& v) {
    store(color_, v);
}

void PointAttr::setStyle(Qt::BrushStyle v) {
    store(style_, v);
}

void PointAttr::setKind(PointKind v) {
    store(kind_, v);
}

void PointAttr::setHSize(int v) {
    if (storeHalves(v, hl_, hr_)) changed();
}

void PointAttr::setVSize(int v) {
    if (storeHalves(v, vt_, vb_)) changed();
}

void PointAttr::setVisible(bool v) {
    store(visible_, v);
}

void PointAttr::setBorderWidth(int v) {
    if (v < 0) v = 1;
    store(borderWidth_, std::min({v, hl_, vt_}));
}

void PointAttr::setBorderColor(const QColor& v) {
    store(borderColor_, v);
}

void PointAttr::assign(const PointAttr& s) {
    if (&s == this) return;
    kind_ = s.kind_;
    visible_ = s.visible_;
    hl_ = s.hl_;
    hr_ = s.hr_;
    vt_ = s.vt_;
    vb_ = s.vb_;
    color_ = s.color_;
    style_ = s.style_;
    changed();
}

void PointAttr::applyTo(QPainter& p) const {
    p.setPen(makePen(borderColor_, Qt::SolidLine, borderWidth_));
    setCopyMode(p);
    p.setBrush(QBrush(color_, style_));
}

}  // namespace kvel
