// The mapping of one axis from values onto pixels, as a value: items draw with copies of it, so
// drawing never reaches back into the plot's axes.
#pragma once

namespace kvel {

class ScaleMap {
  public:
    // Pixels beyond this distance are clamped, so that drawing never gets larger coordinates.
    static constexpr int kPixelLimit = 16383;

    ScaleMap() = default;
    // Pixel of value v is (v − originValue) · pixelsPerUnit + pixelOrigin; the visible values run
    // from min to max.
    ScaleMap(double originValue, int pixelOrigin, double pixelsPerUnit, double min, double max)
        : origin_(originValue), pixelOrigin_(pixelOrigin), ppu_(pixelsPerUnit), min_(min), max_(max) {}

    // Rounded half to even and clamped to ±kPixelLimit.
    int transform(double v) const {
        const double p = (v - origin_) * ppu_ + pixelOrigin_;
        if (p > kPixelLimit) return kPixelLimit;
        if (p >= -kPixelLimit) {
            // Ties to even, as nearbyint, without the library call that saves and restores the
            // rounding mode (drawing long series calls this millions of times): adding
            // 1.5 × 2^52 leaves no fraction bits, so the hardware rounds the sum.
            constexpr double kShift = 6755399441055744.0;
            return int((p + kShift) - kShift);
        }
        return -kPixelLimit;
    }
    double invTransform(int p) const { return (p - pixelOrigin_) / ppu_ + origin_; }

    double min() const { return min_; }
    double max() const { return max_; }
    double pixelsPerUnit() const { return ppu_; }

    bool operator==(const ScaleMap&) const = default;

  private:
    double origin_ = 0;
    int pixelOrigin_ = 0;
    double ppu_ = 1;
    double min_ = 0, max_ = 1;
};

}  // namespace kvel
