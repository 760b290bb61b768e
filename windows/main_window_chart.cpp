// The main window's chart wiring: the plot's mouse events, the markers, the wheel and the slot
// check boxes are passed on to the chart's logic.
#include "chart/readout_format.h"
#include "chart/wheel_zoom_filter.h"
#include "windows/main_window.h"

namespace kvel {

void MainWindow::wireChart() {
    chartMouse_ = std::make_unique<ChartMouse>(*trendPlot_);
    connect(chartMouse_.get(), &ChartMouse::standardViewRequested, this,
            [this] { standardView(*trendPlot_, *ini_); });
    cursorTimeEdit_ = findChild<QLineEdit*>("cursorTimeEdit");
    crYLEdit_ = findChild<QLineEdit*>("cursorLeftValueEdit");
    crYREdit_ = findChild<QLineEdit*>("cursorRightValueEdit");
    MarkerControls controls;
    controls.handle1 = marker1Handle_;
    controls.handle2 = marker2Handle_;
    controls.track1 = findChild<QLineEdit*>("marker1TimeEdit");
    controls.track2 = findChild<QLineEdit*>("marker2TimeEdit");
    controls.delta = findChild<QLineEdit*>("markerDeltaEdit");
    controls.labels = valueLabels_;
    markers_ = std::make_unique<ChartMarkers>(*trendPlot_, lines_, controls);

    connect(trendPlot_, &XYPlot::mouseMoved, this,
            [this](QPoint pos) { showPointerReadout(pos.x(), pos.y()); });
    new WheelZoomFilter(*trendPlot_);

    connect(markersCheck_, &QCheckBox::toggled, this,
            [this](bool on) { markers_->setMarkersOn(on); });
    // The demo's settings show the markers from the start, on the drawn curves.
    if (ini_->readInteger(keys::kMarkers) != 0) {
        markers_->setInitialPlaces(1.0 / 3, 2.0 / 3);
        markersCheck_->setChecked(true);
    }
    for (int k = 0; k < kChartSlots; ++k) {
        QCheckBox* check = slotChecks_[static_cast<std::size_t>(k)];
        connect(check, &QCheckBox::toggled, this,
                [this, k, check](bool on) { chart_->switchSlot(k + 1, on, !check->isHidden()); });
    }
}

void MainWindow::showPointerReadout(int x, int y) {
    const std::optional<PointerReadout> r = chartMouse_->mouseMove(x, y);
    if (!r) return;
    cursorTimeEdit_->setText(QString::fromStdString(formatTimeOfDay(r->time)));
    crYLEdit_->setText(QString::fromStdString(formatGeneral4(r->left)));
    crYREdit_->setText(QString::fromStdString(formatGeneral4(r->right)));
}

}  // namespace kvel
