// Floor 4, plot/: the XY plot widget library. It knows nothing of the module or the program.
//
// The XY plot widget: a field framed by four axes, the series and markers drawn into it, zoom
// and pan by mouse and an X cursor.
//
// The plot draws only in paintEvent. Its picture (axes, field, series and markers) is kept in
// an image that a change makes stale through replot(); each paint shows that image and draws
// the overlays over it: the X cursor and the overlay markers, so that moving them redraws no
// series. The zoom box is a rubber band.
#pragma once

#include <QImage>
#include <QPointer>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "plot/axis.h"
#include "plot/data_series.h"
#include "plot/plot_marker.h"

class QRubberBand;

namespace kvel {

enum class BorderStyle { None, Raised, Lowered, Gutter, BlackRect, BoldRect, FocusRect };

// What a mouse event carries besides its button and position: the keys and buttons held, and
// whether the press is the second one of a double click.
struct MouseState {
    Qt::KeyboardModifiers modifiers;
    Qt::MouseButtons buttons;
    bool doubleClick = false;
};

class XYPlot : public QWidget {
    Q_OBJECT
  public:
    // What a left drag is doing: a press waiting to become a zoom, the zoom box drawn, a pan
    // press waiting for the first move, a pan under way.
    enum class DragState { None, ZoomPressed, Zooming, PanPressed, Panning };

    explicit XYPlot(QWidget* parent = nullptr);
    ~XYPlot() override;

    Axis* leftAxis() const { return left_.get(); }
    Axis* rightAxis() const { return right_.get(); }
    Axis* bottomAxis() const { return bottom_.get(); }
    Axis* topAxis() const { return top_.get(); }
    // The axis that a series or marker bound to w draws against.
    Axis* xAxisOf(XAxisChoice w) const { return w == XAxisChoice::Top ? topAxis() : bottomAxis(); }
    Axis* yAxisOf(YAxisChoice w) const {
        return w == YAxisChoice::Right ? rightAxis() : leftAxis();
    }

    // The field inside the four axis lines (QRect: right() and bottom() are its last pixels).
    QRect fieldRect() const { return fieldRect_; }

    // The colour around the field is the palette colour of the widget's background role
    // (QPalette::Button unless set otherwise), so that it follows palette changes.
    QColor color() const { return palette().color(backgroundRole()); }
    // An invalid colour (QColor()) leaves the field unfilled.
    QColor fieldColor() const { return fieldColor_; }
    void setFieldColor(const QColor& v);
    BorderStyle borderStyle() const { return borderStyle_; }
    void setBorderStyle(BorderStyle v);

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
    DragState dragState() const { return dragState_; }
    // The zoom box while a zoom drag is under way; null otherwise.
    const QRubberBand* zoomBand() const;

    bool xCursorOn() const { return xCursorOn_; }
    void setXCursorOn(bool v);
    double xCursorVal() const { return xCursorVal_; }
    void setXCursorVal(double v);

    // The picture is stale: it is drawn again at the next paint, which is scheduled.
    void replot();
    // The room of the axes may have changed as well: the layout is computed again first.
    void updateLayout();
    bool layoutValid() const { return layoutValid_; }
    bool pictureValid() const { return pictureValid_; }

    // Registration by the series and markers themselves (their setPlot).
    void addSeries(DataSeries* s);
    void removeSeries(DataSeries* s);
    const std::vector<DataSeries*>& series() const { return series_; }
    void addMarker(PlotMarker* m);
    void removeMarker(PlotMarker* m);
    const std::vector<PlotMarker*>& markers(MarkerLayer when) const {
        return markers_[std::size_t(when)];
    }

    // Fits an auto-scaled axis to the active series bound to it, with a 2.5 % pad on each
    // side found; true when it found data to fit (also if the range stayed the same).
    bool autoScaleAxis(Axis* axis);
    void seriesChanged(DataSeries* s);

    // Draws the plot's picture (no overlays) onto any painter of the given size: an image to
    // save or print. Ignored without a painter or at 9 pixels or less.
    void renderTo(QPainter* painter, QSize size);
    // Places the field and the axis lines for a picture of the given size; cw: width of "0", ch:
    // font height in pixels.
    virtual void calcLayout(QSize size, int cw, int ch);

    // The plot's mouse handling (zoom, pan), then the mouse signals.
    virtual void mouseDown(Qt::MouseButton button, const MouseState& state, int x, int y);
    virtual void mouseMove(const MouseState& state, int x, int y);
    virtual void mouseUp(Qt::MouseButton button, const MouseState& state, int x, int y);

  signals:
    // Before the items are drawn into the picture or a rendering of the given size: an owner
    // that draws a view of larger data fills its series for that size here (directly
    // connected; changes it makes to the series do not call for another picture).
    void aboutToDraw(QSize size);
    // After the plot acted on the mouse itself; positions in the plot's pixels.
    void mousePressed(Qt::MouseButton button, QPoint pos);
    void mouseMoved(QPoint pos);
    void mouseReleased(Qt::MouseButton button, QPoint pos);

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;

    virtual void drawFrame(QPainter& p, QSize size);
    virtual void drawField(QPainter& p);
    void drawBorder(QPainter& p, QSize size);

  private:
    void drawPicture(QPainter& p, QSize size);
    void drawOverlays(QPainter& p);
    void drawCaptions(QPainter& p, QSize size);
    void setDragCorner(int x, int y);
    void showZoomBand();
    void panStep();
    void zoomStep(int l, int t, int r, int b);
    std::array<Axis*, 4> allAxes() const {
        return {left_.get(), right_.get(), bottom_.get(), top_.get()};
    }

    std::unique_ptr<Axis> left_, right_, bottom_, top_;
    QRect fieldRect_;
    QImage picture_;
    QColor fieldColor_ = Qt::white;
    BorderStyle borderStyle_ = BorderStyle::None;
    std::vector<DataSeries*> series_;
    std::array<std::vector<PlotMarker*>, 3> markers_;

    Qt::Orientations zoom_ = Qt::Horizontal | Qt::Vertical, pan_ = Qt::Horizontal | Qt::Vertical;
    static constexpr Qt::KeyboardModifiers kShiftKeys{Qt::ShiftModifier | Qt::AltModifier |
                                                      Qt::ControlModifier};
    Qt::KeyboardModifiers zoomKeys_ = Qt::ShiftModifier, panKeys_ = Qt::ControlModifier;
    Qt::CursorShape panCursor_ = Qt::ArrowCursor;
    QCursor savedCursor_;
    int x0_ = 0, y0_ = 0, x1_ = 0, y1_ = 0;
    DragState dragState_ = DragState::None;
    QPointer<QRubberBand> zoomBand_;
    bool xCursorOn_ = false;
    double xCursorVal_ = 0;

    bool layoutValid_ = false, pictureValid_ = false;
};

}  // namespace kvel
