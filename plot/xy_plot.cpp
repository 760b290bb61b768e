#include "plot/xy_plot.h"

#include <QEvent>
#include <QFontInfo>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QRubberBand>
#include <algorithm>

#include "plot/paint_rules.h"

namespace kvel {

XYPlot::XYPlot(QWidget* parent)
    : QWidget(parent),
      left_(std::make_unique<Axis>(ScaleFlag::Vertical, this)),
      right_(std::make_unique<Axis>(ScaleFlag::Vertical | ScaleFlag::NoTicksLines |
                                        ScaleFlag::NoTicksLabel | ScaleFlag::FarSide,
                                    this)),
      bottom_(std::make_unique<Axis>(ScaleFlags(), this)),
      top_(std::make_unique<Axis>(
          ScaleFlag::NoTicksLines | ScaleFlag::NoTicksLabel | ScaleFlag::FarSide, this)) {
    left_->gridAttr()->assign(LineAttr(QColorConstants::Svg::gray, Qt::SolidLine, 1, true));
    bottom_->gridAttr()->assign(LineAttr(QColorConstants::Svg::gray, Qt::SolidLine, 1, true));
    setBackgroundRole(QPalette::Button);
    // The plot paints every pixel itself: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(180, 120);
}

XYPlot::~XYPlot() {
    for (DataSeries* s : series_) s->plotDestroyed();
    for (const auto& list : markers_)
        for (PlotMarker* m : list) m->plotDestroyed();
}

void XYPlot::replot() {
    pictureValid_ = false;
    update();
}

void XYPlot::updateLayout() {
    layoutValid_ = false;
    replot();
}

void XYPlot::setFieldColor(const QColor& v) {
    if (v == fieldColor_) return;
    fieldColor_ = v;
    replot();
}

void XYPlot::setBorderStyle(BorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    replot();
}

void XYPlot::addSeries(DataSeries* s) {
    if (!s) return;
    if (std::find(series_.begin(), series_.end(), s) == series_.end()) series_.push_back(s);
    if (s->active()) seriesChanged(s);
}

void XYPlot::removeSeries(DataSeries* s) {
    const auto it = std::find(series_.begin(), series_.end(), s);
    if (it == series_.end()) return;
    series_.erase(it);
    if (s->active()) seriesChanged(s);
}

void XYPlot::addMarker(PlotMarker* m) {
    if (!m) return;
    auto& list = markers_[std::size_t(m->whenDraw())];
    if (std::find(list.begin(), list.end(), m) == list.end()) list.push_back(m);
    if (!m->visible()) return;
    if (m->whenDraw() == MarkerLayer::Overlay)
        update();
    else
        replot();
}

void XYPlot::removeMarker(PlotMarker* m) {
    if (!m) return;
    auto& list = markers_[std::size_t(m->whenDraw())];
    const auto it = std::find(list.begin(), list.end(), m);
    if (it == list.end()) return;
    list.erase(it);
    if (!m->visible()) return;
    if (m->whenDraw() == MarkerLayer::Overlay)
        update();
    else
        replot();
}

void XYPlot::drawPicture(QPainter& p, QSize size) {
    // The owner fills its series for this size first; what that changes is drawn now.
    emit aboutToDraw(size);
    p.setFont(font());
    if (!layoutValid_)
        calcLayout(size, p.fontMetrics().horizontalAdvance('0'), p.fontInfo().pixelSize());
    drawFrame(p, size);
    drawField(p);
    drawBorder(p, size);
}

void XYPlot::paintEvent(QPaintEvent* e) {
    const qreal ratio = devicePixelRatio();
    const QSize pixels(qRound(std::max(width(), 1) * ratio), qRound(std::max(height(), 1) * ratio));
    if (!pictureValid_ || picture_.size() != pixels || picture_.devicePixelRatio() != ratio) {
        if (picture_.size() != pixels || picture_.devicePixelRatio() != ratio) {
            picture_ = QImage(pixels, QImage::Format_RGB32);
            picture_.setDevicePixelRatio(ratio);
            layoutValid_ = false;
        }
        picture_.fill(color());
        QPainter p(&picture_);
        drawPicture(p, size());
        pictureValid_ = true;
    }
    QPainter wp(this);
    const QRect r = e->rect();
    wp.drawImage(QRectF(r), picture_,
                 QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
    drawOverlays(wp);
}

void XYPlot::drawOverlays(QPainter& p) {
    const QRect& f = fieldRect_;
    if (xCursorOn_) {
        const int pixel = bottom_->valueToPixel(xCursorVal_);
        if (f.left() < pixel && pixel <= f.right()) {
            p.setPen(makePen(Qt::black, Qt::SolidLine, 1));
            p.drawLine(pixel, f.top() + 1, pixel, f.bottom());
        }
    }
    for (const PlotMarker* m : markers(MarkerLayer::Overlay)) {
        if (!m->visible()) continue;
        p.save();
        m->draw(&p, xAxisOf(m->xAxis())->map(), yAxisOf(m->yAxis())->map(), f);
        p.restore();
    }
}

void XYPlot::renderTo(QPainter* painter, QSize size) {
    if (!painter || size.width() <= 9 || size.height() <= 9) return;
    layoutValid_ = false;
    painter->save();
    drawPicture(*painter, size);
    painter->restore();
    // The axes were laid out for the rendering: the screen needs its own layout again.
    updateLayout();
}

void XYPlot::setXCursorOn(bool v) {
    if (v == xCursorOn_) return;
    xCursorOn_ = v;
    update();
}

void XYPlot::setXCursorVal(double v) {
    if (v == xCursorVal_) return;
    xCursorVal_ = v;
    if (xCursorOn_) update();
}

const QRubberBand* XYPlot::zoomBand() const {
    return dragState_ == DragState::Zooming ? zoomBand_.data() : nullptr;
}

void XYPlot::showZoomBand() {
    if (!zoomBand_) zoomBand_ = new QRubberBand(QRubberBand::Rectangle, this);
    zoomBand_->setGeometry(QRect(QPoint(std::min(x0_, x1_), std::min(y0_, y1_)),
                                 QPoint(std::max(x0_, x1_), std::max(y0_, y1_))));
    zoomBand_->show();
}

bool XYPlot::autoScaleAxis(Axis* axis) {
    if (!axis || (!axis->autoMin() && !axis->autoMax())) return false;
    const bool vertical = axis->isVertical();
    bool foundMin = false, foundMax = false;
    double mn = 0, mx = 0;
    for (DataSeries* s : series_) {
        if (!s->active()) continue;
        if ((vertical ? yAxisOf(s->yAxis()) : xAxisOf(s->xAxis())) != axis) continue;
        if (const auto v = vertical ? s->yMin() : s->xMin(); axis->autoMin() && v) {
            if (!foundMin || *v < mn) mn = *v;
            foundMin = true;
        }
        if (const auto v = vertical ? s->yMax() : s->xMax(); axis->autoMax() && v) {
            if (!foundMax || *v > mx) mx = *v;
            foundMax = true;
        }
    }
    if (!foundMin && !foundMax) return false;
    if (!foundMin) mn = axis->min();
    if (!foundMax) mx = axis->max();
    const double pad = (mx - mn) * 0.025;
    if (foundMin) mn -= pad;
    if (foundMax) mx += pad;
    if (mn != axis->min() || mx != axis->max()) axis->applyRange(mn, mx);
    return true;
}

void XYPlot::seriesChanged(DataSeries* s) {
    const bool a = autoScaleAxis(xAxisOf(s->xAxis()));
    const bool b = autoScaleAxis(yAxisOf(s->yAxis()));
    if (a || b)
        updateLayout();
    else
        replot();
}

void XYPlot::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    // A hidden plot gets the same size again at every grab: only a new size calls for a new
    // layout.
    if (picture_.isNull() || picture_.deviceIndependentSize().toSize() != size()) updateLayout();
}

void XYPlot::changeEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::FontChange:
        case QEvent::PaletteChange:  // system colours changed
        case QEvent::StyleChange:
        case QEvent::WindowTitleChange:
            updateLayout();
            break;
        default:
            break;
    }
    QWidget::changeEvent(e);
}

namespace {
MouseState stateOf(const QMouseEvent* e) {
    return {e->modifiers(), e->buttons(), e->type() == QEvent::MouseButtonDblClick};
}

// Back, forward and other extra buttons are none of the plot's: the toolkit handles them.
bool plotButton(const QMouseEvent* e) {
    return e->button() == Qt::LeftButton || e->button() == Qt::RightButton ||
           e->button() == Qt::MiddleButton;
}
}  // namespace

void XYPlot::mousePressEvent(QMouseEvent* e) {
    if (!plotButton(e)) {
        QWidget::mousePressEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    mouseDown(e->button(), stateOf(e), p.x(), p.y());
}

void XYPlot::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    mouseMove(stateOf(e), p.x(), p.y());
}

void XYPlot::mouseReleaseEvent(QMouseEvent* e) {
    if (!plotButton(e)) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    mouseUp(e->button(), stateOf(e), p.x(), p.y());
}

void XYPlot::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!plotButton(e)) {
        QWidget::mouseDoubleClickEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    mouseDown(e->button(), stateOf(e), p.x(), p.y());
}

void XYPlot::calcLayout(QSize size, int cw, int ch) {
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
    const QRect f(left, top, std::max(size.width() - right - left, 3),
                  std::max(size.height() - bottom - top, 3));
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

void XYPlot::drawFrame(QPainter& p, QSize size) {
    const QRect& f = fieldRect_;
    const int w = size.width(), h = size.height();
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
    drawCaptions(p, size);
}

void XYPlot::drawCaptions(QPainter& p, QSize size) {
    const QRect& f = fieldRect_;
    QFont bold = font();
    bold.setBold(true);
    if (bottom_->captionShown()) {
        p.setFont(bold);
        const QString& s = bottom_->caption();
        textOut(p, (f.left() + f.right() + 1 - textWidth(p, s)) / 2,
                size.height() - bottom_->margin(), s);
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
        textOutUpward(p, size.width() - right_->margin(),
                      (textWidth(p, s) + f.top() + f.bottom() + 1) / 2, s);
    }
}

void XYPlot::drawField(QPainter& p) {
    const QRect& f = fieldRect_;
    p.save();
    p.setClipRect(f, p.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    setCopyMode(p);
    if (fieldColor_.isValid()) p.fillRect(f, fieldColor_);
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
    const auto drawMarkers = [&](MarkerLayer layer) {
        for (const PlotMarker* m : markers(layer)) {
            if (!m->visible()) continue;
            p.save();
            m->draw(&p, xAxisOf(m->xAxis())->map(), yAxisOf(m->yAxis())->map(), f);
            p.restore();
        }
    };
    drawMarkers(MarkerLayer::BeforeSeries);
    for (const DataSeries* s : series_) {
        if (!s->active()) continue;
        p.save();
        s->draw(&p, xAxisOf(s->xAxis())->map(), yAxisOf(s->yAxis())->map(), f);
        p.restore();
    }
    drawMarkers(MarkerLayer::AfterSeries);
    p.restore();
}

namespace {
void outline(QPainter& p, int l, int t, int r, int b, const QColor& c) {
    p.setPen(makePen(c, Qt::SolidLine, 1));
    p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}
}  // namespace

void XYPlot::drawBorder(QPainter& p, QSize size) {
    const int w = size.width(), h = size.height();
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

namespace {
void zoomAxis(Axis& axis, int a, int b) {
    axis.applyRange(axis.pixelToValue(a), axis.pixelToValue(b));
}
}  // namespace

void XYPlot::setDragCorner(int x, int y) {
    x1_ = zoom_ == Qt::Vertical ? fieldRect_.right() + 1 : x;
    y1_ = zoom_ == Qt::Horizontal ? fieldRect_.bottom() + 1 : y;
}

namespace {
bool onlyLeftHeld(const MouseState& s) {
    return (s.buttons & (Qt::LeftButton | Qt::RightButton | Qt::MiddleButton)) == Qt::LeftButton;
}
}  // namespace

void XYPlot::mouseDown(Qt::MouseButton button, const MouseState& state, int x, int y) {
    if (button == Qt::LeftButton) {
        if (zoom_ && dragState_ == DragState::None) {
            x0_ = zoom_ == Qt::Vertical ? fieldRect_.left() : x;
            y0_ = zoom_ == Qt::Horizontal ? fieldRect_.top() : y;
            savedCursor_ = cursor();
            dragState_ = DragState::ZoomPressed;
        } else if ((state.modifiers & kShiftKeys) == panKeys_ && onlyLeftHeld(state) &&
                   !state.doubleClick && pan_ && dragState_ == DragState::None) {
            x0_ = x;
            y0_ = y;
            savedCursor_ = cursor();
            dragState_ = DragState::PanPressed;
            setCursor(panCursor_);
        }
    }
    emit mousePressed(button, QPoint(x, y));
}

void XYPlot::mouseMove(const MouseState& /*state*/, int x, int y) {
    switch (dragState_) {
        case DragState::ZoomPressed:
            if (std::abs(x - x0_) > 3 || std::abs(y - y0_) > 3) {
                dragState_ = DragState::Zooming;
                setCursor(Qt::CrossCursor);
                setDragCorner(x, y);
                showZoomBand();
            }
            break;
        case DragState::Zooming:
            setDragCorner(x, y);
            showZoomBand();
            break;
        case DragState::PanPressed:
        case DragState::Panning:
            if (dragState_ == DragState::PanPressed && x == x0_ && y == y0_) break;
            x1_ = x0_;
            y1_ = y0_;
            x0_ = x;
            y0_ = y;
            dragState_ = DragState::Panning;
            panStep();
            break;
        default:
            break;
    }
    emit mouseMoved(QPoint(x, y));
}

void XYPlot::panStep() {
    for (Axis* a : allAxes()) a->saveMinMax();
    const int dx = x1_ - x0_;
    if (dx != 0 && pan_.testFlag(Qt::Horizontal)) {
        bottom_->scrollBy(dx, true);
        top_->scrollBy(dx, true);
        replot();
    }
    const int dy = y1_ - y0_;
    if (dy != 0 && pan_.testFlag(Qt::Vertical)) {
        left_->scrollBy(dy, true);
        right_->scrollBy(dy, true);
        replot();
    }
}

void XYPlot::mouseUp(Qt::MouseButton button, const MouseState& /*state*/, int x, int y) {
    if (dragState_ == DragState::ZoomPressed) {
        const auto axes = allAxes();
        if (std::all_of(axes.begin(), axes.end(), [](Axis* a) { return a->hasSavedMinMax(); })) {
            for (Axis* a : axes) a->restoreMinMax();
            updateLayout();
        }
    } else if (dragState_ == DragState::Zooming) {
        if (zoomBand_) zoomBand_->hide();
        int l = x0_, r = x1_, t = y0_, b = y1_;
        if (x1_ < x0_) {
            l = x1_ + 1;
            r = x0_ + 1;
        }
        if (y1_ < y0_) {
            t = y1_ + 1;
            b = y0_ + 1;
        }
        zoomStep(l, t, r, b);
    }
    if (dragState_ != DragState::None) {
        dragState_ = DragState::None;
        setCursor(savedCursor_);
    }
    emit mouseReleased(button, QPoint(x, y));
}

void XYPlot::zoomStep(int l, int t, int r, int b) {
    if (!zoom_ || r - l <= 2 || b - t <= 2) return;
    for (Axis* a : allAxes()) a->saveMinMax();
    if (zoom_.testFlag(Qt::Horizontal)) {
        zoomAxis(*bottom_, l, r);
        zoomAxis(*top_, l, r);
    }
    if (zoom_.testFlag(Qt::Vertical)) {
        zoomAxis(*left_, b, t);
        zoomAxis(*right_, b, t);
    }
    updateLayout();
}

}  // namespace kvel
