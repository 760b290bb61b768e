#include <QFontInfo>
#include <algorithm>

#include "plot/plot.h"

// Points drawCanvas (and the drawing size) at another painter for a while and puts the
// control's back afterwards, also when a drawing step throws.
class DrawCanvasScope {
  public:
    DrawCanvasScope(XYPlot* plot, QPainter* canvas, int w, int h)
        : plot_(plot),
          saved_(plot->drawCanvas_),
          savedWidth_(plot->drawWidth_),
          savedHeight_(plot->drawHeight_) {
        plot_->drawCanvas_ = canvas;
        plot_->drawWidth_ = w;
        plot_->drawHeight_ = h;
    }
    ~DrawCanvasScope() {
        plot_->drawCanvas_ = saved_;
        plot_->drawWidth_ = savedWidth_;
        plot_->drawHeight_ = savedHeight_;
    }
    DrawCanvasScope(const DrawCanvasScope&) = delete;
    DrawCanvasScope& operator=(const DrawCanvasScope&) = delete;

  private:
    XYPlot* plot_;
    QPainter* saved_;
    int savedWidth_, savedHeight_;
};

void XYPlot::prepareFont(QPainter& p) {
    p.setFont(font());
    if (!layoutValid_) calcLayout(p.fontMetrics().horizontalAdvance('0'), p.fontInfo().pixelSize());
}

void XYPlot::paint() {
    if (onPaintStart) onPaintStart(this);
    paintPending_ = false;
    QPainter* screen = controlCanvas();
    screen->setClipping(false);
    if (memBitmap_ && (memBitmap_->width() != width() || memBitmap_->height() != height() ||
                       memBitmap_->ratio() != devicePixelRatio())) {
        memBitmap_->resize(width(), height(), devicePixelRatio());
        layoutValid_ = frameValid_ = fieldValid_ = false;
    }
    if (memBitmap_ && memBitmap_->valid()) {
        {
            QPainter image(&memBitmap_->image());
            DrawCanvasScope scope(this, &image, width(), height());
            prepareFont(image);
            if (!frameValid_) {
                drawFrame();
                frameValid_ = true;
            }
            if (!fieldValid_) {
                drawField();
                fieldValid_ = true;
            }
            doDrawEnd();
            drawBorder();
        }
        screen->setCompositionMode(QPainter::CompositionMode_Source);
        screen->drawImage(0, 0, memBitmap_->image());
        setCopyMode(*screen);
    } else {
        // Unbuffered, or no image could be had for the buffer: everything straight on screen.
        DrawCanvasScope scope(this, screen, width(), height());
        drawAll();
    }
    if (xCursorOn_) {
        cursorPixel_ = bottom_->valueToPixel(xCursorVal_);
        drawXCursorLine(cursorPixel_);
    }
}

void XYPlot::drawAll() {
    prepareFont(*drawCanvas());
    drawFrame();
    drawField();
    doDrawEnd();
    drawBorder();
}

void XYPlot::drawOnCanvas(QPainter* canvas, int width, int height) {
    if (!canvas || width <= 9 || height <= 9) return;
    struct LayoutStale {
        bool& flag;
        ~LayoutStale() { flag = false; }
    } stale{layoutValid_};
    DrawCanvasScope scope(this, canvas, width, height);
    if (onPaintStart) onPaintStart(this);
    layoutValid_ = false;
    drawAll();
}

void XYPlot::calcLayout(int cw, int ch) {
    // Each side takes the room of its own axis band or of the labels that the two crossing
    // axes hang over that end, whichever is larger, plus its margin.
    using Overhang = int (Scale::*)(int, int);
    const auto room = [cw, ch](Axis& own, Axis& a, Axis& b, Overhang end) {
        return std::max({(a.*end)(cw, ch), (b.*end)(cw, ch), own.bandWidth(cw, ch)}) + own.margin();
    };
    const int left = room(*left_, *top_, *bottom_, &Scale::startOverhang);
    const int bottom = room(*bottom_, *right_, *left_, &Scale::startOverhang);
    const int right = room(*right_, *top_, *bottom_, &Scale::endOverhang);
    const int top = room(*top_, *right_, *left_, &Scale::endOverhang);
    // Scales never get a zero length.
    const QRect f(left, top, std::max(drawWidth() - right - left, 3),
                  std::max(drawHeight() - bottom - top, 3));
    fieldRect_ = f;
    left_->setLinePos(f.left() - 1, f.bottom(), f.height() - 1);
    right_->setLinePos(f.right() + 1, f.bottom(), f.height() - 1);
    bottom_->setLinePos(f.left(), f.bottom() + 1, f.width() - 1);
    top_->setLinePos(f.left(), f.top() - 1, f.width() - 1);
    layoutValid_ = true;
}

namespace {
int visibleWidth(const Axis& a) {
    return a.lineAttr()->visible() ? a.lineAttr()->width() : 0;
}
}  // namespace

void XYPlot::drawFrame() {
    QPainter& p = *drawCanvas();
    const QRect& f = fieldRect_;
    const int w = drawWidth(), h = drawHeight();
    setCopyMode(p);
    const QBrush back(color());
    fillRectangle(p, 0, 0, w, f.top(), back);
    fillRectangle(p, 0, f.bottom() + 2, w, h, back);
    fillRectangle(p, 0, f.top(), f.left(), f.bottom() + 2, back);
    fillRectangle(p, f.right() + 1, f.top(), w, f.bottom() + 2, back);
    p.setBrush(Qt::NoBrush);
    top_->drawAxisLine(p, 0, visibleWidth(*right_));
    right_->drawAxisLine(p, visibleWidth(*bottom_), 0);
    bottom_->drawAxisLine(p, visibleWidth(*left_), 0);
    left_->drawAxisLine(p, 0, visibleWidth(*top_));
    p.setPen(makePen(palette().color(QPalette::WindowText), Qt::SolidLine, 1));
    setCopyMode(p);
    p.setFont(font());
    top_->drawTicksAndLabels(p);
    right_->drawTicksAndLabels(p);
    left_->drawTicksAndLabels(p);
    bottom_->drawTicksAndLabels(p);
    drawCaptions(p);
}

void XYPlot::drawCaptions(QPainter& p) {
    const QRect& f = fieldRect_;
    QFont bold = font();
    bold.setBold(true);
    if (bottom_->captionShown()) {
        p.setFont(bold);
        const QString& s = bottom_->caption();
        textOut(p, (f.left() + f.right() + 1 - textWidth(p, s)) / 2,
                drawHeight() - bottom_->margin(), s);
    }
    if (top_->captionShown()) {
        p.setFont(bold);
        const QString& s = top_->caption();
        textOut(p, (f.left() + f.right() + 1 - textWidth(p, s)) / 2,
                top_->margin() - textHeight(p, "8") - 1, s);
    }
    if (!left_->captionShown() && !right_->captionShown()) return;
    p.setFont(bold);
    const int h8 = textHeight(p, "8");
    if (left_->captionShown()) {
        const QString& s = left_->caption();
        textOutUpward(p, left_->margin() - h8 - 1, (textWidth(p, s) + f.top() + f.bottom() + 1) / 2,
                      s);
    }
    if (right_->captionShown()) {
        const QString& s = right_->caption();
        textOutUpward(p, drawWidth() - right_->margin(),
                      (textWidth(p, s) + f.top() + f.bottom() + 1) / 2, s);
    }
}

void XYPlot::drawField() {
    QPainter& p = *drawCanvas();
    const QRect& f = fieldRect_;
    const bool hadClip = p.hasClipping();
    const QRegion oldClip = p.clipRegion();
    p.setClipRect(f, hadClip ? Qt::IntersectClip : Qt::ReplaceClip);
    setCopyMode(p);
    if (fieldColor_.isValid()) p.fillRect(f, fieldColor_);
    doFieldDraw();
    p.setBrush(Qt::NoBrush);
    for (Axis* a : {left_.get(), bottom_.get(), right_.get(), top_.get()}) {
        if (!a->gridAttr()->visible() || a->ticksCount() == 0) continue;
        a->gridAttr()->applyToPen(p);
        for (int i = 0; i < a->ticksCount(); ++i) {
            const int t = a->tickPixel(i);
            if (a->isVertical()) {
                if (f.top() < t && t < f.bottom()) p.drawLine(f.left(), t, f.right() + 1, t);
            } else if (f.left() < t && t < f.right()) {
                p.drawLine(t, f.top(), t, f.bottom() + 1);
            }
        }
    }
    for (PlotMarker* m : before_)
        if (m->visible()) m->draw();
    for (DataSeries* s : series_)
        if (s->active()) s->draw();
    for (PlotMarker* m : after_)
        if (m->visible()) m->draw();
    p.setClipRegion(oldClip);
    p.setClipping(hadClip);
}

namespace {
void outline(QPainter& p, int l, int t, int r, int b, const QColor& c) {
    p.setPen(makePen(c, Qt::SolidLine, 1));
    p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}
}  // namespace

void XYPlot::drawBorder() {
    QPainter& p = *drawCanvas();
    const int w = drawWidth(), h = drawHeight();
    const bool hadClip = p.hasClipping();
    p.setClipping(false);
    setCopyMode(p);
    p.setBrush(Qt::NoBrush);
    const QColor own = color();
    const QColor light = palette().color(QPalette::Light), dark = palette().color(QPalette::Dark);
    switch (borderStyle_) {
        case BorderStyle::Raised:
        case BorderStyle::Lowered: {
            const QColor tl = borderStyle_ == BorderStyle::Raised ? light : dark;
            const QColor br = borderStyle_ == BorderStyle::Raised ? dark : light;
            p.fillRect(0, 0, w - 1, 1, tl);  // top row, the right end belongs to br
            p.fillRect(0, 0, 1, h - 1, tl);  // left column, the bottom end belongs to br
            p.fillRect(w - 1, 0, 1, h, br);
            p.fillRect(0, h - 1, w, 1, br);
            outline(p, 1, 1, w - 1, h - 1, own);
            break;
        }
        case BorderStyle::Gutter:
            outline(p, 1, 1, w, h, light);
            outline(p, 0, 0, w - 1, h - 1, dark);
            break;
        case BorderStyle::BlackRect:
            outline(p, 0, 0, w, h, Qt::black);
            outline(p, 1, 1, w - 1, h - 1, own);
            break;
        case BorderStyle::BoldRect:
            outline(p, 0, 0, w, h, Qt::black);
            outline(p, 1, 1, w - 1, h - 1, Qt::black);
            break;
        case BorderStyle::FocusRect: {
            QPen pen = makePen(Qt::black, Qt::DotLine, 1);
            p.setPen(pen);
            p.setBackground(Qt::white);
            p.setBackgroundMode(Qt::OpaqueMode);
            p.drawPolyline(QPolygon({QPoint(0, 0), QPoint(w - 2, 0), QPoint(w - 2, h - 1),
                                     QPoint(1, h - 1), QPoint(1, 0)}));
            p.drawPolyline(QPolygon({QPoint(1, 1), QPoint(w - 1, 1), QPoint(w - 1, h - 2),
                                     QPoint(0, h - 2), QPoint(0, 0)}));
            p.setBackgroundMode(Qt::TransparentMode);
            break;
        }
        case BorderStyle::None:
        default:
            outline(p, 0, 0, w, h, own);
            outline(p, 1, 1, w - 1, h - 1, own);
            break;
    }
    p.setClipping(hadClip);
}
