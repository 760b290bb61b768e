#include <QLocale>

#include "plot/scale_axis.h"

Tsp_CustomLineAttr::Tsp_CustomLineAttr(TColor color, TPenStyle style, std::uint16_t width,
                                       bool visible)
    : color_(color), style_(style), width_(width), visible_(visible) {}

void Tsp_CustomLineAttr::setColor(TColor v) {
    color_ = v;
    changed();
}

void Tsp_CustomLineAttr::setStyle(TPenStyle v) {
    style_ = v;
    changed();
}

void Tsp_CustomLineAttr::setWidth(std::uint16_t v) {
    width_ = v;
    changed();
}

void Tsp_CustomLineAttr::setVisible(bool v) {
    visible_ = v;
    changed();
}

void Tsp_CustomLineAttr::changed() {
    if (onChange) onChange(this);
}

void Tsp_CustomLineAttr::assign(const Tsp_CustomLineAttr& s) {
    color_ = s.color_;
    style_ = s.style_;
    width_ = s.width_;
    visible_ = s.visible_;
}

bool Tsp_CustomLineAttr::sameValues(const Tsp_CustomLineAttr& o) const {
    return color_ == o.color_ && style_ == o.style_ && width_ == o.width_ && visible_ == o.visible_;
}

QPen Tsp_CustomLineAttr::pen() const {
    QPen pen = makePen(color_, style_, width_);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void Tsp_CustomLineAttr::applyToPen(QPainter& p) const {
    p.setPen(pen());
    setCopyMode(p);
}

void Tsp_CustomLineAttr::writeProperties(const QString& prefix, Tsp_PropertyList& out) const {
    out.emplace_back(prefix + ".Color", QString::number(color_));
    out.emplace_back(prefix + ".Style", QString::number(int(style_)));
    out.emplace_back(prefix + ".Width", QString::number(width_));
    out.emplace_back(prefix + ".Visible", visible_ ? "True" : "False");
}

bool Tsp_CustomLineAttr::readProperty(const QString& name, const QString& value) {
    bool ok = false;
    const QLocale c = QLocale::c();
    if (name == "Color") {
        const uint v = c.toUInt(value, &ok);
        if (ok) setColor(v);
    } else if (name == "Style") {
        const int v = c.toInt(value, &ok);
        ok = ok && v >= psSolid && v <= psInsideFrame;
        if (ok) setStyle(TPenStyle(v));
    } else if (name == "Width") {
        const ushort v = c.toUShort(value, &ok);
        if (ok) setWidth(v);
    } else if (name == "Visible") {
        ok = value == "True" || value == "False";
        if (ok) setVisible(value == "True");
    }
    return ok;
}
