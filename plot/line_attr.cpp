#include "plot/line_attr.h"

#include "plot/paint_rules.h"

namespace kvel {

LineAttr::LineAttr(const QColor& color, Qt::PenStyle style, std::uint16_t width,
                           bool visible)
    : color_(color), style_(style), width_(width), visible_(visible) {}

void LineAttr::setColor(const QColor& v) {
    color_ = v;
    changed();
}

void LineAttr::setStyle(Qt::PenStyle v) {
    style_ = v;
    changed();
}

void LineAttr::setWidth(std::uint16_t v) {
    width_ = v;
    changed();
}

void LineAttr::setVisible(bool v) {
    visible_ = v;
    changed();
}

void LineAttr::assign(const LineAttr& s) {
    color_ = s.color_;
    style_ = s.style_;
    width_ = s.width_;
    visible_ = s.visible_;
}

bool LineAttr::sameValues(const LineAttr& o) const {
    return color_ == o.color_ && style_ == o.style_ && width_ == o.width_ && visible_ == o.visible_;
}

QPen LineAttr::pen() const {
    QPen pen = makePen(color_, style_, width_);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void LineAttr::applyToPen(QPainter& p) const {
    p.setPen(pen());
    setCopyMode(p);
}

}  // namespace kvel
