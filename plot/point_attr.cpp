#include <algorithm>

#include "plot/series.h"

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

void Tsp_PointAttr::setColor(TColor v) {
    store(color_, v);
}

void Tsp_PointAttr::setStyle(TBrushStyle v) {
    store(style_, v);
}

void Tsp_PointAttr::setKind(TPointKind v) {
    store(kind_, v);
}

void Tsp_PointAttr::setHSize(int v) {
    if (storeHalves(v, hl_, hr_)) changed();
}

void Tsp_PointAttr::setVSize(int v) {
    if (storeHalves(v, vt_, vb_)) changed();
}

void Tsp_PointAttr::setVisible(bool v) {
    store(visible_, v);
}

void Tsp_PointAttr::setBorderWidth(int v) {
    if (v < 0) v = 1;
    store(borderWidth_, std::min({v, hl_, vt_}));
}

void Tsp_PointAttr::setBorderColor(TColor v) {
    store(borderColor_, v);
}

void Tsp_PointAttr::assign(const Tsp_PointAttr& s) {
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

void Tsp_PointAttr::applyTo(QPainter& p) const {
    p.setPen(makePen(borderColor_, psSolid, borderWidth_));
    setCopyMode(p);
    p.setBrush(QBrush(toQColor(color_), toQtBrushStyle(style_)));
}
