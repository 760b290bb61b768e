#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <array>
#include <memory>
#include <string>

#include "chart/chart_interaction.h"
#include "chart/log_chart.h"
#include "chart/markers.h"
#include "config/mem_ini.h"
#include "core/log_file.h"
#include "plot/plot.h"

namespace kvel {

// "Просмотр журнала": a measurement log on the chart's plot with the main chart's check boxes,
// read-outs, markers, zoom and pan; reload (F5) keeps the view, and the chart can be saved as a
// picture and the visible time range as CSV. Several may be open at once; each closes by itself.
class LogViewerWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `ini` (mem.ini in memory) gives the slots' colours and axes and keeps the last folder; it
    // must outlive the window.
    explicit LogViewerWindow(MemIni& ini, QWidget* parent = nullptr);
    ~LogViewerWindow() override;

    // Reads the log and shows it whole; false (with a message) when it cannot be read.
    bool openFile(const QString& path);
    // Asks for a log (starting in the folder remembered in mem.ini) and opens it.
    bool chooseAndOpen();
    // Reads the same file again, keeping the view and the check boxes.
    bool reload();
    // The chart as PNG or SVG, the visible time range as CSV; false on failure (with a message)
    // or when nothing was chosen.
    bool exportImage();
    bool exportCsv();

    // The log's times and skip counts; its values live in the chart's curves only.
    const LogData& data() const { return data_; }
    const QString& path() const { return path_; }
    XYPlot* plot() const { return plot_; }
    LogChart& chart() { return *chart_; }
    QCheckBox* channelCheckBox(int channel) const { return checks_[std::size_t(channel - 1)]; }
    QString statusText() const { return status_->text(); }

  private:
    void buildLayout();
    void wireChart();
    void showCounts();
    void pointerMoved(int x, int y);

    MemIni& ini_;
    QString path_;
    LogData data_;
    XYPlot* plot_ = nullptr;
    std::unique_ptr<LogChart> chart_;
    std::unique_ptr<ChartMouse> mouse_;
    std::unique_ptr<ChartMarkers> markers_;
    MarkerControls markerControls_;
    std::array<QCheckBox*, kLogChannels> checks_{};
    std::array<QLabel*, kLogChannels> colors_{};
    QCheckBox* markersCheck_ = nullptr;
    QLineEdit* crX_ = nullptr;
    QLineEdit* crYL_ = nullptr;
    QLineEdit* crYR_ = nullptr;
    QLabel* status_ = nullptr;
};

// kvelview --log FILE: only the viewer, without the module's line; mem.ini of the current folder
// gives colours and keeps the folder. Returns the application's exit status.
int runLogViewer(const QString& path);

}  // namespace kvel
