// Routes the mouse wheel to the chart: installed on the application, it takes every wheel turn
// inside the plot's window whose pointer lies strictly inside the plot's field, whatever child
// widget is under the pointer, and zooms all three axes. Other wheel turns go on as usual.
#pragma once

#include <QObject>

#include "chart/chart_interaction.h"
#include "plot/plot.h"

namespace kvel {

class WheelZoomFilter : public QObject {
    Q_OBJECT
  public:
    WheelZoomFilter(XYPlot& plot, QObject* parent) : QObject(parent), plot_(plot) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    XYPlot& plot_;
    WheelNotches notches_;
};

}  // namespace kvel
