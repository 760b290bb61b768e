#include <QLocale>

#include "plot/scale_axis.h"

Tsp_CustomLineAttr::Tsp_CustomLineAttr(TColor color, TPenStyle style, std::uint16_t width,
                                       bool visible)
    : color_(color), style_(style), width_(width), visible_(visible) {}

void Tsp_CustomLineAttr::SetColor(TColor v) {
    color_ = v;
    Changed();
}

void Tsp_CustomLineAttr::SetStyle(TPenStyle v) {
    style_ = v;
    Changed();
}

void Tsp_CustomLineAttr::SetWidth(std::uint16_t v) {
    width_ = v;
    Changed();
}

void Tsp_CustomLineAttr::SetVisible(bool v) {
    visible_ = v;
    Changed();
}

void Tsp_CustomLineAttr::Changed() {
    if (OnChange) OnChange(this);
}

void Tsp_CustomLineAttr::Assign(const Tsp_CustomLineAttr& s) {
    color_ = s.color_;
    style_ = s.style_;
    width_ = s.width_;
    visible_ = s.visible_;
}

bool Tsp_CustomLineAttr::SameValues(const Tsp_CustomLineAttr& o) const {
    return color_ == o.color_ && style_ == o.style_ && width_ == o.width_ && visible_ == o.visible_;
}

QPen Tsp_CustomLineAttr::Pen() const {
    QPen pen = MakePen(color_, style_, width_);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void Tsp_CustomLineAttr::ApplyToPen(QPainter& p) const {
    p.setPen(Pen());
    SetCopyMode(p);
}

void Tsp_CustomLineAttr::WriteProperties(const QString& prefix, Tsp_PropertyList& out) const {
    out.emplace_back(prefix + ".Color", QString::number(color_));
    out.emplace_back(prefix + ".Style", QString::number(int(style_)));
    out.emplace_back(prefix + ".Width", QString::number(width_));
    out.emplace_back(prefix + ".Visible", visible_ ? "True" : "False");
}

bool Tsp_CustomLineAttr::ReadProperty(const QString& name, const QString& value) {
    bool ok = false;
    const QLocale c = QLocale::c();
    if (name == "Color") {
        const uint v = c.toUInt(value, &ok);
        if (ok) SetColor(v);
    } else if (name == "Style") {
        const int v = c.toInt(value, &ok);
        ok = ok && v >= psSolid && v <= psInsideFrame;
        if (ok) SetStyle(TPenStyle(v));
    } else if (name == "Width") {
        const ushort v = c.toUShort(value, &ok);
        if (ok) SetWidth(v);
    } else if (name == "Visible") {
        ok = value == "True" || value == "False";
        if (ok) SetVisible(value == "True");
    }
    return ok;
}
