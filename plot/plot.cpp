#include "plot/plot.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <algorithm>

namespace {
// The device pixels of a logical size at a device pixel ratio.
QSize ScaledSize(int width, int height, qreal ratio) {
    return QSize(qRound(width * ratio), qRound(height * ratio));
}
// An image of a logical size at a device pixel ratio; null for an empty size.
QImage ScaledImage(int width, int height, qreal ratio) {
    if (width <= 0 || height <= 0) return QImage();
    QImage image(ScaledSize(width, height, ratio), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}
}  // namespace

void Tsp_MemBitmap::Resize(int width, int height, qreal ratio) {
    width_ = width;
    height_ = height;
    ratio_ = ratio;
    image_ = ScaledImage(width, height, ratio);
}

Tsp_XYPlot::Tsp_XYPlot(QWidget* parent)
    : QWidget(parent),
      left_(std::make_unique<Tsp_Axis>(sfVertical, this)),
      right_(std::make_unique<Tsp_Axis>(sfVertical | sfNoTicksLines | sfNoTicksLabel | sfFarSide,
                                        this)),
      bottom_(std::make_unique<Tsp_Axis>(0, this)),
      top_(std::make_unique<Tsp_Axis>(sfNoTicksLines | sfNoTicksLabel | sfFarSide, this)) {
    left_->GridAttr()->Assign(Tsp_LineAttr(clGray, psSolid, 1, true));
    bottom_->GridAttr()->Assign(Tsp_LineAttr(clGray, psSolid, 1, true));
    // The plot paints every pixel itself: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    resize(180, 120);
}

Tsp_XYPlot::~Tsp_XYPlot() {
    for (Tsp_DataSeries* s : series_) s->PlotDestroyed();
    for (Tsp_PlotMarker* m : before_) m->PlotDestroyed();
    for (Tsp_PlotMarker* m : after_) m->PlotDestroyed();
    screenPainter_.reset();
}

void Tsp_XYPlot::AssignAxis(Tsp_Axis& held, const Tsp_Axis& a) {
    if (&held == &a) return;
    held.Assign(a);
    Invalidate();
}

void Tsp_XYPlot::RequestPaint() {
    paintPending_ = true;
    update();
}

void Tsp_XYPlot::Invalidate() {
    layoutValid_ = frameValid_ = fieldValid_ = false;
    RequestPaint();
}

void Tsp_XYPlot::InvalidateParts(bool layout, bool frame, bool field) {
    if (layout) layoutValid_ = false;
    if (frame) frameValid_ = false;
    if (field) fieldValid_ = false;
    RequestPaint();
}

void Tsp_XYPlot::InvalidateBuffers() {
    frameValid_ = fieldValid_ = false;
}

void Tsp_XYPlot::Update() {
    if (paintPending_ && isVisible()) repaint();
}

bool Tsp_XYPlot::ControlImageFits() const {
    // Never empty, so that the painter always has a device: a 0 × 0 plot keeps a 1 × 1 image.
    const qreal ratio = devicePixelRatio();
    return !screen_.isNull() && screen_.devicePixelRatio() == ratio &&
           screen_.size() == ScaledSize(std::max(width(), 1), std::max(height(), 1), ratio);
}

void Tsp_XYPlot::EnsureControlImage() {
    if (ControlImageFits()) return;
    // The painter object stays: only its device changes, so a painter that a caller got from
    // DrawCanvas earlier keeps working.
    if (screenPainter_ && screenPainter_->isActive()) screenPainter_->end();
    screen_ = ScaledImage(std::max(width(), 1), std::max(height(), 1), devicePixelRatio());
    screen_.fill(ToQColor(color_));
    if (screenPainter_) screenPainter_->begin(&screen_);
}

QPainter* Tsp_XYPlot::ControlCanvas() {
    EnsureControlImage();
    if (!screenPainter_) screenPainter_ = std::make_unique<QPainter>(&screen_);
    return screenPainter_.get();
}

QPainter* Tsp_XYPlot::DrawCanvas() {
    if (drawCanvas_) return drawCanvas_;
    update();  // whatever the caller draws on the control's canvas must reach the screen
    return ControlCanvas();
}

void Tsp_XYPlot::SetColor(TColor v) {
    if (v == color_) return;
    color_ = v;
    Invalidate();
}

void Tsp_XYPlot::SetFieldColor(TColor v) {
    if (v == fieldColor_) return;
    fieldColor_ = v;
    InvalidateParts(false, false, true);
}

void Tsp_XYPlot::SetBorderStyle(Tsp_BorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    if (BufferedDisplay()) InvalidateBuffers();
    DrawBorder();
}

void Tsp_XYPlot::SetBufferedDisplay(bool v) {
    if (v == BufferedDisplay()) return;
    if (v)
        memBitmap_ = std::make_unique<Tsp_MemBitmap>(width(), height(), devicePixelRatio());
    else
        memBitmap_.reset();
    Invalidate();
}

void Tsp_XYPlot::AddSeries(Tsp_DataSeries* s) {
    if (!s) return;
    if (std::find(series_.begin(), series_.end(), s) == series_.end()) series_.push_back(s);
    if (s->Active()) SeriesChanged(s);
}

void Tsp_XYPlot::RemoveSeries(Tsp_DataSeries* s) {
    const auto it = std::find(series_.begin(), series_.end(), s);
    if (it == series_.end()) return;
    series_.erase(it);
    if (s->Active()) SeriesChanged(s);
}

void Tsp_XYPlot::AddMarker(Tsp_PlotMarker* m, Tsp_WhenDrawMarker when) {
    if (!m) return;
    auto& list = when == dmBeforeSeries ? before_ : after_;
    if (std::find(list.begin(), list.end(), m) == list.end()) list.push_back(m);
    if (m->Visible()) InvalidateParts(false, false, true);
}

void Tsp_XYPlot::RemoveMarker(Tsp_PlotMarker* m, Tsp_WhenDrawMarker when) {
    auto& list = when == dmBeforeSeries ? before_ : after_;
    const auto it = std::find(list.begin(), list.end(), m);
    if (it == list.end()) return;
    list.erase(it);
    if (m->Visible()) InvalidateParts(false, false, true);
}

bool Tsp_XYPlot::AutoScaleAxis(Tsp_Axis* axis) {
    if (!axis || (!axis->AutoMin() && !axis->AutoMax())) return false;
    const bool vertical = axis->IsVertical();
    bool foundMin = false, foundMax = false;
    double mn = 0, mx = 0;
    for (Tsp_DataSeries* s : series_) {
        if (!s->Active()) continue;
        if ((vertical ? YAxisOf(s->YAxis()) : XAxisOf(s->XAxis())) != axis) continue;
        double v = 0;
        if (axis->AutoMin() && (vertical ? s->GetYMin(v) : s->GetXMin(v))) {
            if (!foundMin || v < mn) mn = v;
            foundMin = true;
        }
        if (axis->AutoMax() && (vertical ? s->GetYMax(v) : s->GetXMax(v))) {
            if (!foundMax || v > mx) mx = v;
            foundMax = true;
        }
    }
    if (!foundMin && !foundMax) return false;
    if (!foundMin) mn = axis->Min();
    if (!foundMax) mx = axis->Max();
    const double pad = (mx - mn) * 0.025;
    if (foundMin) mn -= pad;
    if (foundMax) mx += pad;
    if (mn != axis->Min() || mx != axis->Max()) axis->ApplyRange(mn, mx);
    return true;
}

void Tsp_XYPlot::SeriesChanged(Tsp_DataSeries* s) {
    const bool a = AutoScaleAxis(XAxisOf(s->XAxis()));
    const bool b = AutoScaleAxis(YAxisOf(s->YAxis()));
    if (a || b)
        Invalidate();
    else
        InvalidateParts(false, false, true);
}

void Tsp_XYPlot::paintEvent(QPaintEvent* e) {
    if (paintPending_ || !ControlImageFits()) Paint();
    QPainter wp(this);
    const QRect r = e->rect();
    const qreal ratio = screen_.devicePixelRatio();
    wp.drawImage(QRectF(r), screen_,
                 QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio));
}

void Tsp_XYPlot::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Invalidate();
}

void Tsp_XYPlot::changeEvent(QEvent* e) {
    switch (e->type()) {
        case QEvent::FontChange:
        case QEvent::PaletteChange:  // system colours changed
        case QEvent::StyleChange:
        case QEvent::WindowTitleChange:
            Invalidate();
            break;
        default:
            break;
    }
    QWidget::changeEvent(e);
}

namespace {
TShiftState ShiftOf(const QMouseEvent* e) {
    TShiftState s = 0;
    const Qt::KeyboardModifiers m = e->modifiers();
    if (m & Qt::ShiftModifier) s |= ssShift;
    if (m & Qt::AltModifier) s |= ssAlt;
    if (m & Qt::ControlModifier) s |= ssCtrl;
    const Qt::MouseButtons b = e->buttons();
    if (b & Qt::LeftButton) s |= ssLeft;
    if (b & Qt::RightButton) s |= ssRight;
    if (b & Qt::MiddleButton) s |= ssMiddle;
    return s;
}

TMouseButton ButtonOf(const QMouseEvent* e) {
    switch (e->button()) {
        case Qt::RightButton:
            return mbRight;
        case Qt::MiddleButton:
            return mbMiddle;
        default:
            return mbLeft;
    }
}

// Back, forward and other extra buttons are none of the plot's: the toolkit handles them.
bool PlotButton(const QMouseEvent* e) {
    return e->button() == Qt::LeftButton || e->button() == Qt::RightButton ||
           e->button() == Qt::MiddleButton;
}
}  // namespace

void Tsp_XYPlot::mousePressEvent(QMouseEvent* e) {
    if (!PlotButton(e)) {
        QWidget::mousePressEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    MouseDown(ButtonOf(e), ShiftOf(e), p.x(), p.y());
}

void Tsp_XYPlot::mouseMoveEvent(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    MouseMove(ShiftOf(e), p.x(), p.y());
}

void Tsp_XYPlot::mouseReleaseEvent(QMouseEvent* e) {
    if (!PlotButton(e)) {
        QWidget::mouseReleaseEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    MouseUp(ButtonOf(e), ShiftOf(e), p.x(), p.y());
    if (e->button() == Qt::LeftButton && rect().contains(p) && OnClick) OnClick(this);
}

void Tsp_XYPlot::mouseDoubleClickEvent(QMouseEvent* e) {
    if (!PlotButton(e)) {
        QWidget::mouseDoubleClickEvent(e);
        return;
    }
    const QPoint p = e->position().toPoint();
    MouseDown(ButtonOf(e), ShiftOf(e) | ssDouble, p.x(), p.y());
    if (OnDblClick) OnDblClick(this);
}

void Tsp_XYPlot::DoDrawEnd() {
    if (OnDrawEnd) OnDrawEnd(this);
}

void Tsp_XYPlot::DoFieldDraw() {
    if (OnFieldDraw) OnFieldDraw(this);
}
