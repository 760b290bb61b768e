#include <QFontInfo>
#include <algorithm>

#include "plot/plot.h"

// Points DrawCanvas (and the drawing size) at another painter for a while and puts the
// control's back afterwards, also when a drawing step throws.
class DrawCanvasScope {
  public:
    DrawCanvasScope(Tsp_XYPlot* plot, QPainter* canvas, int w, int h)
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
    Tsp_XYPlot* plot_;
    QPainter* saved_;
    int savedWidth_, savedHeight_;
};

void Tsp_XYPlot::PrepareFont(QPainter& p) {
    p.setFont(font());
    if (!layoutValid_) CalcLayout(p.fontMetrics().horizontalAdvance('0'), p.fontInfo().pixelSize());
}

void Tsp_XYPlot::Paint() {
    paintPending_ = false;
    QPainter* screen = ControlCanvas();
    screen->setClipping(false);
    if (memBitmap_ && (memBitmap_->Width() != width() || memBitmap_->Height() != height() ||
                       memBitmap_->Ratio() != devicePixelRatio())) {
        memBitmap_->Resize(width(), height(), devicePixelRatio());
        layoutValid_ = frameValid_ = fieldValid_ = false;
    }
    if (memBitmap_ && memBitmap_->Valid()) {
        {
            QPainter image(&memBitmap_->Image());
            DrawCanvasScope scope(this, &image, width(), height());
            PrepareFont(image);
            if (!frameValid_) {
                DrawFrame();
                frameValid_ = true;
            }
            if (!fieldValid_) {
                DrawField();
                fieldValid_ = true;
            }
            DoDrawEnd();
            DrawBorder();
        }
        screen->setCompositionMode(QPainter::CompositionMode_Source);
        screen->drawImage(0, 0, memBitmap_->Image());
        SetCopyMode(*screen);
    } else {
        // Unbuffered, or no image could be had for the buffer: everything straight on screen.
        DrawCanvasScope scope(this, screen, width(), height());
        DrawAll();
    }
    if (xCursorOn_) {
        cursorPixel_ = bottom_->ValueToPixel(xCursorVal_);
        DrawXCursorLine(cursorPixel_);
    }
}

void Tsp_XYPlot::DrawAll() {
    PrepareFont(*DrawCanvas());
    DrawFrame();
    DrawField();
    DoDrawEnd();
    DrawBorder();
}

void Tsp_XYPlot::DrawOnCanvas(QPainter* canvas, int width, int height) {
    if (!canvas || width <= 9 || height <= 9) return;
    struct LayoutStale {
        bool& flag;
        ~LayoutStale() { flag = false; }
    } stale{layoutValid_};
    DrawCanvasScope scope(this, canvas, width, height);
    layoutValid_ = false;
    DrawAll();
}

void Tsp_XYPlot::CalcLayout(int cw, int ch) {
    // Each side takes the room of its own axis band or of the labels that the two crossing
    // axes hang over that end, whichever is larger, plus its margin.
    using Overhang = int (Tsp_Scale::*)(int, int);
    const auto room = [cw, ch](Tsp_Axis& own, Tsp_Axis& a, Tsp_Axis& b, Overhang end) {
        return std::max({(a.*end)(cw, ch), (b.*end)(cw, ch), own.BandWidth(cw, ch)}) + own.Margin();
    };
    const int left = room(*left_, *top_, *bottom_, &Tsp_Scale::StartOverhang);
    const int bottom = room(*bottom_, *right_, *left_, &Tsp_Scale::StartOverhang);
    const int right = room(*right_, *top_, *bottom_, &Tsp_Scale::EndOverhang);
    const int top = room(*top_, *right_, *left_, &Tsp_Scale::EndOverhang);
    TRect f{left, top, DrawWidth() - right, DrawHeight() - bottom};
    // Scales never get a zero length.
    if (f.Right < f.Left + 3) f.Right = f.Left + 3;
    if (f.Bottom < f.Top + 3) f.Bottom = f.Top + 3;
    fieldRect_ = f;
    left_->SetLinePos(f.Left - 1, f.Bottom - 1, f.Bottom - f.Top - 1);
    right_->SetLinePos(f.Right, f.Bottom - 1, f.Bottom - f.Top - 1);
    bottom_->SetLinePos(f.Left, f.Bottom, f.Right - f.Left - 1);
    top_->SetLinePos(f.Left, f.Top - 1, f.Right - f.Left - 1);
    layoutValid_ = true;
}

namespace {
int VisibleWidth(const Tsp_Axis& a) {
    return a.LineAttr()->Visible() ? a.LineAttr()->Width() : 0;
}
}  // namespace

void Tsp_XYPlot::DrawFrame() {
    QPainter& p = *DrawCanvas();
    const TRect& f = fieldRect_;
    const int w = DrawWidth(), h = DrawHeight();
    SetCopyMode(p);
    const QBrush back(ToQColor(color_));
    FillRectangle(p, 0, 0, w, f.Top, back);
    FillRectangle(p, 0, f.Bottom + 1, w, h, back);
    FillRectangle(p, 0, f.Top, f.Left, f.Bottom + 1, back);
    FillRectangle(p, f.Right, f.Top, w, f.Bottom + 1, back);
    p.setBrush(Qt::NoBrush);
    top_->DrawAxisLine(p, 0, VisibleWidth(*right_));
    right_->DrawAxisLine(p, VisibleWidth(*bottom_), 0);
    bottom_->DrawAxisLine(p, VisibleWidth(*left_), 0);
    left_->DrawAxisLine(p, 0, VisibleWidth(*top_));
    p.setPen(MakePen(FromQColor(palette().color(QPalette::WindowText)), psSolid, 1));
    SetCopyMode(p);
    p.setFont(font());
    top_->DrawTicksAndLabels(p);
    right_->DrawTicksAndLabels(p);
    left_->DrawTicksAndLabels(p);
    bottom_->DrawTicksAndLabels(p);
    DrawCaptions(p);
}

void Tsp_XYPlot::DrawCaptions(QPainter& p) {
    const TRect& f = fieldRect_;
    QFont bold = font();
    bold.setBold(true);
    if (bottom_->CaptionShown()) {
        p.setFont(bold);
        const QString& s = bottom_->Caption();
        TextOut(p, (f.Left + f.Right - TextWidth(p, s)) / 2, DrawHeight() - bottom_->Margin(), s);
    }
    if (top_->CaptionShown()) {
        p.setFont(bold);
        const QString& s = top_->Caption();
        TextOut(p, (f.Left + f.Right - TextWidth(p, s)) / 2,
                top_->Margin() - TextHeight(p, "8") - 1, s);
    }
    if (!left_->CaptionShown() && !right_->CaptionShown()) return;
    p.setFont(bold);
    const int h8 = TextHeight(p, "8");
    if (left_->CaptionShown()) {
        const QString& s = left_->Caption();
        TextOutUpward(p, left_->Margin() - h8 - 1, (TextWidth(p, s) + f.Top + f.Bottom) / 2, s);
    }
    if (right_->CaptionShown()) {
        const QString& s = right_->Caption();
        TextOutUpward(p, DrawWidth() - right_->Margin(), (TextWidth(p, s) + f.Top + f.Bottom) / 2,
                      s);
    }
}

void Tsp_XYPlot::DrawField() {
    QPainter& p = *DrawCanvas();
    const TRect& f = fieldRect_;
    const bool hadClip = p.hasClipping();
    const QRegion oldClip = p.clipRegion();
    p.setClipRect(f.ToQRect(), hadClip ? Qt::IntersectClip : Qt::ReplaceClip);
    SetCopyMode(p);
    if (fieldColor_ != clNone) p.fillRect(f.ToQRect(), ToQColor(fieldColor_));
    DoFieldDraw();
    p.setBrush(Qt::NoBrush);
    for (Tsp_Axis* a : {left_.get(), bottom_.get(), right_.get(), top_.get()}) {
        if (!a->GridAttr()->Visible() || a->TicksCount() == 0) continue;
        a->GridAttr()->ApplyToPen(p);
        for (int i = 0; i < a->TicksCount(); ++i) {
            const int t = a->TickPixel(i);
            if (a->IsVertical()) {
                if (f.Top < t && t < f.Bottom - 1) p.drawLine(f.Left, t, f.Right, t);
            } else if (f.Left < t && t < f.Right - 1) {
                p.drawLine(t, f.Top, t, f.Bottom);
            }
        }
    }
    for (Tsp_PlotMarker* m : before_)
        if (m->Visible()) m->Draw();
    for (Tsp_DataSeries* s : series_)
        if (s->Active()) s->Draw();
    for (Tsp_PlotMarker* m : after_)
        if (m->Visible()) m->Draw();
    p.setClipRegion(oldClip);
    p.setClipping(hadClip);
}

namespace {
void Outline(QPainter& p, int l, int t, int r, int b, const QColor& c) {
    p.setPen(MakePen(FromQColor(c), psSolid, 1));
    p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}
}  // namespace

void Tsp_XYPlot::DrawBorder() {
    QPainter& p = *DrawCanvas();
    const int w = DrawWidth(), h = DrawHeight();
    const bool hadClip = p.hasClipping();
    p.setClipping(false);
    SetCopyMode(p);
    p.setBrush(Qt::NoBrush);
    const QColor own = ToQColor(color_);
    const QColor light = ToQColor(clBtnHighlight), dark = ToQColor(clBtnShadow);
    switch (borderStyle_) {
        case bs_Raised:
        case bs_Lowered: {
            const QColor tl = borderStyle_ == bs_Raised ? light : dark;
            const QColor br = borderStyle_ == bs_Raised ? dark : light;
            p.fillRect(0, 0, w - 1, 1, tl);  // top row, the right end belongs to br
            p.fillRect(0, 0, 1, h - 1, tl);  // left column, the bottom end belongs to br
            p.fillRect(w - 1, 0, 1, h, br);
            p.fillRect(0, h - 1, w, 1, br);
            Outline(p, 1, 1, w - 1, h - 1, own);
            break;
        }
        case bs_Gutter:
            Outline(p, 1, 1, w, h, light);
            Outline(p, 0, 0, w - 1, h - 1, dark);
            break;
        case bs_BlackRect:
            Outline(p, 0, 0, w, h, Qt::black);
            Outline(p, 1, 1, w - 1, h - 1, own);
            break;
        case bs_BoldRect:
            Outline(p, 0, 0, w, h, Qt::black);
            Outline(p, 1, 1, w - 1, h - 1, Qt::black);
            break;
        case bs_FocusRect: {
            QPen pen = MakePen(clBlack, psDot, 1);
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
        case bs_None:
        default:
            Outline(p, 0, 0, w, h, own);
            Outline(p, 1, 1, w - 1, h - 1, own);
            break;
    }
    p.setClipping(hadClip);
}
