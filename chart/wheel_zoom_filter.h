// Routes the mouse wheel to the chart: installed on the plot and its children (the marker
// handles and value labels), it takes every wheel turn over them whose pointer lies strictly
// inside the field, and zooms all three axes. Other wheel turns go on as usual.
#pragma once

#include <QObject>

#include "chart/chart_interaction.h"
#include "plot/xy_plot.h"

namespace kvel {

class WheelZoomFilter : public QObject {
    Q_OBJECT
  public:
    // Installs itself on the plot and goes with it.
    explicit WheelZoomFilter(XYPlot& plot);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    XYPlot& plot_;
    WheelNotches notches_;
};

}  // namespace kvel
