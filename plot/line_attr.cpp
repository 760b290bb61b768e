#include <QLocale>
#include <algorithm>
#include <iterator>

#include "plot/scale_axis.h"

namespace {
// The stream form of a colour is the number 0x00BBGGRR.
uint streamColor(const QColor& c) {
    return uint(c.red()) | uint(c.green()) << 8 | uint(c.blue()) << 16;
}
QColor colorOfStream(uint v) {
    return QColor(int(v & 0xFF), int(v >> 8 & 0xFF), int(v >> 16 & 0xFF));
}
// The stream form of a pen style is its place here; the last, a line drawn inside a frame,
// reads as solid, which is how it draws.
constexpr Qt::PenStyle kStreamStyles[] = {Qt::SolidLine,   Qt::DashLine,       Qt::DotLine,
                                          Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen,
                                          Qt::SolidLine};
int streamStyle(Qt::PenStyle s) {
    const auto* at = std::find(std::begin(kStreamStyles), std::end(kStreamStyles), s);
    return at == std::end(kStreamStyles) ? 0 : int(at - std::begin(kStreamStyles));
}
}  // namespace

LineAttrBase::LineAttrBase(const QColor& color, Qt::PenStyle style, std::uint16_t width,
                           bool visible)
    : color_(color), style_(style), width_(width), visible_(visible) {}

void LineAttrBase::setColor(const QColor& v) {
    color_ = v;
    changed();
}

void LineAttrBase::setStyle(Qt::PenStyle v) {
    style_ = v;
    changed();
}

void LineAttrBase::setWidth(std::uint16_t v) {
    width_ = v;
    changed();
}

void LineAttrBase::setVisible(bool v) {
    visible_ = v;
    changed();
}

void LineAttrBase::changed() {
    if (onChange) onChange(this);
}

void LineAttrBase::assign(const LineAttrBase& s) {
    color_ = s.color_;
    style_ = s.style_;
    width_ = s.width_;
    visible_ = s.visible_;
}

bool LineAttrBase::sameValues(const LineAttrBase& o) const {
    return color_ == o.color_ && style_ == o.style_ && width_ == o.width_ && visible_ == o.visible_;
}

QPen LineAttrBase::pen() const {
    QPen pen = makePen(color_, style_, width_);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

void LineAttrBase::applyToPen(QPainter& p) const {
    p.setPen(pen());
    setCopyMode(p);
}

void LineAttrBase::writeProperties(const QString& prefix, PropertyList& out) const {
    out.emplace_back(prefix + ".Color", QString::number(streamColor(color_)));
    out.emplace_back(prefix + ".Style", QString::number(streamStyle(style_)));
    out.emplace_back(prefix + ".Width", QString::number(width_));
    out.emplace_back(prefix + ".Visible", visible_ ? "True" : "False");
}

bool LineAttrBase::readProperty(const QString& name, const QString& value) {
    bool ok = false;
    const QLocale c = QLocale::c();
    if (name == "Color") {
        const uint v = c.toUInt(value, &ok);
        // Only plain colours: a line follows no palette.
        ok = ok && v <= 0xFFFFFF;
        if (ok) setColor(colorOfStream(v));
    } else if (name == "Style") {
        const int v = c.toInt(value, &ok);
        ok = ok && v >= 0 && v < int(std::size(kStreamStyles));
        if (ok) setStyle(kStreamStyles[v]);
    } else if (name == "Width") {
        const ushort v = c.toUShort(value, &ok);
        if (ok) setWidth(v);
    } else if (name == "Visible") {
        ok = value == "True" || value == "False";
        if (ok) setVisible(value == "True");
    }
    return ok;
}
