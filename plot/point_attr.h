// Shape, size and colours of the point marks of a series.
#pragma once

#include <QColor>
#include <QPainter>

#include "plot/attr_owner.h"

namespace kvel {

enum class PointKind { Rectangle, Ellipse, Diamond, Cross, Triangle, DownTriangle };

// Shape, size and colours of point marks; the fill is its brush part (colour, style).
class PointAttr {
  public:
    PointAttr() = default;
    PointAttr(const PointAttr&) = delete;
    PointAttr& operator=(const PointAttr&) = delete;

    QColor color() const { return color_; }
    void setColor(const QColor& v);
    Qt::BrushStyle style() const { return style_; }
    void setStyle(Qt::BrushStyle v);
    PointKind kind() const { return kind_; }
    void setKind(PointKind v);
    // Sizes are kept as half-extents: left hl, right hl + 1, top vt, bottom vt + 1, so a size
    // reads back odd (6 stores 3 and 4 and reads 7).
    int hSize() const { return hl_ + hr_; }
    void setHSize(int v);
    int vSize() const { return vt_ + vb_; }
    void setVSize(int v);
    int halfLeft() const { return hl_; }
    int halfRight() const { return hr_; }
    int halfTop() const { return vt_; }
    int halfBottom() const { return vb_; }
    bool visible() const { return visible_; }
    void setVisible(bool v);
    // Never wider than the smaller half-extent.
    int borderWidth() const { return borderWidth_; }
    void setBorderWidth(int v);
    QColor borderColor() const { return borderColor_; }
    void setBorderColor(const QColor& v);

    // Kind, visibility, sizes and the brush part; not the border.
    void assign(const PointAttr& s);
    // Border colour and width, solid, copy mode; the brush from the fill.
    void applyTo(QPainter& p) const;

    // The object told when a stored value changes; none by default.
    void setOwner(AttrOwner* owner) { owner_ = owner; }

  private:
    void changed() {
        if (owner_) owner_->attrChanged();
    }
    // Stores a differing value and reports it.
    template <class T>
    void store(T& field, T v) {
        if (field == v) return;
        field = v;
        changed();
    }
    QColor color_ = Qt::white;
    Qt::BrushStyle style_ = Qt::SolidPattern;
    PointKind kind_ = PointKind::Rectangle;
    int hl_ = 2, hr_ = 3, vt_ = 2, vb_ = 3;
    bool visible_ = false;
    int borderWidth_ = 1;
    QColor borderColor_ = Qt::black;
    AttrOwner* owner_ = nullptr;
};

}  // namespace kvel
