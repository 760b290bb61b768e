// Floor 6, windows/: every window of the program. The main window, the program and module
// settings dialogs, the cabinet window, the line traffic window and the log viewer. They place
// controls and wire them to core/, chart/ and plot/; logic that grows here belongs a floor
// below.
#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <memory>
#include <string>

#include "chart/chart_interaction.h"
#include "chart/marker_handle.h"
#include "chart/markers.h"
#include "chart/trend_chart.h"
#include "config/mem_ini.h"
#include "core/monitor_session.h"
#include "core/publishing.h"
#include "link/module_map.h"
#include "plot/xy_line.h"
#include "plot/xy_plot.h"
#include "windows/channel_grid.h"
#include "windows/chart_panel.h"
#include "windows/indicator_lamp.h"

namespace kvel {

class TrafficWindow;
class LogViewerWindow;
class ProgramSettingsDialog;
class FirstGenModuleDialog;
class SecondGenModuleDialog;
class CabinetWindow;
class CabinetHost;
class ModuleSettingsDialog;
class AlarmCenter;
class AlarmWindow;

// The main window "KvelView": the program. It owns mem.ini in memory, the link to the module,
// the chart and the poll, and shows the live readouts.
class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindow(QWidget* parent = nullptr);
    ~MainWindow() override;

    // The four secondary windows, the main window's children: each is made, with its
    // connections, when first opened (or asked for here); the main window fills and shows them.
    ProgramSettingsDialog* programSettingsDialog();
    FirstGenModuleDialog* firstGenDialog();
    SecondGenModuleDialog* secondGenDialog();
    CabinetWindow* cabinetWindow();

    void startMonitoring();
    void finishSession();
    void pollModule();
    void applyChartSettings();
    void applyAxisScaling();
    // The time axis set from the stored window (or the whole history) and now, wherever it
    // stands: the settings dialog's ОК applies it.
    void applyTimeWindow();
    void addChartPoints(const ReadTransaction& record);
    // Opens the module settings dialog of the module's generation, filled from the module:
    // the reads run on the link thread and the dialog is shown when they are in.
    void openModuleSettings();

    // The program settings dialog: filled from mem.ini and shown modally; ОК checks, stores
    // and applies its fields with the poll off (main_window_settings.cpp).
    void openProgramSettings();
    void loadProgramSettingsDialog();
    bool validateProgramSettingsDialog();
    void saveProgramSettingsDialog();
    bool acceptProgramSettings();

    // The monitoring session: the link, its thread, the poll, module settings, cabinet control.
    MonitorSession& session() { return *session_; }
    MemIni& ini() { return *ini_; }
    ChannelGrid* readingsGrid() const { return readingsGrid_; }
    XYPlot* trendPlot() const { return trendPlot_; }
    XYLine* line(int slot) const { return lines_[static_cast<std::size_t>(slot - 1)]; }
    QCheckBox* slotCheckBox(int slot) const { return chartPanel_->curveCheck(slot); }
    QLabel* slotColorBox(int slot) const { return chartPanel_->colorBox(slot); }
    QCheckBox* chartUpdatingCheck() const { return chartUpdatingCheck_; }
    QCheckBox* markersCheck() const { return chartPanel_->markersCheck(); }
    MarkerHandle* marker1Handle() const { return chartPanel_->marker1Handle(); }
    MarkerHandle* marker2Handle() const { return chartPanel_->marker2Handle(); }
    ChartMarkers& markers() { return *markers_; }
    // Value label A (marker X1) or B (X2) of a slot.
    QLabel* valueLabel(int slot, bool second) const {
        return chartPanel_->valueLabel(slot, second);
    }
    IndicatorLamp* relayIndicator(int relay) const {
        return relayIndicators_[static_cast<std::size_t>(relay - 1)];
    }
    IndicatorLamp* linkIndicator() const { return linkIndicator_; }
    QString statusPanel(int panel) const;
    QString statusToolTip(int panel) const;
    // "Обмен с модулем", made on first use (Ctrl+T or a double click on the link panel).
    void openTrafficWindow();
    TrafficWindow* trafficWindow() const { return trafficWindow_.get(); }
    // "Просмотр журнала": asks for a log and shows it in a new window (Ctrl+O); none when
    // nothing was opened.
    LogViewerWindow* openLogViewer();
    // The live chart as PNG or SVG (Ctrl+E); false on failure or when nothing was chosen.
    bool exportChart();
    // "Сигнализация", made on first use (Ctrl+L, the tool bar or the status bar's indicator).
    AlarmWindow* openAlarmWindow();
    AlarmCenter& alarms() { return *alarms_; }
    QPushButton* alarmIndicator() const { return alarmIndicator_; }
    // The tool tip of the status bar's link panel.
    QString linkPanelToolTip() const;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildLayout();
    QWidget* buildRightColumn();
    QWidget* buildChartPanel();
    void initialize();
    void loadModuleSettings();
    void endModuleSettings();
    void wireChart();
    void buildToolBar();  // main_window_tools.cpp
    // The connections of a secondary window, made as it comes.
    void wireProgramSettings(ProgramSettingsDialog* dialog);
    void wireModuleDialog(ModuleSettingsDialog* dialog);
    void wireCabinetWindow(CabinetWindow* window);

    // What a poll brought, on the controls, the chart, the alarms and the publishers.
    void showPollResult(const PollResult& result);
    void setStatusText(int panel, const std::string& text);
    void showStatus(int panel, const QString& text);  // a text in the windows' language
    void setLinkIndicator(bool on);
    void setChannelText(int channel, const std::string& text);
    void setRelay(int relayIndex, bool on);
    bool chartUpdating() const;
    // The alarms on the grid's cells and on the status bar's indicator.
    void showAlarms();
    // (Re)starts publishing as mem.ini's [publish] says; a value it cannot use is said.
    void startPublishing();

    std::string startupDirectory_;
    std::unique_ptr<MemIni> ini_;
    std::unique_ptr<MonitorSession> session_;
    std::unique_ptr<TrafficWindow> trafficWindow_;  // goes before the link whose tap it shows
    std::unique_ptr<TrendChart> chart_;
    std::unique_ptr<AlarmCenter> alarms_;
    QPointer<AlarmWindow> alarmWindow_;
    QString notificationProblem_;  // why desktop notifications fail, said once
    bool shown_ = false;
    bool closed_ = false;
    std::unique_ptr<ChartMarkers> markers_;

    ChannelGrid* readingsGrid_ = nullptr;
    ChartPanel* chartPanel_ = nullptr;
    XYPlot* trendPlot_ = nullptr;
    // The curves: owned here and gone before the plot (a child widget), which each leaves as
    // it goes; lines_ is the view the chart and the markers take.
    std::array<std::unique_ptr<XYLine>, kChartSlots> lineOwners_;
    std::array<XYLine*, kChartSlots> lines_{};
    std::array<IndicatorLamp*, kRelayCount> relayIndicators_{};
    IndicatorLamp* linkIndicator_ = nullptr;
    QCheckBox* chartUpdatingCheck_ = nullptr;
    QPushButton* cabinetButton_ = nullptr;
    std::array<QLabel*, 2> statusPanels_{};
    QLabel* unwrittenPanel_ = nullptr;
    QPushButton* alarmIndicator_ = nullptr;

    ProgramSettingsDialog* programSettings_ = nullptr;
    SecondGenModuleDialog* secondGenDialog_ = nullptr;
    CabinetWindow* cabinetWindow_ = nullptr;
    FirstGenModuleDialog* firstGenDialog_ = nullptr;

    // The polls published as [publish] says.
    Publishing publishing_;
    bool openingModuleSettings_ = false;  // from the click until the dialog has closed
};

}  // namespace kvel
