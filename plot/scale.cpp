#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "plot/date_time.h"
#include "plot/paint_rules.h"
#include "plot/scale.h"
#include "plot/tick_labels.h"

namespace kvel {
namespace {
// A little above ln 10, so that an exact power of ten of 10 or more yields one less than its
// exponent; the tick grid of every stored chart depends on it.
constexpr double kLn10 = 2.30258509299405;

int roundInt(double v) {
    return int(std::nearbyint(v));
}
// A computed tick count as an index bound of the tick arrays: 0 … 21, also for values that
// are not numbers or do not fit an int.
int boundedCount(double v) {
    if (!(v > 0)) return 0;
    return v >= Scale::kMaxTicks ? Scale::kMaxTicks : int(v);
}
int boundedSpan(double v) {
    return v > 0 && v < 1e6 ? roundInt(v) : 0;
}
// Ends beyond a quarter of the largest double are pulled in to it, so that the span, also of
// a widened empty range, stays a finite number (−1e308 .. 1e308 would overflow).
constexpr double kEndLimit = std::numeric_limits<double>::max() / 4;
double frac(double v) {
    return v - std::trunc(v);
}
}  // namespace

Scale::Scale(ScaleFlags flags) : flags_(flags) {
    applyRange(0, 10);
}

void Scale::applyRange(double a, double b) {
    // A range that is not a number would poison every pixel; keep the one we have.
    if (!std::isfinite(a) || !std::isfinite(b)) return;
    a = std::clamp(a, -kEndLimit, kEndLimit);
    b = std::clamp(b, -kEndLimit, kEndLimit);
    if (a <= b) {
        min_ = a;
        max_ = b;
    } else {
        min_ = b;
        max_ = a;
    }
    // A span so small that its scale factor overflows (0 .. 1e-310) is taken as empty.
    if (min_ != max_ && !std::isfinite(scaleFactorOf(max_ - min_))) min_ = max_;
    if (min_ == max_) {
        if (std::fabs(max_) < 10) {
            max_ = max_ + 1;
            min_ = max_ - 1;
        } else {
            max_ = max_ + std::fabs(max_) / 10;
            min_ = max_ - std::fabs(max_) / 10;
        }
    }
    range_ = max_ - min_;
    k_ = scaleFactorOf(range_);
    firstTick_ = std::ceil(min_ * k_);
    lastTick_ = std::floor(max_ * k_);
    calcMapping();
    calcTicks();
    calcTickPixels();
}

double Scale::scaleFactorOf(double range) {
    const double d = std::floor(std::log(range) / kLn10);
    return d <= 0 ? std::trunc(std::exp((1 - d) * kLn10))
                  : 1.0 / std::trunc(std::exp((d - 1) * kLn10));
}

void Scale::setLinePos(int x, int y, int length) {
    if (x == lineX_ && y == lineY_ && length == lineLen_) return;
    lineX_ = x;
    lineY_ = y;
    lineLen_ = length == 0 ? 1 : std::abs(length);
    calcMapping();
    calcTickPixels();
}

void Scale::calcMapping() {
    ppu_ = lineLen_ / range_;
    if (inversed()) ppu_ = -ppu_;
    originValue_ = inversed() ? max_ : min_;
    if (isVertical()) {
        pixelOrigin_ = lineY_;
        ppu_ = -ppu_;
    } else {
        pixelOrigin_ = lineX_;
    }
}

void Scale::calcTicks() {
    tickCount_ = wantedTicks_;
    if (tickCount_ == 0) return;
    if (fractionMode()) {
        const double s = tickCount_ < 2 ? 1.0 : 1.0 / (tickCount_ - 1);
        for (int i = 0; i < tickCount_; ++i) ticks_[i] = i * s;
        return;
    }
    // The decimal grid of the range (a date-time axis may have left it, below).
    k_ = scaleFactorOf(range_);
    firstTick_ = std::ceil(min_ * k_);
    lastTick_ = std::floor(max_ * k_);
    // range × k lies between 10 and 100, so the span always fits; the bound is for safety.
    const int span = boundedSpan(lastTick_ - firstTick_);
    if (wantedTicks_ < 2) {
        tickStep_ = span;
        tickCount_ = 1;
    } else {
        tickStep_ = std::max(1, span / (wantedTicks_ - 1));
        tickCount_ = boundedCount(span / tickStep_ + 1);
        // Ticks closer than the labels can tell apart ("hh:nn:ss" under ticks 0.0864 s apart)
        // would read alike: on a date-time axis they fall on whole units of the label instead.
        const double unit = dateTimeResolution(labelFormat_);
        if (labelAsDateTime() && tickStep_ / k_ < unit) {
            k_ = 1 / unit;
            firstTick_ = std::ceil(min_ * k_);
            lastTick_ = std::floor(max_ * k_);
            tickStep_ = 1;
            tickCount_ = boundedCount(lastTick_ - firstTick_ + 1);
        }
    }
    const double base = inversed() ? lastTick_ : firstTick_;
    const double step = inversed() ? -tickStep_ : tickStep_;
    for (int i = 0; i < tickCount_; ++i) ticks_[i] = std::trunc(base + i * step) / k_;
}

void Scale::calcTickPixels() {
    if (wantedTicks_ == 0) {
        tickCount_ = 0;
        return;
    }
    for (int i = 0; i < tickCount_; ++i) {
        if (fractionMode()) {
            const int off = roundInt(lineLen_ * ticks_[i]);
            tickPixels_[i] = std::int16_t(isVertical() ? pixelOrigin_ - off : pixelOrigin_ + off);
        } else {
            tickPixels_[i] = std::int16_t(valueToPixel(ticks_[i]));
        }
    }
}

double Scale::tickValue(int i) const {
    if (!flags_.testFlag(ScaleFlag::NoTicksAdjusted)) return ticks_[i];
    return inversed() ? originValue_ - range_ * ticks_[i] : originValue_ + range_ * ticks_[i];
}

QString Scale::getTickLabel(int i) {
    return label(currentLabelForm(), tickValue(i));
}

QString Scale::label(LabelForm form, double value) const {
    switch (form) {
        case LabelForm::Fixed:
            return fixedLabel(value, labelUnit());
        case LabelForm::Exponent:
            return std::fabs(value) < labelUnit() / 2 ? QStringLiteral("0")
                                                      : exponentLabel(value, labelUnit());
        case LabelForm::Date:
            return dateTimeText(value, QStringLiteral("dd.MM.yy"));
        case LabelForm::Dated:
            return dateTimeText(value, QStringLiteral("dd.MM.yy ") + labelFormat_);
        case LabelForm::Pattern:
            break;
    }
    return labelAsDateTime() ? dateTimeText(value, labelFormat_)
                             : decimalsLabel(value, labelDecimals_);
}

double Scale::labelUnit() const {
    if (fractionMode()) return range_ / std::max(1, wantedTicks_ - 1);
    return 1 / k_;
}

Scale::LabelForm Scale::currentLabelForm() {
    const LabelKey key{labelFormat_ + QString::number(labelDecimals_),
                       flags_,
                       tickCount_,
                       tickCount_ > 0 ? ticks_[0] : 0,
                       tickCount_ > 0 ? ticks_[tickCount_ - 1] : 0,
                       k_,
                       originValue_,
                       range_};
    if (key == labelKey_) return labelForm_;
    labelKey_ = key;
    std::vector<QString> labels;
    bool alike = false, tooLong = false;
    for (int i = 0; i < tickCount_; ++i) {
        const QString s = label(LabelForm::Pattern, tickValue(i));
        alike = alike || std::find(labels.begin(), labels.end(), s) != labels.end();
        tooLong = tooLong || (!labelAsDateTime() && s.size() > kLongestFixedLabel);
        labels.push_back(s);
    }
    if (labelAsDateTime()) {
        const bool dated = labelFormat_.contains('d', Qt::CaseInsensitive) ||
                           labelFormat_.contains('y', Qt::CaseInsensitive);
        bool midnights = true;
        for (int i = 0; i < tickCount_; ++i) {
            const double v = tickValue(i);
            midnights = midnights && std::fabs(v - std::round(v)) < 0.5 / 86'400'000;
        }
        labelForm_ = !alike || dated ? LabelForm::Pattern
                     : midnights     ? LabelForm::Date
                                     : LabelForm::Dated;
    } else if (!alike && !tooLong) {
        labelForm_ = LabelForm::Pattern;
    } else {
        labelForm_ = LabelForm::Fixed;
        for (int i = 0; i < tickCount_; ++i) {
            if (fixedLabel(tickValue(i), labelUnit()).contains('E'))
                labelForm_ = LabelForm::Exponent;
        }
    }
    return labelForm_;
}

long long Scale::gridPlace(int i) const {
    if (fractionMode() || tickStep_ <= 0) return i;
    const double place = ticks_[i] * k_ / tickStep_;
    // Far from zero the place cannot be told exactly; counting the ticks then will do.
    return std::fabs(place) < 1e15 ? static_cast<long long>(std::floor(place + 1e-3)) : i;
}

void Scale::scrollBy(double delta, bool inPixels) {
    const double vd = inPixels ? delta / ppu_ : delta;
    const double pd = inPixels ? delta : delta * ppu_;
    if (vd == 0 || !std::isfinite(vd)) return;
    // A pan that would carry an end beyond the doubles is refused.
    if (!std::isfinite(min_ + vd) || !std::isfinite(min_ + vd + range_)) return;
    min_ += vd;
    max_ = min_ + range_;
    originValue_ = inversed() ? max_ : min_;
    firstTick_ = std::ceil(min_ * k_);
    lastTick_ = std::floor(max_ * k_);
    if (std::fabs(vd) > range_) {
        calcTicks();
    } else if (fractionMode()) {
        const double s = wantedTicks_ < 2 ? 1.0 : 1.0 / (wantedTicks_ - 1);
        const double x = isVertical() ? -pd : pd;
        double e = frac((lineLen_ * ticks_[0] - x) / (lineLen_ * s));
        if (e < 0) e += 1;
        tickCount_ = boundedCount(std::trunc(1 / s - e) + 1);
        for (int i = 0; i < tickCount_; ++i) ticks_[i] = s * i + s * e;
    } else if (tickStep_ > 0) {
        const double step = tickStep_;
        double f = frac((ticks_[0] * k_ - originValue_ * k_) / step);
        if (!inversed()) {
            if (f < 0) f += 1;
            const double t0 = originValue_ * k_ + step * f;
            tickCount_ = boundedCount(std::trunc((max_ * k_ - t0) / step) + 1);
            for (int i = 0; i < tickCount_; ++i) ticks_[i] = (t0 + step * i) / k_;
        } else {
            if (f > 0) f -= 1;
            const double t0 = originValue_ * k_ + step * f;
            tickCount_ = boundedCount(std::trunc((t0 - min_ * k_) / step) + 1);
            for (int i = 0; i < tickCount_; ++i) ticks_[i] = (t0 - step * i) / k_;
        }
    }
    calcTickPixels();
}

void Scale::setFlag(ScaleFlag flag, bool on) {
    if (flags_.testFlag(flag) == on) return;
    flags_.setFlag(flag, on);
    flagChanged(flag);
}

void Scale::flagChanged(ScaleFlag) {}

void Scale::clearFlagsRaw(ScaleFlags mask) {
    flags_ &= ~mask;
}

int Scale::overhang(int cw, int ch, int tick, double edgeValue) {
    if (tickCount_ == 0 || noTicksLabel()) return 0;
    const int b = std::abs(roundInt((edgeValue - tickValue(tick)) * ppu_));
    const int half = isVertical() ? ch / 2 : int(getTickLabel(tick).size()) * cw / 2;
    return std::max(0, half - b);
}

int Scale::startOverhang(int cw, int ch) {
    return overhang(cw, ch, 0, originValue_);
}

int Scale::endOverhang(int cw, int ch) {
    return overhang(cw, ch, tickCount_ - 1, inversed() ? min_ : max_);
}

int Scale::bandWidth(int cw, int ch) {
    const int w = lineAttr_.width();
    if (tickCount_ == 0) return w;
    if (noTicksLabel()) return ticksLines() ? w + 4 : w;
    if (!isVertical()) return w + ch + 5;
    int longest = 0;
    for (int i = 0; i < tickCount_; ++i) longest = std::max(longest, int(getTickLabel(i).size()));
    return w + longest * cw + 5;
}

void Scale::drawAxisLine(QPainter& p, int startExt, int endExt) const {
    if (!lineAttr_.visible()) return;
    p.setPen(makePen(lineAttr_.color(), lineAttr_.style(), 1));
    setCopyMode(p);
    const int outward = isFarSide() ? 1 : -1;
    for (int i = 0; i < lineAttr_.width(); ++i) {
        if (isVertical()) {
            const int x = lineX_ + outward * i;
            p.drawLine(x, lineY_ - lineLen_ - endExt, x, lineY_ + startExt + 1);
        } else {
            const int y = lineY_ - outward * i;
            p.drawLine(lineX_ - startExt, y, lineX_ + lineLen_ + endExt + 1, y);
        }
    }
}

void Scale::drawTicksAndLabels(QPainter& p) {
    drawnLabels_.clear();
    if (!ticksLines() && noTicksLabel()) return;
    const int w = lineAttr_.width();
    const bool far = isFarSide();
    if (ticksLines()) {
        for (int i = 0; i < tickCount_; ++i) {
            const int t = tickPixels_[i];
            // Four pixels outward from just outside the line, drawn rightward or downward.
            if (isVertical()) {
                const int x0 = far ? lineX_ + w : lineX_ - w - 3;
                p.drawLine(x0, t, x0 + 4, t);
            } else {
                const int y0 = far ? lineY_ - w - 3 : lineY_ + w;
                p.drawLine(t, y0, t, y0 + 4);
            }
        }
    }
    if (noTicksLabel()) return;
    const int h8 = textHeight(p, QStringLiteral("8"));
    std::vector<DrawnLabel> labels;
    std::vector<LabelExtent> extents;
    for (int i = 0; i < tickCount_; ++i) {
        const QString s = getTickLabel(i);
        const int t = tickPixels_[i];
        const int tw = textWidth(p, s);
        const QPoint at = isVertical()
                              ? QPoint(far ? lineX_ + w + 5 : lineX_ - w - 5 - tw, t - h8 / 2)
                              : QPoint(t - tw / 2, far ? lineY_ - w - h8 - 5 : lineY_ + w + 5);
        labels.push_back({QRect(at, QSize(tw, h8)), s});
        extents.push_back(isVertical() ? LabelExtent{at.y(), at.y() + h8, s, gridPlace(i)}
                                       : LabelExtent{at.x(), at.x() + tw, s, gridPlace(i)});
    }
    // Labels that would run into each other or read alike are thinned out evenly.
    const int gap = isVertical() ? 2 : std::max(2, textWidth(p, QStringLiteral(" ")));
    const std::vector<bool> shown = thinLabels(extents, gap);
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (!shown[i]) continue;
        textOut(p, labels[i].box.x(), labels[i].box.y(), labels[i].text);
        drawnLabels_.push_back(labels[i]);
    }
}

void Scale::assignScale(const Scale& s) {
    flags_ = s.flags_;
    lineX_ = s.lineX_;
    lineY_ = s.lineY_;
    lineLen_ = s.lineLen_;
    wantedTicks_ = s.wantedTicks_;
    labelFormat_ = s.labelFormat_;
    labelDecimals_ = s.labelDecimals_;
    applyRange(s.min_, s.max_);
    lineAttr_.assign(s.lineAttr_);
}

}  // namespace kvel
