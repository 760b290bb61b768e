#include <algorithm>

#include "plot/series.h"

void Tsp_PointAttr::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    Changed();
}

void Tsp_PointAttr::SetStyle(TBrushStyle v) {
    if (v == style_) return;
    style_ = v;
    Changed();
}

void Tsp_PointAttr::SetKind(TPointKind v) {
    if (v == kind_) return;
    kind_ = v;
    Changed();
}

void Tsp_PointAttr::SetHSize(int v) {
    if (v < 0) v = 1;
    const int h = v / 2;
    if (h == hl_) return;
    hl_ = h;
    hr_ = h + 1;
    Changed();
}

void Tsp_PointAttr::SetVSize(int v) {
    if (v < 0) v = 1;
    const int h = v / 2;
    if (h == vt_) return;
    vt_ = h;
    vb_ = h + 1;
    Changed();
}

void Tsp_PointAttr::SetVisible(bool v) {
    if (v == visible_) return;
    visible_ = v;
    Changed();
}

void Tsp_PointAttr::SetBorderWidth(int v) {
    if (v < 0) v = 1;
    v = std::min({v, hl_, vt_});
    if (v == borderWidth_) return;
    borderWidth_ = v;
    Changed();
}

void Tsp_PointAttr::SetBorderColor(TColor v) {
    if (v == borderColor_) return;
    borderColor_ = v;
    Changed();
}

void Tsp_PointAttr::Assign(const Tsp_PointAttr& s) {
    if (&s == this) return;
    kind_ = s.kind_;
    visible_ = s.visible_;
    SetHSize(s.HSize());
    SetVSize(s.VSize());
    color_ = s.color_;
    style_ = s.style_;
    Changed();
}

void Tsp_PointAttr::ApplyTo(QPainter& p) const {
    QPen pen = MakePen(borderColor_, psSolid, borderWidth_);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    SetCopyMode(p);
    p.setBrush(QBrush(ToQColor(color_), ToQtBrushStyle(style_)));
}
