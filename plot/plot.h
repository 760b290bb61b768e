// Floor 4, plot/: the XY plot widget library. It knows nothing of the module or the program.
//
// The XY plot widget: a field framed by four axes, the series and markers drawn into it,
// buffered painting of only the stale parts, zoom and pan by mouse and an X cursor.
//
// Canvases are QPainters. The control's own canvas is a painter on an image of the widget's
// size that paintEvent shows; drawing on it outside a paint (the X cursor, the zoom rectangle,
// quickAddXY, a caller's inverting marker lines) shows at the next screen update, and inverting
// pen modes work on it because it is a QImage.
//
// Events are std::function members, called with the plot or the axis as sender; an empty
// one is not called. Mouse events fire after the plot has acted on the mouse itself.
#pragma once

#include <QImage>
#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "plot/scale_axis.h"
#include "plot/series.h"

enum class BorderStyle { None, Raised, Lowered, Gutter, BlackRect, BoldRect, FocusRect };
enum class MarkerLayer { BeforeSeries, AfterSeries };

// What a mouse event carries besides its button and position: the keys and buttons held, and
// whether the press is the second one of a double click.
struct MouseState {
    Qt::KeyboardModifiers modifiers;
    Qt::MouseButtons buttons;
    bool doubleClick = false;
};

// Off-screen image the plot paints into before copying it to the control in one go. Its size
// is in the widget's (logical) pixels; the image holds ratio times as many device pixels, so
// that the plot stays sharp on scaled screens.
class OffscreenImage {
  public:
    OffscreenImage(int width, int height, qreal ratio = 1) { resize(width, height, ratio); }
    // False when the image could not be had (no memory, empty size).
    bool valid() const { return !image_.isNull(); }
    void resize(int width, int height, qreal ratio = 1);
    int width() const { return width_; }
    int height() const { return height_; }
    qreal ratio() const { return ratio_; }
    QImage& image() { return image_; }

  private:
    int width_ = 0, height_ = 0;
    qreal ratio_ = 1;
    QImage image_;
};

// Base of objects drawn in the field before or after the series; subclasses implement draw()
// on the plot's drawCanvas().
class PlotMarker {
  public:
    PlotMarker() = default;
    virtual ~PlotMarker();
    PlotMarker(const PlotMarker&) = delete;
    PlotMarker& operator=(const PlotMarker&) = delete;

    XYPlot* plot() const { return plot_; }
    void setPlot(XYPlot* plot);
    MarkerLayer whenDraw() const { return whenDraw_; }
    void setWhenDraw(MarkerLayer v);
    bool visible() const { return visible_; }
    void setVisible(bool v);
    XAxisChoice xAxis() const { return xAxis_; }
    void setXAxis(XAxisChoice v);
    YAxisChoice yAxis() const { return yAxis_; }
    void setYAxis(YAxisChoice v);
    // The plot axes chosen by xAxis and yAxis; null without a plot.
    Axis* xAxisObj() const { return xAxisObj_; }
    Axis* yAxisObj() const { return yAxisObj_; }

    virtual void draw() = 0;
    void plotDestroyed();

  private:
    void followAxes();
    MarkerLayer whenDraw_ = MarkerLayer::BeforeSeries;
    bool visible_ = true;
    XYPlot* plot_ = nullptr;
    XAxisChoice xAxis_ = XAxisChoice::Bottom;
    YAxisChoice yAxis_ = YAxisChoice::Left;
    Axis* xAxisObj_ = nullptr;
    Axis* yAxisObj_ = nullptr;
};

class XYPlot : public QWidget {
    Q_OBJECT
  public:
    explicit XYPlot(QWidget* parent = nullptr);
    ~XYPlot() override;

    Axis* leftAxis() const { return left_.get(); }
    Axis* rightAxis() const { return right_.get(); }
    Axis* bottomAxis() const { return bottom_.get(); }
    Axis* topAxis() const { return top_.get(); }
    // The held axis takes the other one's settings; the axis objects are never replaced.
    void setLeftAxis(const Axis& a) { assignAxis(*left_, a); }
    void setRightAxis(const Axis& a) { assignAxis(*right_, a); }
    void setBottomAxis(const Axis& a) { assignAxis(*bottom_, a); }
    void setTopAxis(const Axis& a) { assignAxis(*top_, a); }
    // The axis that a series or marker bound to w draws against.
    Axis* xAxisOf(XAxisChoice w) const { return w == XAxisChoice::Top ? topAxis() : bottomAxis(); }
    Axis* yAxisOf(YAxisChoice w) const {
        return w == YAxisChoice::Right ? rightAxis() : leftAxis();
    }

    // The field inside the four axis lines (QRect: right() and bottom() are its last pixels).
    QRect fieldRect() const { return fieldRect_; }
    // Where drawing goes now: the off-screen image during a buffered paint, the caller's
    // painter during drawOnCanvas, otherwise the control's own canvas. The control's painter
    // lives as long as the plot: a caller may keep it across resizes and repaints.
    QPainter* drawCanvas();
    int drawWidth() const { return drawWidth_ >= 0 ? drawWidth_ : width(); }
    int drawHeight() const { return drawHeight_ >= 0 ? drawHeight_ : height(); }
    // What the control shows (its own canvas), at the widget's device pixel ratio.
    const QImage& controlImage() const { return screen_; }

    // The colour around the field is the palette colour of the widget's background role
    // (QPalette::Button unless set otherwise), so that it follows palette changes.
    QColor color() const { return palette().color(backgroundRole()); }
    // An invalid colour (QColor()) leaves the field unfilled.
    QColor fieldColor() const { return fieldColor_; }
    void setFieldColor(const QColor& v);
    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle v);
    bool bufferedDisplay() const { return bool(memBitmap_); }
    void setBufferedDisplay(bool v);
    OffscreenImage* memBitmap() const { return memBitmap_.get(); }

    // The directions a left drag zooms and pans in; none switches it off.
    Qt::Orientations zoom() const { return zoom_; }
    void setZoom(Qt::Orientations v) { zoom_ = v; }
    Qt::Orientations pan() const { return pan_; }
    void setPan(Qt::Orientations v) { pan_ = v; }
    // Shift, Alt and Ctrl only. A left press with exactly the pan keys held (and no other
    // button) pans. Any left press zooms while zoom() has a direction; the zoom keys are kept for
    // the owner only.
    Qt::KeyboardModifiers zoomShiftKeys() const { return zoomKeys_; }
    void setZoomShiftKeys(Qt::KeyboardModifiers v) { zoomKeys_ = v & kShiftKeys; }
    Qt::KeyboardModifiers panShiftKeys() const { return panKeys_; }
    void setPanShiftKeys(Qt::KeyboardModifiers v) { panKeys_ = v & kShiftKeys; }
    Qt::CursorShape panCursor() const { return panCursor_; }
    void setPanCursor(Qt::CursorShape v) { panCursor_ = v; }
    int dragState() const { return dragState_; }

    bool xCursorOn() const { return xCursorOn_; }
    void setXCursorOn(bool v);
    double xCursorVal() const { return xCursorVal_; }
    void setXCursorVal(double v);

    // Repaint requests, saying which cached parts became stale.
    void invalidate();
    void invalidateParts(bool layout, bool frame, bool field);
    // Something drew over the control's canvas: frame and field images are stale, no repaint.
    void invalidateBuffers();
    // Paints pending invalidations now (synchronously) when the widget is shown.
    void paintPending();
    bool layoutValid() const { return layoutValid_; }
    bool frameValid() const { return frameValid_; }
    bool fieldValid() const { return fieldValid_; }

    void addSeries(DataSeries* s);
    void removeSeries(DataSeries* s);
    const std::vector<DataSeries*>& series() const { return series_; }
    void addMarker(PlotMarker* m, MarkerLayer when);
    void removeMarker(PlotMarker* m, MarkerLayer when);
    const std::vector<PlotMarker*>& markers(MarkerLayer when) const {
        return when == MarkerLayer::BeforeSeries ? before_ : after_;
    }

    // Fits an auto-scaled axis to the active series bound to it, with a 2.5 % pad on each
    // side found; true when it found data to fit (also if the range stayed the same).
    bool autoScaleAxis(Axis* axis);
    void seriesChanged(DataSeries* s);

    // Paints the control's canvas now, redrawing only the stale parts when buffered.
    virtual void paint();
    // Draws the whole plot onto any painter of the given size (an image to save or print);
    // ignored without a painter or at 9 pixels or less.
    void drawOnCanvas(QPainter* canvas, int width, int height);
    // cw: width of "0", ch: font height, both in pixels.
    virtual void calcLayout(int cw, int ch);
    virtual void drawFrame();
    virtual void drawField();
    void drawBorder();
    void drawAll();

    // The plot's mouse handling (zoom, pan), then the mouse events.
    virtual void mouseDown(Qt::MouseButton button, const MouseState& state, int x, int y);
    virtual void mouseMove(const MouseState& state, int x, int y);
    virtual void mouseUp(Qt::MouseButton button, const MouseState& state, int x, int y);

    // Before any drawing of a paint or of drawOnCanvas, with drawWidth() already that of the
    // target: an owner that draws a view of larger data fills its series for that view here.
    std::function<void(XYPlot* sender)> onPaintStart;
    std::function<void(XYPlot* sender)> onFieldDraw;
    std::function<void(XYPlot* sender)> onDrawEnd;
    // The handler may rewrite the label text.
    std::function<void(Axis* sender, int labelNum, double labelVal, QString& label)> onGetTickLabel;
    // Called per zoomed axis before its range is applied; may change min and max or refuse.
    std::function<void(Axis* sender, double& min, double& max, bool& canZoom)> onAxisZoom;
    std::function<void(XYPlot*sender, Qt::MouseButton button, const MouseState&state, int x, int y)>
        onMouseDown, onMouseUp;
    std::function<void(XYPlot* sender, const MouseState& state, int x, int y)> onMouseMove;
    std::function<void(XYPlot*sender)> onClick, onDblClick;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    virtual void doDrawEnd();
    virtual void doFieldDraw();

  private:
    friend class DrawCanvasScope;
    void assignAxis(Axis& held, const Axis& a);
    void requestPaint();
    QPainter* controlCanvas();
    void ensureControlImage();
    // The control's image has the widget's size and device pixel ratio.
    bool controlImageFits() const;
    void prepareFont(QPainter& p);
    void drawCaptions(QPainter& p);
    void drawXCursorLine(int pixel);
    void drawZoomRect();
    void setDragCorner(int x, int y);
    void panStep();
    void zoomStep(int l, int t, int r, int b);
    void zoomAxis(Axis& axis, int a, int b);
    std::array<Axis*, 4> allAxes() const {
        return {left_.get(), right_.get(), bottom_.get(), top_.get()};
    }

    std::unique_ptr<Axis> left_, right_, bottom_, top_;
    QRect fieldRect_;
    QPainter* drawCanvas_ = nullptr;
    // The size being drawn while a paint or drawOnCanvas runs; −1: the control's size.
    int drawWidth_ = -1, drawHeight_ = -1;
    std::unique_ptr<OffscreenImage> memBitmap_;
    QImage screen_;
    std::unique_ptr<QPainter> screenPainter_;
    QColor fieldColor_ = Qt::white;
    BorderStyle borderStyle_ = BorderStyle::None;
    std::vector<DataSeries*> series_;
    std::vector<PlotMarker*> before_, after_;

    Qt::Orientations zoom_ = Qt::Horizontal | Qt::Vertical, pan_ = Qt::Horizontal | Qt::Vertical;
    static constexpr Qt::KeyboardModifiers kShiftKeys{Qt::ShiftModifier | Qt::AltModifier |
                                                      Qt::ControlModifier};
    Qt::KeyboardModifiers zoomKeys_ = Qt::ShiftModifier, panKeys_ = Qt::ControlModifier;
    Qt::CursorShape panCursor_ = Qt::ArrowCursor;
    QCursor savedCursor_;
    int x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
    int dragState_ = 0;
    bool xCursorOn_ = false;
    double xCursorVal_ = 0;
    int cursorPixel_ = 0;

    bool layoutValid_ = false, frameValid_ = false, fieldValid_ = false;
    bool paintPending_ = true;
};
