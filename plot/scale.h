// Maps values of one coordinate onto pixels along an axis line and keeps its tick grid and
// labels.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <vector>

#include "plot/line_attr.h"
#include "plot/scale_map.h"

namespace kvel {

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

    // The mapping as a value, for drawing.
    ScaleMap map() const { return ScaleMap(originValue_, pixelOrigin_, ppu_, min_, max_); }
    // Clamped to ±16383 so that drawing never gets coordinates beyond that.
    int valueToPixel(double v) const { return map().transform(v); }
    double pixelToValue(int p) const { return map().invTransform(p); }

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

    // How a date-time axis writes its labels, in QDateTime's format ("hh:mm:ss").
    QString labelFormat() const { return labelFormat_; }
    // The most decimals a number label shows (trailing zeros dropped).
    int labelDecimals() const { return labelDecimals_; }
    LineAttr* lineAttr() { return &lineAttr_; }
    const LineAttr* lineAttr() const { return &lineAttr_; }

    bool isVertical() const { return flags_.testFlag(ScaleFlag::Vertical); }
    bool isFarSide() const { return flags_.testFlag(ScaleFlag::FarSide); }
    bool inversed() const { return flags_.testFlag(ScaleFlag::Inversed); }
    bool ticksLines() const { return !flags_.testFlag(ScaleFlag::NoTicksLines); }
    bool noTicksLabel() const { return flags_.testFlag(ScaleFlag::NoTicksLabel); }
    bool autoMin() const { return flags_.testFlag(ScaleFlag::AutoMin); }
    bool autoMax() const { return flags_.testFlag(ScaleFlag::AutoMax); }
    bool labelAsDateTime() const { return flags_.testFlag(ScaleFlag::LabelAsDateTime); }
    bool ticksAdjusted() const { return !flags_.testFlag(ScaleFlag::NoTicksAdjusted); }
    void setInversed(bool v) { setFlag(ScaleFlag::Inversed, v); }
    void setTicksLines(bool v) { setFlag(ScaleFlag::NoTicksLines, !v); }
    void setNoTicksLabel(bool v) { setFlag(ScaleFlag::NoTicksLabel, v); }
    void setAutoMin(bool v) { setFlag(ScaleFlag::AutoMin, v); }
    void setAutoMax(bool v) { setFlag(ScaleFlag::AutoMax, v); }
    void setLabelAsDateTime(bool v) { setFlag(ScaleFlag::LabelAsDateTime, v); }
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

  protected:
    void setFlag(ScaleFlag flag, bool on);
    // Without flagChanged: for setters that switch auto-scaling off as a side effect.
    void clearFlagsRaw(ScaleFlags mask);
    virtual void flagChanged(ScaleFlag flag);
    void setWantedTicks(int n) { wantedTicks_ = n; }
    void setLabelFormatRaw(const QString& f) { labelFormat_ = f; }
    void setLabelDecimalsRaw(int n) { labelDecimals_ = n; }
    void assignScale(const Scale& s);

  private:
    // How every label of the axis is written: by the format; when the format makes a label
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
    QString labelFormat_ = QStringLiteral("hh:mm:ss");
    int labelDecimals_ = 2;
    LineAttr lineAttr_;
    double min_ = 0, max_ = 10, range_ = 10;
    std::array<std::int16_t, kMaxTicks> tickPixels_{};
    std::array<double, kMaxTicks> ticks_{};
    std::vector<DrawnLabel> drawnLabels_;
    LabelKey labelKey_;
    LabelForm labelForm_ = LabelForm::Pattern;
};

}  // namespace kvel
