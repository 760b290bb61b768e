// A scale with what a plot needs around it: margin, caption, grid, owning plot and the range
// remembered before a mouse zoom.
#pragma once

#include <QString>

#include "plot/scale.h"

namespace kvel {

class XYPlot;

class Axis : public Scale, private AttrOwner {
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
    // A date-time axis's label format, in QDateTime's terms.
    void setLabelFormat(const QString& f);
    void setLabelDecimals(int n);
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


  protected:
    void flagChanged(ScaleFlag flag) override;

  private:
    // The line or the grid changed.
    void attrChanged() override { plotInvalidate(); }
    void plotInvalidate();

    double savedMin_ = 0, savedMax_ = 0;
    int margin_ = 4;
    QString caption_;
    XYPlot* plot_ = nullptr;
    LineAttr gridAttr_{QColorConstants::Svg::gray, Qt::SolidLine, 1, false};
    bool savedValid_ = false;
};

}  // namespace kvel
