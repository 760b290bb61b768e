#include <algorithm>

#include "plot/series.h"

namespace {
// A size of v pixels as the half-extents h and h + 1 on the two sides of the point; false
// when they stay as they were.
bool StoreHalves(int v, int& before, int& after) {
    const int h = std::max(v, 0) / 2;
    if (h == before) return false;
    before = h;
    after = h + 1;
    return true;
}
}  // namespace

void Tsp_PointAttr::SetColor(TColor v) {
    Store(color_, v);
}

void Tsp_PointAttr::SetStyle(TBrushStyle v) {
    Store(style_, v);
}

void Tsp_PointAttr::SetKind(TPointKind v) {
    Store(kind_, v);
}

void Tsp_PointAttr::SetHSize(int v) {
    if (StoreHalves(v, hl_, hr_)) Changed();
}

void Tsp_PointAttr::SetVSize(int v) {
    if (StoreHalves(v, vt_, vb_)) Changed();
}

void Tsp_PointAttr::SetVisible(bool v) {
    Store(visible_, v);
}

void Tsp_PointAttr::SetBorderWidth(int v) {
    if (v < 0) v = 1;
    Store(borderWidth_, std::min({v, hl_, vt_}));
}

void Tsp_PointAttr::SetBorderColor(TColor v) {
    Store(borderColor_, v);
}

void Tsp_PointAttr::Assign(const Tsp_PointAttr& s) {
    if (&s == this) return;
    kind_ = s.kind_;
    visible_ = s.visible_;
    hl_ = s.hl_;
    hr_ = s.hr_;
    vt_ = s.vt_;
    vb_ = s.vb_;
    color_ = s.color_;
    style_ = s.style_;
    Changed();
}

void Tsp_PointAttr::ApplyTo(QPainter& p) const {
    p.setPen(MakePen(borderColor_, psSolid, borderWidth_));
    SetCopyMode(p);
    p.setBrush(QBrush(ToQColor(color_), ToQtBrushStyle(style_)));
}
