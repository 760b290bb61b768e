// Scales and axes of the XY plot: line attributes, the value-to-pixel mapping with its
// tick grid and labels, and the axis that a plot owns four of.
//
// Change hooks and events are std::function members; an empty one is simply not called.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "plot/canvas.h"

class Tsp_XYPlot;

// Properties of a scale or an axis in a key-value form: names and texts, in writing order.
// Nested properties use dotted names ("LineAttr.Color").
using Tsp_PropertyList = std::vector<std::pair<QString, QString>>;

// Style of a line (axis line, grid, series line).
class Tsp_CustomLineAttr {
  public:
    Tsp_CustomLineAttr() = default;
    Tsp_CustomLineAttr(TColor color, TPenStyle style, std::uint16_t width, bool visible);
    virtual ~Tsp_CustomLineAttr() = default;
    Tsp_CustomLineAttr(const Tsp_CustomLineAttr&) = delete;
    Tsp_CustomLineAttr& operator=(const Tsp_CustomLineAttr&) = delete;

    TColor Color() const { return color_; }
    TPenStyle Style() const { return style_; }
    std::uint16_t Width() const { return width_; }
    bool Visible() const { return visible_; }
    // Each setter stores a differing value and then calls Changed, changed or not.
    void SetColor(TColor v);
    void SetStyle(TPenStyle v);
    void SetWidth(std::uint16_t v);
    void SetVisible(bool v);

    // Copies the four values without calling Changed.
    void Assign(const Tsp_CustomLineAttr& source);
    void AssignTo(Tsp_CustomLineAttr& dest) const { dest.Assign(*this); }
    bool SameValues(const Tsp_CustomLineAttr& other) const;

    // Colour, style and width on a pen in copy mode. Its lines include both end pixels, so a
    // series has no gaps where it turns back, whatever the direction of its segments.
    void ApplyToPen(QPainter& p) const;
    QPen Pen() const;

    // Called with the attribute as sender on every property assignment.
    std::function<void(Tsp_CustomLineAttr* sender)> OnChange;
    virtual void Changed();

    void WriteProperties(const QString& prefix, Tsp_PropertyList& out) const;
    // False for an unknown name or a malformed value; nothing changes then.
    bool ReadProperty(const QString& name, const QString& value);

  private:
    TColor color_ = clBlack;
    TPenStyle style_ = psSolid;
    std::uint16_t width_ = 1;
    bool visible_ = true;
};

class Tsp_LineAttr : public Tsp_CustomLineAttr {
  public:
    using Tsp_CustomLineAttr::Tsp_CustomLineAttr;
};

// Bits of a scale's flag word ("SFlags").
enum Tsp_ScaleFlag : std::uint32_t {
    sfVertical = 1u << 0,
    sfInversed = 1u << 1,
    sfNoTicksLines = 1u << 3,
    sfNoTicksLabel = 1u << 4,
    sfFarSide = 1u << 5,
    sfAutoMin = 1u << 6,
    sfAutoMax = 1u << 7,
    sfLabelAsDateTime = 1u << 8,
    sfNoTicksAdjusted = 1u << 9,
};

// A tick label as it was last drawn: its box on the surface and its text.
struct Tsp_DrawnLabel {
    QRect box;
    QString text;
};

// Maps values of one coordinate onto pixels along an axis line and keeps its tick grid.
class Tsp_Scale {
  public:
    static constexpr int kMaxTicks = 21;

    explicit Tsp_Scale(std::uint32_t flags);
    virtual ~Tsp_Scale() = default;
    Tsp_Scale(const Tsp_Scale&) = delete;
    Tsp_Scale& operator=(const Tsp_Scale&) = delete;

    // Sorts the two values, widens an empty range, derives the scale factor and recomputes
    // the mapping, the ticks and the tick pixels. No repaint.
    void ApplyRange(double a, double b);
    void SetLinePos(int x, int y, int length);
    void CalcMapping();
    void CalcTicks();
    void CalcTickPixels();

    // Clamped to ±16383 so that drawing never gets coordinates beyond that.
    int ValueToPixel(double v) const;
    double PixelToValue(int p) const;

    // Moves the range by a value or a pixel distance, keeping the tick grid.
    void ScrollBy(double delta, bool inPixels);

    double Min() const { return min_; }
    double Max() const { return max_; }
    double Range() const { return range_; }
    double ScaleFactor() const { return k_; }
    int TickStep() const { return tickStep_; }
    double FirstTickUnit() const { return firstTick_; }
    double LastTickUnit() const { return lastTick_; }
    double PixelsPerUnit() const { return ppu_; }
    int LineX() const { return lineX_; }
    int LineY() const { return lineY_; }
    int LineLength() const { return lineLen_; }
    std::uint32_t Flags() const { return flags_; }

    // The count of ticks actually computed (reads back differently from what was asked).
    int TicksCount() const { return tickCount_; }
    int WantedTicksCount() const { return wantedTicks_; }
    double TickValue(int i) const;
    int TickPixel(int i) const { return tickPixels_[i]; }
    virtual QString GetTickLabel(int i);

    QString LabelFormat() const { return labelFormat_; }
    Tsp_LineAttr* LineAttr() { return &lineAttr_; }
    const Tsp_LineAttr* LineAttr() const { return &lineAttr_; }

    bool IsVertical() const { return flags_ & sfVertical; }
    bool IsFarSide() const { return flags_ & sfFarSide; }
    bool Inversed() const { return flags_ & sfInversed; }
    bool TicksLines() const { return !(flags_ & sfNoTicksLines); }
    bool NoTicksLabel() const { return flags_ & sfNoTicksLabel; }
    bool AutoMin() const { return flags_ & sfAutoMin; }
    bool AutoMax() const { return flags_ & sfAutoMax; }
    bool LabelAsDataTime() const { return flags_ & sfLabelAsDateTime; }
    bool TicksAdjusted() const { return !(flags_ & sfNoTicksAdjusted); }
    void SetInversed(bool v) { SetFlag(sfInversed, v); }
    void SetTicksLines(bool v) { SetFlag(sfNoTicksLines, !v); }
    void SetNoTicksLabel(bool v) { SetFlag(sfNoTicksLabel, v); }
    void SetAutoMin(bool v) { SetFlag(sfAutoMin, v); }
    void SetAutoMax(bool v) { SetFlag(sfAutoMax, v); }
    void SetLabelAsDataTime(bool v) { SetFlag(sfLabelAsDateTime, v); }
    void SetTicksAdjusted(bool v) { SetFlag(sfNoTicksAdjusted, !v); }

    // Room the axis needs, from the width of "0" and the font height in pixels.
    int StartOverhang(int cw, int ch);
    int EndOverhang(int cw, int ch);
    int BandWidth(int cw, int ch);

    // The plot passes the line widths of the neighbouring axes so that corners close.
    void DrawAxisLine(QPainter& p, int startExt, int endExt) const;
    // Pen and font are set by the caller.
    void DrawTicksAndLabels(QPainter& p);
    // The labels the last DrawTicksAndLabels wrote.
    const std::vector<Tsp_DrawnLabel>& DrawnLabels() const { return drawnLabels_; }

    // Stream form: "SFlags", "SLinePos" like "(27 613 604)", "fMin" (only when Min is not 0)
    // and "fMax". Reading the first three stores them raw; "fMax" applies the range.
    virtual void WriteProperties(Tsp_PropertyList& out) const;
    virtual bool ReadProperty(const QString& name, const QString& value);

  protected:
    void SetFlag(Tsp_ScaleFlag flag, bool on);
    // Without FlagChanged: for setters that switch auto-scaling off as a side effect.
    void ClearFlagsRaw(std::uint32_t mask);
    virtual void FlagChanged(Tsp_ScaleFlag flag);
    void SetWantedTicks(int n) { wantedTicks_ = n; }
    void SetLabelFormatRaw(const QString& f) { labelFormat_ = f; }
    void AssignScale(const Tsp_Scale& s);

  private:
    // How every label of the axis is written: by the pattern; when the pattern makes a label
    // longer than ten characters or two labels alike, numbers to the ticks' precision, fixed or
    // with exponents, and times by their date (with the time unless all ticks are midnights).
    enum class LabelForm { Pattern, Fixed, Exponent, Date, Dated };
    struct LabelKey {
        QString format;
        std::uint32_t flags = 0;
        int count = -1;
        double first = 0, last = 0, k = 0, origin = 0, range = 0;
        bool operator==(const LabelKey&) const = default;
    };
    LabelForm CurrentLabelForm();
    QString Label(LabelForm form, double value) const;
    // The smallest difference the tick values can have.
    double LabelUnit() const;
    // The place of tick i in the tick grid, counted in steps.
    long long GridPlace(int i) const;

    bool FractionMode() const { return flags_ & (sfNoTicksLabel | sfNoTicksAdjusted); }
    // 10^(1 − d) for the decade d of the range; not finite for ranges below about 1e-307.
    static double ScaleFactorOf(double range);
    int Overhang(int cw, int ch, int tick, double edgeValue);

    double firstTick_ = 0, lastTick_ = 0, k_ = 1;
    int tickStep_ = 1;
    int tickCount_ = 0;
    int pixelOrigin_ = 0;
    double originValue_ = 0, ppu_ = 1;
    std::uint32_t flags_ = 0;
    int lineX_ = 10, lineY_ = 30, lineLen_ = 25;
    int wantedTicks_ = 5;
    QString labelFormat_ = QStringLiteral("###0.##");
    Tsp_LineAttr lineAttr_;
    double min_ = 0, max_ = 10, range_ = 10;
    std::array<std::int16_t, kMaxTicks> tickPixels_{};
    std::array<double, kMaxTicks> ticks_{};
    std::vector<Tsp_DrawnLabel> drawnLabels_;
    LabelKey labelKey_;
    LabelForm labelForm_ = LabelForm::Pattern;
};

// A scale with what a plot needs around it: margin, caption, grid, owning plot and the
// range remembered before a mouse zoom.
class Tsp_Axis : public Tsp_Scale {
  public:
    explicit Tsp_Axis(std::uint32_t flags, Tsp_XYPlot* plot = nullptr);

    Tsp_XYPlot* Plot() const { return plot_; }
    void SetPlot(Tsp_XYPlot* plot) { plot_ = plot; }

    int Margin() const { return margin_; }
    void SetMargin(int v);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& v);
    // True when the caption has more than blanks and control characters.
    bool CaptionShown() const;
    // Setting Min or Max switches AutoMin or AutoMax off and forgets the remembered range.
    void SetMin(double v);
    void SetMax(double v);
    void SetTicksCount(int n);
    void SetLabelFormat(const QString& f);
    Tsp_LineAttr* GridAttr() { return &gridAttr_; }
    const Tsp_LineAttr* GridAttr() const { return &gridAttr_; }
    void SetLineAttr(const Tsp_LineAttr& a);
    void SetGridAttr(const Tsp_LineAttr& a);

    void SetMinMax(double aMin, double aMax);
    void MoveMinMax(double delta);
    void SaveMinMax();
    void RestoreMinMax();
    bool HasSavedMinMax() const { return savedValid_; }

    // Copies everything but the owning plot; no repaint.
    void Assign(const Tsp_Axis& source);
    void AssignTo(Tsp_Axis& dest) const { dest.Assign(*this); }

    QString GetTickLabel(int i) override;
    void WriteProperties(Tsp_PropertyList& out) const override;
    bool ReadProperty(const QString& name, const QString& value) override;

  protected:
    void FlagChanged(Tsp_ScaleFlag flag) override;

  private:
    void PlotInvalidate();

    double savedMin_ = 0, savedMax_ = 0;
    int margin_ = 4;
    QString caption_;
    Tsp_XYPlot* plot_ = nullptr;
    Tsp_LineAttr gridAttr_{clGray, psSolid, 1, false};
    bool savedValid_ = false;
};
