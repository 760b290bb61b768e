// The XY plot widget: a field framed by four axes, the series and markers drawn into it,
// buffered painting of only the stale parts, zoom and pan by mouse and an X cursor.
//
// Canvases are QPainters. The control's own canvas is a painter on an image of the widget's
// size that paintEvent shows; drawing on it outside a paint (the X cursor, the zoom rectangle,
// QuickAddXY, a caller's inverting marker lines) shows at the next screen update, and inverting
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

enum Tsp_zpDirections { zpdNone, zpdHorizontal, zpdVertical, zpdBoth };
enum Tsp_BorderStyle {
    bs_None,
    bs_Raised,
    bs_Lowered,
    bs_Gutter,
    bs_BlackRect,
    bs_BoldRect,
    bs_FocusRect
};
enum Tsp_WhenDrawMarker { dmBeforeSeries, dmAfterSeries };
enum TMouseButton { mbLeft, mbRight, mbMiddle };

// Shift state bits of a mouse event, also the sets ZoomShiftKeys and PanShiftKeys.
using TShiftState = std::uint8_t;
constexpr TShiftState ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32,
                      ssDouble = 64;
using Tsp_ShiftKeys = TShiftState;

// Off-screen image the plot paints into before copying it to the control in one go. Its size
// is in the widget's (logical) pixels; the image holds ratio times as many device pixels, so
// that the plot stays sharp on scaled screens.
class Tsp_MemBitmap {
  public:
    Tsp_MemBitmap(int width, int height, qreal ratio = 1) { Resize(width, height, ratio); }
    // False when the image could not be had (no memory, empty size).
    bool Valid() const { return !image_.isNull(); }
    void Resize(int width, int height, qreal ratio = 1);
    int Width() const { return width_; }
    int Height() const { return height_; }
    qreal Ratio() const { return ratio_; }
    QImage& Image() { return image_; }

  private:
    int width_ = 0, height_ = 0;
    qreal ratio_ = 1;
    QImage image_;
};

// Base of objects drawn in the field before or after the series; subclasses implement Draw
// on the plot's DrawCanvas().
class Tsp_PlotMarker {
  public:
    Tsp_PlotMarker() = default;
    virtual ~Tsp_PlotMarker();
    Tsp_PlotMarker(const Tsp_PlotMarker&) = delete;
    Tsp_PlotMarker& operator=(const Tsp_PlotMarker&) = delete;

    Tsp_XYPlot* Plot() const { return plot_; }
    void SetPlot(Tsp_XYPlot* plot);
    Tsp_WhenDrawMarker WhenDraw() const { return whenDraw_; }
    void SetWhenDraw(Tsp_WhenDrawMarker v);
    bool Visible() const { return visible_; }
    void SetVisible(bool v);
    Tsp_WhatXAxis XAxis() const { return xAxis_; }
    void SetXAxis(Tsp_WhatXAxis v);
    Tsp_WhatYAxis YAxis() const { return yAxis_; }
    void SetYAxis(Tsp_WhatYAxis v);
    // The plot axes chosen by XAxis and YAxis; null without a plot.
    Tsp_Axis* XAxisObj() const { return xAxisObj_; }
    Tsp_Axis* YAxisObj() const { return yAxisObj_; }

    virtual void Draw() = 0;
    void PlotDestroyed();

  private:
    void FollowAxes();
    Tsp_WhenDrawMarker whenDraw_ = dmBeforeSeries;
    bool visible_ = true;
    Tsp_XYPlot* plot_ = nullptr;
    Tsp_WhatXAxis xAxis_ = dsxBottom;
    Tsp_WhatYAxis yAxis_ = dsyLeft;
    Tsp_Axis* xAxisObj_ = nullptr;
    Tsp_Axis* yAxisObj_ = nullptr;
};

class Tsp_XYPlot : public QWidget {
    Q_OBJECT
  public:
    explicit Tsp_XYPlot(QWidget* parent = nullptr);
    ~Tsp_XYPlot() override;

    Tsp_Axis* LeftAxis() const { return left_.get(); }
    Tsp_Axis* RightAxis() const { return right_.get(); }
    Tsp_Axis* BottomAxis() const { return bottom_.get(); }
    Tsp_Axis* TopAxis() const { return top_.get(); }
    // The held axis takes the other one's settings; the axis objects are never replaced.
    void SetLeftAxis(const Tsp_Axis& a) { AssignAxis(*left_, a); }
    void SetRightAxis(const Tsp_Axis& a) { AssignAxis(*right_, a); }
    void SetBottomAxis(const Tsp_Axis& a) { AssignAxis(*bottom_, a); }
    void SetTopAxis(const Tsp_Axis& a) { AssignAxis(*top_, a); }
    // The axis that a series or marker bound to w draws against.
    Tsp_Axis* XAxisOf(Tsp_WhatXAxis w) const { return w == dsxTop ? TopAxis() : BottomAxis(); }
    Tsp_Axis* YAxisOf(Tsp_WhatYAxis w) const { return w == dsyRight ? RightAxis() : LeftAxis(); }

    TRect FieldRect() const { return fieldRect_; }
    // Where drawing goes now: the off-screen image during a buffered paint, the caller's
    // painter during DrawOnCanvas, otherwise the control's own canvas. The control's painter
    // lives as long as the plot: a caller may keep it across resizes and repaints.
    QPainter* DrawCanvas();
    int DrawWidth() const { return drawWidth_ >= 0 ? drawWidth_ : width(); }
    int DrawHeight() const { return drawHeight_ >= 0 ? drawHeight_ : height(); }
    // What the control shows (its own canvas), at the widget's device pixel ratio.
    const QImage& ControlImage() const { return screen_; }

    TColor Color() const { return color_; }
    void SetColor(TColor v);
    TColor FieldColor() const { return fieldColor_; }
    void SetFieldColor(TColor v);
    Tsp_BorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(Tsp_BorderStyle v);
    bool BufferedDisplay() const { return bool(memBitmap_); }
    void SetBufferedDisplay(bool v);
    Tsp_MemBitmap* MemBitmap() const { return memBitmap_.get(); }

    Tsp_zpDirections Zoom() const { return zoom_; }
    void SetZoom(Tsp_zpDirections v) { zoom_ = v; }
    Tsp_zpDirections Pan() const { return pan_; }
    void SetPan(Tsp_zpDirections v) { pan_ = v; }
    // Stored with the left-button bit added, read back without it. Any left press zooms while
    // Zoom is not zpdNone; the zoom keys are kept for the owner only.
    Tsp_ShiftKeys ZoomShiftKeys() const { return zoomKeys_ & ~ssLeft; }
    void SetZoomShiftKeys(Tsp_ShiftKeys v) {
        zoomKeys_ = (v & (ssShift | ssAlt | ssCtrl)) | ssLeft;
    }
    Tsp_ShiftKeys PanShiftKeys() const { return panKeys_ & ~ssLeft; }
    void SetPanShiftKeys(Tsp_ShiftKeys v) { panKeys_ = (v & (ssShift | ssAlt | ssCtrl)) | ssLeft; }
    Qt::CursorShape PanCursor() const { return panCursor_; }
    void SetPanCursor(Qt::CursorShape v) { panCursor_ = v; }
    int DragState() const { return dragState_; }

    bool XCursorOn() const { return xCursorOn_; }
    void SetXCursorOn(bool v);
    double XCursorVal() const { return xCursorVal_; }
    void SetXCursorVal(double v);

    // Repaint requests, saying which cached parts became stale.
    void Invalidate();
    void InvalidateParts(bool layout, bool frame, bool field);
    // Something drew over the control's canvas: frame and field images are stale, no repaint.
    void InvalidateBuffers();
    // Paints pending invalidations now (synchronously) when the widget is shown.
    void Update();
    bool LayoutValid() const { return layoutValid_; }
    bool FrameValid() const { return frameValid_; }
    bool FieldValid() const { return fieldValid_; }

    void AddSeries(Tsp_DataSeries* s);
    void RemoveSeries(Tsp_DataSeries* s);
    const std::vector<Tsp_DataSeries*>& Series() const { return series_; }
    void AddMarker(Tsp_PlotMarker* m, Tsp_WhenDrawMarker when);
    void RemoveMarker(Tsp_PlotMarker* m, Tsp_WhenDrawMarker when);
    const std::vector<Tsp_PlotMarker*>& Markers(Tsp_WhenDrawMarker when) const {
        return when == dmBeforeSeries ? before_ : after_;
    }

    // Fits an auto-scaled axis to the active series bound to it, with a 2.5 % pad on each
    // side found; true when it found data to fit (also if the range stayed the same).
    bool AutoScaleAxis(Tsp_Axis* axis);
    void SeriesChanged(Tsp_DataSeries* s);

    // Paints the control's canvas now, redrawing only the stale parts when buffered.
    virtual void Paint();
    // Draws the whole plot onto any painter of the given size (an image to save or print);
    // ignored without a painter or at 9 pixels or less.
    void DrawOnCanvas(QPainter* canvas, int width, int height);
    // cw: width of "0", ch: font height, both in pixels.
    virtual void CalcLayout(int cw, int ch);
    virtual void DrawFrame();
    virtual void DrawField();
    void DrawBorder();
    void DrawAll();

    // The plot's mouse handling (zoom, pan), then the mouse events.
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);

    std::function<void(Tsp_XYPlot* sender)> OnFieldDraw;
    std::function<void(Tsp_XYPlot* sender)> OnDrawEnd;
    // The handler may rewrite the label text.
    std::function<void(Tsp_Axis* sender, int labelNum, double labelVal, QString& label)>
        OnGetTickLabel;
    // Called per zoomed axis before its range is applied; may change min and max or refuse.
    std::function<void(Tsp_Axis* sender, double& min, double& max, bool& canZoom)> OnAxisZoom;
    std::function<void(Tsp_XYPlot*sender, TMouseButton button, TShiftState shift, int x, int y)>
        OnMouseDown, OnMouseUp;
    std::function<void(Tsp_XYPlot* sender, TShiftState shift, int x, int y)> OnMouseMove;
    std::function<void(Tsp_XYPlot*sender)> OnClick, OnDblClick;

  protected:
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    virtual void DoDrawEnd();
    virtual void DoFieldDraw();

  private:
    friend class DrawCanvasScope;
    void AssignAxis(Tsp_Axis& held, const Tsp_Axis& a);
    void RequestPaint();
    QPainter* ControlCanvas();
    void EnsureControlImage();
    // The control's image has the widget's size and device pixel ratio.
    bool ControlImageFits() const;
    void PrepareFont(QPainter& p);
    void DrawCaptions(QPainter& p);
    void DrawXCursorLine(int pixel);
    void DrawZoomRect();
    void SetDragCorner(int x, int y);
    void PanStep();
    void ZoomStep(int l, int t, int r, int b);
    void ZoomAxis(Tsp_Axis& axis, int a, int b);
    std::array<Tsp_Axis*, 4> Axes() const {
        return {left_.get(), right_.get(), bottom_.get(), top_.get()};
    }

    std::unique_ptr<Tsp_Axis> left_, right_, bottom_, top_;
    TRect fieldRect_;
    QPainter* drawCanvas_ = nullptr;
    // The size being drawn while a paint or DrawOnCanvas runs; −1: the control's size.
    int drawWidth_ = -1, drawHeight_ = -1;
    std::unique_ptr<Tsp_MemBitmap> memBitmap_;
    QImage screen_;
    std::unique_ptr<QPainter> screenPainter_;
    TColor color_ = clBtnFace;
    TColor fieldColor_ = clWhite;
    Tsp_BorderStyle borderStyle_ = bs_None;
    std::vector<Tsp_DataSeries*> series_;
    std::vector<Tsp_PlotMarker*> before_, after_;

    Tsp_zpDirections zoom_ = zpdBoth, pan_ = zpdBoth;
    Tsp_ShiftKeys zoomKeys_ = ssShift | ssLeft, panKeys_ = ssCtrl | ssLeft;
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
