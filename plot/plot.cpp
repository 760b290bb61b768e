#include "plot/plot.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>

namespace {
// The device pixels of a logical size at a device pixel ratio.
QSize scaledSize(int width, int height, qreal ratio) {
    return QSize(qRound(width * ratio), qRound(height * ratio));
}
// An image of a logical size at a device pixel ratio; null for an empty size.
QImage scaledImage(int width, int height, qreal ratio) {
    if (width <= 0 || height <= 0) return QImage();
    QImage image(scaledSize(width, height, ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}
}  // namespace

void OffscreenImage::resize(int width, int height, qreal ratio) {
    width_ = width;
    height_ = height;
    ratio_ = ratio;
    image_ = scaledImage(width, height, ratio);
}

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
    for (PlotMarker* m : before_) m->plotDestroyed();
    for (PlotMarker* m : after_) m->plotDestroyed();
    screenPainter_.reset();
}

void XYPlot::assignAxis(Axis& held, const Axis& a) {
    if (&held == &a) return;
    held.assign(a);
    invalidate();
}

void XYPlot::requestPaint() {
    paintPending_ = true;
    update();
}

void XYPlot::invalidate() {
    layoutValid_ = frameValid_ = fieldValid_ = false;
    requestPaint();
}

void XYPlot::invalidateParts(bool layout, bool frame, bool field) {
    if (layout) layoutValid_ = false;
    if (frame) frameValid_ = false;
    if (field) fieldValid_ = false;
    requestPaint();
}

void XYPlot::invalidateBuffers() {
    frameValid_ = fieldValid_ = false;
}

void XYPlot::paintPending() {
    if (paintPending_ && isVisible()) repaint();
}

bool XYPlot::controlImageFits() const {
    // Never empty, so that the painter always has a device: a 0 × 0 plot keeps a 1 × 1 image.
    const qreal ratio = devicePixelRatio();
    return !screen_.isNull() && screen_.devicePixelRatio() == ratio &&
           screen_.size() == scaledSize(std::max(width(), 1), std::max(height(), 1), ratio);
}

void XYPlot::ensureControlImage() {
    if (controlImageFits()) return;
    // The painter object stays: only its device changes, so a painter that a caller got from
    // drawCanvas earlier keeps working.
    if (screenPainter_ && screenPainter_->isActive()) screenPainter_->end();
    screen_ = scaledImage(std::max(width(), 1), std::max(height(), 1), devicePixelRatio());
    screen_.fill(color());
    if (screenPainter_) screenPainter_->begin(&screen_);
}

QPainter* XYPlot::controlCanvas() {
    ensureControlImage();
    if (!screenPainter_) screenPainter_ = std::make_unique<QPainter>(&screen_);
    return screenPainter_.get();
}

QPainter* XYPlot::drawCanvas() {
    if (drawCanvas_) return drawCanvas_;
    update();  // whatever the caller draws on the control's canvas must reach the screen
    return controlCanvas();
}

void XYPlot::setFieldColor(const QColor& v) {
    if (v == fieldColor_) return;
    fieldColor_ = v;
    invalidateParts(false, false, true);
}

void XYPlot::setBorderStyle(BorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    if (bufferedDisplay()) invalidateBuffers();
    drawBorder();
}

void XYPlot::setBufferedDisplay(bool v) {
    if (v == bufferedDisplay()) return;
    if (v)
        memBitmap_ = std::make_unique<OffscreenImage>(width(), height(), devicePixelRatio());
    else
        memBitmap_.reset();
    invalidate();
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

void XYPlot::addMarker(PlotMarker* m, MarkerLayer when) {
    if (!m) return;
    auto& list = when == MarkerLayer::BeforeSeries ? before_ : after_;
    if (std::find(list.begin(), list.end(), m) == list.end()) list.push_back(m);
    if (m->visible()) invalidateParts(false, false, true);
}

void XYPlot::removeMarker(PlotMarker* m, MarkerLayer when) {
    auto& list = when == MarkerLayer::BeforeSeries ? before_ : after_;
    const auto it = std::find(list.begin(), list.end(), m);
    if (it == list.end()) return;
    list.erase(it);
    if (m->visible()) invalidateParts(false, false, true);
}

bool XYPlot::autoScaleAxis(Axis* axis) {
    if (!axis || (!axis->autoMin() && !axis->autoMax())) return false;
    const bool vertical = axis->isVertical();
    bool foundMin = false, foundMax = false;
    double mn = 0, mx = 0;
    for (DataSeries* s : series_) {
        if (!s->active()) continue;
        if ((vertical ? yAxisOf(s->yAxis()) : xAxisOf(s->xAxis())) != axis) continue;
        double v = 0;
        if (axis->autoMin() && (vertical ? s->getYMin(v) : s->getXMin(v))) {
            if (!foundMin || v < mn) mn = v;
            foundMin = true;
        }
        if (axis->autoMax() && (vertical ? s->getYMax(v) : s->getXMax(v))) {
            if (!foundMax || v > mx) mx = v;
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
        invalidate();
    else
        invalidateParts(false, false, true);
}

void XYPlot::paintEvent(QPaintEvent* e) {
    if (paintPending_ || !controlImageFits()) paint();
    QPainter wp(this);
    const QRect r = e->rect();
    const qreal ratio = screen_.devicePixelRatio();
    wp.drawImage(QRectF(r), screen_,
                 QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
}

void XYPlot::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    invalidate();
}

void XYPlot::changeEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::FontChange:
        case QEvent::PaletteChange:  // system colours changed
        case QEvent::StyleChange:
        case QEvent::WindowTitleChange:
            invalidate();
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
    if (e->button() == Qt::LeftButton && rect().contains(p) && onClick) onClick(this);
}

void XYPlot::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!plotButton(e)) {
        QWidget::mouseDoubleClickEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    mouseDown(e->button(), stateOf(e), p.x(), p.y());
    if (onDblClick) onDblClick(this);
}

void XYPlot::doDrawEnd() {
    if (onDrawEnd) onDrawEnd(this);
}

void XYPlot::doFieldDraw() {
    if (onFieldDraw) onFieldDraw(this);
}
