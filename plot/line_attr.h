// Style of a line of the plot (axis line, grid, series line).
#pragma once

#include <QColor>
#include <QPainter>
#include <cstdint>

#include "plot/attr_owner.h"

namespace kvel {

class LineAttr {
  public:
    LineAttr() = default;
    LineAttr(const QColor& color, Qt::PenStyle style, std::uint16_t width, bool visible);
    LineAttr(const LineAttr&) = delete;
    LineAttr& operator=(const LineAttr&) = delete;

    QColor color() const { return color_; }
    Qt::PenStyle style() const { return style_; }
    std::uint16_t width() const { return width_; }
    bool visible() const { return visible_; }
    // Each setter stores the value and tells the owner, changed or not.
    void setColor(const QColor& v);
    void setStyle(Qt::PenStyle v);
    void setWidth(std::uint16_t v);
    void setVisible(bool v);

    // Copies the four values without telling the owner.
    void assign(const LineAttr& source);
    bool sameValues(const LineAttr& other) const;

    // Colour, style and width on a pen in copy mode. Its lines include both end pixels, so a
    // series has no gaps where it turns back, whatever the direction of its segments.
    void applyToPen(QPainter& p) const;
    QPen pen() const;

    // The object told of every change; none by default.
    void setOwner(AttrOwner* owner) { owner_ = owner; }

  private:
    void changed() {
        if (owner_) owner_->attrChanged();
    }
    QColor color_ = Qt::black;
    Qt::PenStyle style_ = Qt::SolidLine;
    std::uint16_t width_ = 1;
    bool visible_ = true;
    AttrOwner* owner_ = nullptr;
};

}  // namespace kvel
