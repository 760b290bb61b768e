// The chart's controls as the main window and the log viewer show them: the plot with the
// read-out bar under it, the marker handles and value labels on the plot, and the check boxes
// that go beside it ("Маркеры" and one box with its colour per curve).
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>
#include <array>
#include <memory>

#include "chart/chart_interaction.h"
#include "chart/chart_slots.h"
#include "chart/markers.h"
#include "plot/xy_plot.h"

namespace kvel {

class ChartPanel : public QWidget {
    Q_OBJECT
  public:
    // Widths of the read-outs: a time (with its date in the log viewer) and the span between
    // the markers.
    struct ReadoutWidths {
        int time = 90;
        int span = 90;
    };

    ChartPanel(ReadoutWidths widths, QWidget* parent = nullptr);
    ~ChartPanel() override;

    XYPlot* plot() const { return plot_; }
    // The curves' check boxes with their colour boxes, one row each, for the window to place
    // beside the chart; "Маркеры" likewise.
    QWidget* curveChecks() const { return curveChecks_; }
    QCheckBox* curveCheck(int slot) const { return checks_[std::size_t(slot - 1)]; }
    QLabel* colorBox(int slot) const { return colorBoxes_[std::size_t(slot - 1)]; }
    QCheckBox* markersCheck() const { return markersCheck_; }
    // The colour box and the value labels of a curve in its line's colour.
    void setCurveColor(int slot, const QColor& color);

    // The handles, the marker read-outs and the value labels, for the window's markers.
    const MarkerControls& markerControls() const { return markerControls_; }
    MarkerHandle* marker1Handle() const { return markerControls_.handle1; }
    MarkerHandle* marker2Handle() const { return markerControls_.handle2; }
    // Value label A (marker X1) or B (X2) of a slot.
    QLabel* valueLabel(int slot, bool second) const {
        return markerControls_.labels[std::size_t(2 * (slot - 1) + (second ? 1 : 0))];
    }

    // The window's markers, made on this panel's plot and controls: "Маркеры" switches them,
    // and the pointer read-outs use their texts of a time and a value. They must stay until
    // the panel goes or detachMarkers().
    void attachMarkers(ChartMarkers& markers);
    void detachMarkers() { markers_ = nullptr; }

  signals:
    // A left click on the plot: the window restores its standard view.
    void standardViewRequested();

  private:
    void buildReadoutBar(ReadoutWidths widths);
    void buildCurveChecks();
    void showPointerReadout(QPoint pos);

    XYPlot* plot_ = nullptr;
    QLineEdit* cursorTime_ = nullptr;
    QLineEdit* cursorLeftValue_ = nullptr;
    QLineEdit* cursorRightValue_ = nullptr;
    MarkerControls markerControls_;
    QWidget* curveChecks_ = nullptr;
    std::array<QCheckBox*, kChartSlots> checks_{};
    std::array<QLabel*, kChartSlots> colorBoxes_{};
    QCheckBox* markersCheck_ = nullptr;
    std::unique_ptr<ChartMouse> mouse_;
    ChartMarkers* markers_ = nullptr;
};

}  // namespace kvel
