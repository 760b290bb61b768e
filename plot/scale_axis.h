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

#include "plot/paint_rules.h"

class XYPlot;

// Properties of a scale or an axis in a key-value form: names and texts, in writing order.
// Nested properties use dotted names ("LineAttr.Color").
using PropertyList = std::vector<std::pair<QString, QString>>;

// Style of a line (axis line, grid, series line).
class LineAttrBase {
  public:
    LineAttrBase() = default;
    LineAttrBase(const QColor& color, Qt::PenStyle style, std::uint16_t width, bool visible);
    virtual ~LineAttrBase() = default;
    LineAttrBase(const LineAttrBase&) = delete;
    LineAttrBase& operator=(const LineAttrBase&) = delete;

    QColor color() const { return color_; }
    Qt::PenStyle style() const { return style_; }
    std::uint16_t width() const { return width_; }
    bool visible() const { return visible_; }
    // Each setter stores a differing value and then calls changed(), changed or not.
    void setColor(const QColor& v);
    void setStyle(Qt::PenStyle v);
    void setWidth(std::uint16_t v);
    void setVisible(bool v);

    // Copies the four values without calling changed().
    void assign(const LineAttrBase& source);
    void assignTo(LineAttrBase& dest) const { dest.assign(*this); }
    bool sameValues(const LineAttrBase& other) const;

    // Colour, style and width on a pen in copy mode. Its lines include both end pixels, so a
    // series has no gaps where it turns back, whatever the direction of its segments.
    void applyToPen(QPainter& p) const;
    QPen pen() const;

    // Called with the attribute as sender on every property assignment.
    std::function<void(LineAttrBase* sender)> onChange;
    virtual void changed();

    void writeProperties(const QString& prefix, PropertyList& out) const;
    // False for an unknown name or a malformed value; nothing changes then.
    bool readProperty(const QString& name, const QString& value);

  private:
    QColor color_ = Qt::black;
    Qt::PenStyle style_ = Qt::SolidLine;
    std::uint16_t width_ = 1;
    bool visible_ = true;
};

class LineAttr : public LineAttrBase {
  public:
    using LineAttrBase::LineAttrBase;
};

// Bits of a scale's flag word ("SFlags").
enum class ScaleFlag : std::uint32_t {
    Vertical = 1u << 0,
    Inversed = 1u << 1,
    NoTicksLines = 1u << 3,
    NoTicksLabel = 1u << 4,
    FarSide = 1u << 5,
    AutoMin = 1u << 6,
    AutoMax = 1u << 7,
    LabelAsDateTime = 1u << 8,
    NoTicksAdjusted = 1u << 9,
};
Q_DECLARE_FLAGS(ScaleFlags, ScaleFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ScaleFlags)

// A tick label as it was last drawn: its box on the surface and its text.
struct DrawnLabel {
    QRect box;
    QString text;
};

// Maps values of one coordinate onto pixels along an axis line and keeps its tick grid.
class Scale {
  public:
    static constexpr int kMaxTicks = 21;

    explicit Scale(ScaleFlags flags = {});
    virtual ~Scale() = default;
    Scale(const Scale&) = delete;
    Scale& operator=(const Scale&) = delete;

    // Sorts the two values, widens an empty range, derives the scale factor and recomputes
    // the mapping, the ticks and the tick pixels. No repaint.
    void applyRange(double a, double b);
    void setLinePos(int x, int y, int length);
    void calcMapping();
    void calcTicks();
    void calcTickPixels();

    // Clamped to ±16383 so that drawing never gets coordinates beyond that.
    int valueToPixel(double v) const;
    double pixelToValue(int p) const;

    // Moves the range by a value or a pixel distance, keeping the tick grid.
    void scrollBy(double delta, bool inPixels);

    double min() const { return min_; }
    double max() const { return max_; }
    double range() const { return range_; }
    double scaleFactor() const { return k_; }
    int tickStep() const { return tickStep_; }
    double firstTickUnit() const { return firstTick_; }
    double lastTickUnit() const { return lastTick_; }
    double pixelsPerUnit() const { return ppu_; }
    int lineX() const { return lineX_; }
    int lineY() const { return lineY_; }
    int lineLength() const { return lineLen_; }
    ScaleFlags flags() const { return flags_; }

    // The count of ticks actually computed (reads back differently from what was asked).
    int ticksCount() const { return tickCount_; }
    int wantedTicksCount() const { return wantedTicks_; }
    double tickValue(int i) const;
    int tickPixel(int i) const { return tickPixels_[i]; }
    virtual QString getTickLabel(int i);

    QString labelFormat() const { return labelFormat_; }
    LineAttr* lineAttr() { return &lineAttr_; }
    const LineAttr* lineAttr() const { return &lineAttr_; }

    bool isVertical() const { return flags_.testFlag(ScaleFlag::Vertical); }
    bool isFarSide() const { return flags_.testFlag(ScaleFlag::FarSide); }
    bool inversed() const { return flags_.testFlag(ScaleFlag::Inversed); }
    bool ticksLines() const { return !flags_.testFlag(ScaleFlag::NoTicksLines); }
    bool noTicksLabel() const { return flags_.testFlag(ScaleFlag::NoTicksLabel); }
    bool autoMin() const { return flags_.testFlag(ScaleFlag::AutoMin); }
    bool autoMax() const { return flags_.testFlag(ScaleFlag::AutoMax); }
    bool labelAsDataTime() const { return flags_.testFlag(ScaleFlag::LabelAsDateTime); }
    bool ticksAdjusted() const { return !flags_.testFlag(ScaleFlag::NoTicksAdjusted); }
    void setInversed(bool v) { setFlag(ScaleFlag::Inversed, v); }
    void setTicksLines(bool v) { setFlag(ScaleFlag::NoTicksLines, !v); }
    void setNoTicksLabel(bool v) { setFlag(ScaleFlag::NoTicksLabel, v); }
    void setAutoMin(bool v) { setFlag(ScaleFlag::AutoMin, v); }
    void setAutoMax(bool v) { setFlag(ScaleFlag::AutoMax, v); }
    void setLabelAsDataTime(bool v) { setFlag(ScaleFlag::LabelAsDateTime, v); }
    void setTicksAdjusted(bool v) { setFlag(ScaleFlag::NoTicksAdjusted, !v); }

    // Room the axis needs, from the width of "0" and the font height in pixels.
    int startOverhang(int cw, int ch);
    int endOverhang(int cw, int ch);
    int bandWidth(int cw, int ch);

    // The plot passes the line widths of the neighbouring axes so that corners close.
    void drawAxisLine(QPainter& p, int startExt, int endExt) const;
    // Pen and font are set by the caller.
    void drawTicksAndLabels(QPainter& p);
    // The labels the last drawTicksAndLabels wrote.
    const std::vector<DrawnLabel>& drawnLabels() const { return drawnLabels_; }

    // Stream form: "SFlags", "SLinePos" like "(27 613 604)", "fMin" (only when Min is not 0)
    // and "fMax". Reading the first three stores them raw; "fMax" applies the range.
    virtual void writeProperties(PropertyList& out) const;
    virtual bool readProperty(const QString& name, const QString& value);

  protected:
    void setFlag(ScaleFlag flag, bool on);
    // Without flagChanged: for setters that switch auto-scaling off as a side effect.
    void clearFlagsRaw(ScaleFlags mask);
    virtual void flagChanged(ScaleFlag flag);
    void setWantedTicks(int n) { wantedTicks_ = n; }
    void setLabelFormatRaw(const QString& f) { labelFormat_ = f; }
    void assignScale(const Scale& s);

  private:
    // How every label of the axis is written: by the pattern; when the pattern makes a label
    // longer than ten characters or two labels alike, numbers to the ticks' precision, fixed or
    // with exponents, and times by their date (with the time unless all ticks are midnights).
    enum class LabelForm { Pattern, Fixed, Exponent, Date, Dated };
    struct LabelKey {
        QString format;
        ScaleFlags flags;
        int count = -1;
        double first = 0, last = 0, k = 0, origin = 0, range = 0;
        bool operator==(const LabelKey&) const = default;
    };
    LabelForm currentLabelForm();
    QString label(LabelForm form, double value) const;
    // The smallest difference the tick values can have.
    double labelUnit() const;
    // The place of tick i in the tick grid, counted in steps.
    long long gridPlace(int i) const;

    bool fractionMode() const {
        return flags_.testAnyFlags(ScaleFlag::NoTicksLabel | ScaleFlag::NoTicksAdjusted);
    }
    // 10^(1 − d) for the decade d of the range; not finite for ranges below about 1e-307.
    static double scaleFactorOf(double range);
    int overhang(int cw, int ch, int tick, double edgeValue);

    double firstTick_ = 0, lastTick_ = 0, k_ = 1;
    int tickStep_ = 1;
    int tickCount_ = 0;
    int pixelOrigin_ = 0;
    double originValue_ = 0, ppu_ = 1;
    ScaleFlags flags_;
    int lineX_ = 10, lineY_ = 30, lineLen_ = 25;
    int wantedTicks_ = 5;
    QString labelFormat_ = QStringLiteral("###0.##");
    LineAttr lineAttr_;
    double min_ = 0, max_ = 10, range_ = 10;
    std::array<std::int16_t, kMaxTicks> tickPixels_{};
    std::array<double, kMaxTicks> ticks_{};
    std::vector<DrawnLabel> drawnLabels_;
    LabelKey labelKey_;
    LabelForm labelForm_ = LabelForm::Pattern;
};

// A scale with what a plot needs around it: margin, caption, grid, owning plot and the
// range remembered before a mouse zoom.
class Axis : public Scale {
  public:
    explicit Axis(ScaleFlags flags = {}, XYPlot* plot = nullptr);

    XYPlot* plot() const { return plot_; }
    void setPlot(XYPlot* plot) { plot_ = plot; }

    int margin() const { return margin_; }
    void setMargin(int v);
    QString caption() const { return caption_; }
    void setCaption(const QString& v);
    // True when the caption has more than blanks and control characters.
    bool captionShown() const;
    // Setting Min or Max switches autoMin or autoMax off and forgets the remembered range.
    void setMin(double v);
    void setMax(double v);
    void setTicksCount(int n);
    void setLabelFormat(const QString& f);
    LineAttr* gridAttr() { return &gridAttr_; }
    const LineAttr* gridAttr() const { return &gridAttr_; }
    void setLineAttr(const LineAttr& a);
    void setGridAttr(const LineAttr& a);

    void setMinMax(double aMin, double aMax);
    void moveMinMax(double delta);
    void saveMinMax();
    void restoreMinMax();
    bool hasSavedMinMax() const { return savedValid_; }

    // Copies everything but the owning plot; no repaint.
    void assign(const Axis& source);
    void assignTo(Axis& dest) const { dest.assign(*this); }

    QString getTickLabel(int i) override;
    void writeProperties(PropertyList& out) const override;
    bool readProperty(const QString& name, const QString& value) override;

  protected:
    void flagChanged(ScaleFlag flag) override;

  private:
    void plotInvalidate();

    double savedMin_ = 0, savedMax_ = 0;
    int margin_ = 4;
    QString caption_;
    XYPlot* plot_ = nullptr;
    LineAttr gridAttr_{QColorConstants::Svg::gray, Qt::SolidLine, 1, false};
    bool savedValid_ = false;
};
