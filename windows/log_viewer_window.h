#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "chart/chart_interaction.h"
#include "chart/log_chart.h"
#include "chart/markers.h"
#include "config/mem_ini.h"
#include "core/log_file.h"
#include "plot/xy_plot.h"
#include "windows/chart_panel.h"
#include "windows/job_queue.h"

class QProgressBar;
class QPushButton;

namespace kvel {

class LogStatsDialog;

// "Просмотр журнала": a measurement log (or several, on one time axis) on the chart's plot with
// the main chart's check boxes, read-outs, markers, zoom and pan; a time range can be typed;
// reload (F5) keeps the view, or follows the end of a growing log when the view showed it; the
// chart can be saved as a picture, the visible time range as CSV, and statistics between the
// markers copied as text. Logs are read on the window's job thread with a progress bar and
// "Отмена"; the window stays usable and may be closed meanwhile. Several viewers may be open at
// once; each closes by itself.
class LogViewerWindow : public QMainWindow {
    Q_OBJECT
  public:
    // `ini` (mem.ini in memory) gives the slots' colours and axes and keeps the last folder; it
    // must outlive the window.
    explicit LogViewerWindow(MemIni& ini, QWidget* parent = nullptr);
    ~LogViewerWindow() override;

    // Starts reading the logs (one time axis for all) as a job of the window's queue; the window
    // shows them when done (see loaded()). A read that is under way is cancelled first.
    void load(const QStringList& paths);
    // Reads the log and waits, the events going on meanwhile; false (with a message) when it
    // cannot be read.
    bool openFile(const QString& path);
    bool openFiles(const QStringList& paths);
    // Waits (the events going on) until no read is under way; the last read's outcome.
    bool waitUntilLoaded();
    bool loading() const { return loadJob_ != 0; }
    // Asks for logs or a folder of them (starting in the folder remembered in mem.ini) and
    // starts reading; false when nothing was chosen.
    bool chooseAndOpen();
    bool chooseFolderAndOpen();
    // Reads the same files again, keeping the view and the check boxes. The log shown goes
    // first, so that a long log is never held twice; when the new read fails the view is kept
    // for the next try.
    bool reload();
    // Stops a read under way (loaded(false) at once); a load that replaced nothing leaves the
    // window as it was.
    void cancelLoad();
    // The chart as PNG or SVG; false on failure (with a message) or when nothing was chosen.
    bool exportImage();
    // The visible time range as CSV, written on the window's job thread (a failure is a message
    // then); false when there is nothing to export or nothing was chosen.
    bool exportCsv();
    // Shows the time range typed in the "С"/"По" fields; false (with a message) when either
    // cannot be read.
    bool showTypedRange();
    // Statistics between the markers into the statistics dialog, computed on the window's job
    // thread (a long log's readings are read back from its file).
    void showStatistics();
    // Reading, statistics and CSV export under way or waiting; finished() when the last is
    // done.
    JobQueue& jobs() { return jobs_; }

    const LogData& data() const { return *data_; }
    const QStringList& paths() const { return paths_; }
    XYPlot* plot() const { return plot_; }
    LogChart& chart() { return *chart_; }
    QCheckBox* channelCheckBox(int channel) const { return checks_[std::size_t(channel - 1)]; }
    QString statusText() const { return status_->text(); }
    LogStatsDialog* statsDialog() const { return stats_; }

  signals:
    // A read ended: shown, or failed / cancelled (the window keeps what it showed).
    void loaded(bool ok);

  protected:
    void closeEvent(QCloseEvent* e) override;

  private:
    // Opens the chosen logs here, or in a new viewer when this one shows a log already.
    bool openChosen(const QStringList& paths);
    void buildLayout();
    void buildRangeBar();
    void wireChart();
    void showCounts();
    void startLoad(const QStringList& paths);
    void loadFinished(const QStringList& paths, std::shared_ptr<LogData> data,
                      const std::string& error);
    // The read under way ended without a log: failed (with `error`) or cancelled.
    void loadFailed(const std::string& error, bool cancelled);
    void endLoad();
    void showProgress();
    std::vector<int> shownChannels() const;

    MemIni& ini_;
    QStringList paths_;
    std::shared_ptr<const LogData> data_;
    ChartPanel* chartPanel_ = nullptr;
    XYPlot* plot_ = nullptr;
    std::unique_ptr<LogChart> chart_;
    std::unique_ptr<ChartMarkers> markers_;
    std::array<QCheckBox*, kLogChannels> checks_{};  // the panel's, by channel
    QLineEdit* fromEdit_ = nullptr;
    QLineEdit* toEdit_ = nullptr;
    QLabel* status_ = nullptr;
    QProgressBar* progressBar_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    LogStatsDialog* stats_ = nullptr;

    // The read under way (a job of jobs_; 0 when none) and how far it got.
    JobQueue::Id loadJob_ = 0;
    std::shared_ptr<LogLoadProgress> progress_;
    QTimer progressTimer_;
    // Of a reload: whether the view showed the log's end, and that end (the log itself is
    // dropped while the new one is read). Kept until a reload succeeds.
    struct ReloadView {
        bool follow = false;
        double oldEnd = 0;
    };
    std::optional<ReloadView> reloadView_;
    bool lastLoadOk_ = false;
    bool closeOnFailure_ = false;
    JobQueue jobs_;
};

// kvelview --log FILE: only the viewer, without the module's line; mem.ini of the current folder
// gives colours and keeps the folder. Returns the application's exit status.
int runLogViewer(const QString& path);

}  // namespace kvel
