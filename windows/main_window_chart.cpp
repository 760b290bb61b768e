// The main window's chart wiring: the standard view, the markers and the slot check boxes are
// passed on to the chart's logic.
#include "windows/main_window.h"

namespace kvel {

void MainWindow::wireChart() {
    connect(chartPanel_, &ChartPanel::standardViewRequested, this,
            [this] { standardView(*trendPlot_, *ini_); });
    markers_ = std::make_unique<ChartMarkers>(*trendPlot_, lines_, chartPanel_->markerControls());
    chartPanel_->attachMarkers(*markers_);
    // The demo's settings show the markers from the start, on the drawn curves.
    if (ini_->readInteger(keys::kMarkers) != 0) {
        markers_->setInitialPlaces(1.0 / 3, 2.0 / 3);
        chartPanel_->markersCheck()->setChecked(true);
    }
    for (int k = 1; k <= kChartSlots; ++k) {
        QCheckBox* check = chartPanel_->curveCheck(k);
        connect(check, &QCheckBox::toggled, this,
                [this, k, check](bool on) { chart_->switchSlot(k, on, !check->isHidden()); });
    }
}

}  // namespace kvel
