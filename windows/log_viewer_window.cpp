#include "windows/log_viewer_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <atomic>

#include "chart/chart_image.h"
#include "chart/readout_format.h"
#include "core/csv_export.h"
#include "core/log_stats.h"
#include "link/message_sink.h"
#include "windows/file_choosers.h"
#include "windows/log_stats_dialog.h"

namespace kvel {
namespace {

std::vector<std::string> stdPaths(const QStringList& paths) {
    std::vector<std::string> out;
    for (const QString& p : paths) out.push_back(p.toStdString());
    return out;
}

// "a.txt", or "a.txt и ещё 11" for several logs.
QString logsName(const QStringList& paths) {
    if (paths.isEmpty()) return {};
    const QString first = QFileInfo(paths.constFirst()).fileName();
    return paths.size() == 1 ? first
                             : LogViewerWindow::tr("%1 и ещё %2").arg(first).arg(paths.size() - 1);
}

QString textOf(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

LogViewerWindow::LogViewerWindow(MemIni& ini, QWidget* parent)
    : QMainWindow(parent), ini_(ini), data_(std::make_shared<LogData>()) {
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("logViewerWindow");
    setWindowTitle(tr("Просмотр журнала"));
    resize(1200, 700);
    buildLayout();
    wireChart();
}

LogViewerWindow::~LogViewerWindow() {
    jobs_.stop();
    // The markers and the chart's lines go before the plot they work on.
    chartPanel_->detachMarkers();
    markers_.reset();
    chart_.reset();
}

void LogViewerWindow::buildLayout() {
    auto* tools = new QToolBar(this);
    tools->setObjectName("logViewerTools");
    tools->setMovable(false);
    addToolBar(tools);
    const auto action = [&](const char* name, const QString& text, QKeySequence key,
                            QStyle::StandardPixmap icon, std::function<void()> run) {
        auto* a = tools->addAction(style()->standardIcon(icon), text);
        a->setObjectName(name);
        a->setShortcut(key);
        a->setToolTip(QString("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText)));
        connect(a, &QAction::triggered, this, std::move(run));
    };
    action("openLogAction", tr("Открыть журнал"), QKeySequence(Qt::CTRL | Qt::Key_O),
           QStyle::SP_DialogOpenButton, [this] { chooseAndOpen(); });
    action("reloadLogAction", tr("Обновить"), QKeySequence(Qt::Key_F5), QStyle::SP_BrowserReload,
           [this] { reload(); });
    action("exportImageAction", tr("Экспорт диаграммы"), QKeySequence(Qt::CTRL | Qt::Key_E),
           QStyle::SP_DialogSaveButton, [this] { exportImage(); });
    action("exportCsvAction", tr("Экспорт в CSV"), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
           QStyle::SP_FileDialogDetailedView, [this] { exportCsv(); });
    action("openFolderAction", tr("Открыть папку журналов"),
           QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), QStyle::SP_DirOpenIcon,
           [this] { chooseFolderAndOpen(); });
    action("statisticsAction", tr("Статистика между маркерами"), QKeySequence(Qt::CTRL | Qt::Key_I),
           QStyle::SP_FileDialogInfoView, [this] { showStatistics(); });
    buildRangeBar();

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);

    // Times carry their date on a view of several days; spans their days.
    chartPanel_ = new ChartPanel({140, 110}, central);
    plot_ = chartPanel_->plot();
    plot_->setObjectName("logPlot");
    plot_->setMinimumSize(300, 200);
    row->addWidget(chartPanel_, 1);

    auto* side = new QVBoxLayout();
    side->addWidget(chartPanel_->markersCheck());
    side->addWidget(chartPanel_->curveChecks());
    for (int c = 1; c <= kLogChannels; ++c)
        checks_[std::size_t(c - 1)] = chartPanel_->curveCheck(c);
    side->addStretch(1);
    row->addLayout(side);
    setCentralWidget(central);

    status_ = new QLabel(this);
    statusBar()->addWidget(status_, 1);
    progressBar_ = new QProgressBar(this);
    progressBar_->setObjectName("loadProgress");
    progressBar_->setRange(0, 1000);
    progressBar_->setMaximumWidth(240);
    progressBar_->hide();
    statusBar()->addPermanentWidget(progressBar_);
    cancelButton_ = new QPushButton(tr("Отмена"), this);
    cancelButton_->setObjectName("cancelLoadButton");
    cancelButton_->hide();
    statusBar()->addPermanentWidget(cancelButton_);
    connect(cancelButton_, &QPushButton::clicked, this, &LogViewerWindow::cancelLoad);
    progressTimer_.setInterval(50);
    connect(&progressTimer_, &QTimer::timeout, this, &LogViewerWindow::showProgress);
}

void LogViewerWindow::wireChart() {
    chart_ = std::make_unique<LogChart>(*plot_, ini_);
    // Said in the status line, not in a box: it is found while painting.
    connect(chart_.get(), &LogChart::sourceChanged, this, [this] {
        status_->setText(logsName(paths_) + ": " +
                         QCoreApplication::translate("KvelView", kLogChangedText));
    });
    connect(chartPanel_, &ChartPanel::standardViewRequested, this,
            [this] { chart_->standardView(); });
    for (int c = 1; c <= kLogChannels; ++c) {
        chartPanel_->setCurveColor(c, kSlotColors[std::size_t(chart_->slotOf(c) - 1)]);
        QCheckBox* check = checks_[std::size_t(c - 1)];
        check->setText(textOf(slotCaption(ini_, c)));
        check->setChecked(true);
        connect(check, &QCheckBox::toggled, this,
                [this, c](bool on) { chart_->setChannelShown(c, on); });
    }
    markers_ = std::make_unique<LogChartMarkers>(*plot_, *chart_, chartPanel_->markerControls());
    markers_->setInitialPlaces(1.0 / 3, 2.0 / 3);
    // Standing inside the curves from the start, the markers show only when asked for.
    markers_->setHiddenWhileOff(true);
    chartPanel_->attachMarkers(*markers_);
}

void LogViewerWindow::buildRangeBar() {
    auto* bar = new QToolBar(this);
    bar->setObjectName("logRangeTools");
    bar->setMovable(false);
    addToolBar(bar);
    const auto edit = [&](const QString& caption, const char* name) {
        auto* label = new QLabel(caption, bar);
        auto* e = new QLineEdit(bar);
        e->setObjectName(name);
        e->setPlaceholderText(tr("дд.мм.гг чч:мм"));
        e->setFixedWidth(130);
        e->setToolTip(tr("Дата и время: 16.11.26 18:00, 16.11.2026 18:00:05 или 2026-11-16 18:00"));
        label->setBuddy(e);
        bar->addWidget(label);
        bar->addWidget(e);
        connect(e, &QLineEdit::returnPressed, this, [this] { showTypedRange(); });
        return e;
    };
    fromEdit_ = edit(tr(" &С "), "rangeFromEdit");
    toEdit_ = edit(tr(" &По "), "rangeToEdit");
    QAction* show = bar->addAction(tr("Показать"));
    show->setObjectName("showRangeAction");
    show->setToolTip(tr("Показать интервал (Enter в поле времени)"));
    connect(show, &QAction::triggered, this, [this] { showTypedRange(); });
}

void LogViewerWindow::load(const QStringList& paths) {
    reloadView_.reset();
    startLoad(paths);
}

void LogViewerWindow::startLoad(const QStringList& paths) {
    if (loadJob_ != 0) jobs_.cancel(std::exchange(loadJob_, 0));
    auto progress = std::make_shared<LogLoadProgress>();
    progress_ = progress;
    progressBar_->setValue(0);
    progressBar_->show();
    cancelButton_->show();
    progressTimer_.start();
    status_->setText(tr("Чтение журнала: ") + logsName(paths));
    loadJob_ = jobs_.run([this, paths, files = stdPaths(paths),
                          progress](const std::atomic<bool>& cancel) -> JobQueue::Apply {
        progress->cancel = &cancel;
        std::shared_ptr<LogData> data;
        std::string error;
        try {
            data = std::make_shared<LogData>();
            if (!readLogFiles(files, *data, error, progress.get())) data.reset();
        } catch (const std::bad_alloc&) {
            data.reset();
            error = tr("недостаточно памяти, чтобы показать журнал").toStdString();
        }
        progress->cancel = nullptr;
        return [this, paths, data = std::move(data), error] {
            loadJob_ = 0;
            if (data) {
                loadFinished(paths, data, error);
            } else {
                loadFailed(error, false);
            }
        };
    });
}

void LogViewerWindow::cancelLoad() {
    if (loadJob_ == 0) return;
    jobs_.cancel(std::exchange(loadJob_, 0));
    loadFailed({}, true);
}

void LogViewerWindow::endLoad() {
    progressTimer_.stop();
    progressBar_->hide();
    cancelButton_->hide();
}

void LogViewerWindow::showProgress() {
    const long long total = progress_->bytesTotal.load();
    const long long done = progress_->bytesDone.load();
    progressBar_->setValue(total > 0 ? int(done * 1000 / total) : 0);
}

void LogViewerWindow::closeEvent(QCloseEvent* e) {
    // Quietly: the window goes, and with it its jobs.
    if (loadJob_ != 0) jobs_.cancel(std::exchange(loadJob_, 0));
    QMainWindow::closeEvent(e);
}

void LogViewerWindow::loadFailed(const std::string& error, bool cancelled) {
    endLoad();
    lastLoadOk_ = false;
    if (!cancelled) {
        showMessage(tr("Не удалось открыть журнал %1").arg(textOf(error)).toStdString(), "Ошибка");
    }
    showCounts();
    if (reloadView_) {
        // The log was dropped for the new read: the view stays for the next F5.
        status_->setText(logsName(paths_) +
                         (cancelled ? tr(": чтение прервано, F5 — прочитать снова")
                                    : tr(": журнал не прочитан, F5 — прочитать снова")));
    } else if (cancelled && !paths_.isEmpty()) {
        status_->setText(status_->text() + tr(" (чтение прервано)"));
    }
    emit loaded(false);
    if (paths_.isEmpty() && closeOnFailure_) close();
}

void LogViewerWindow::loadFinished(const QStringList& paths, std::shared_ptr<LogData> data,
                                   const std::string&) {
    endLoad();
    lastLoadOk_ = true;
    const bool first = paths_.isEmpty();
    const std::optional<ReloadView> reloaded = std::exchange(reloadView_, std::nullopt);
    const Axis& bottom = *plot_->bottomAxis();
    const double viewFrom = bottom.min(), viewTo = bottom.max();
    paths_ = paths;
    data_ = std::move(data);
    chart_->setData(data_);
    for (int c = 1; c <= kLogChannels; ++c) {
        QCheckBox* check = checks_[std::size_t(c - 1)];
        check->setEnabled(chart_->hasReadings(c));
        chart_->setChannelShown(c, check->isChecked());
    }
    if (first || !reloaded) {
        chart_->standardView();
    } else if (reloaded->follow && data_->rows() > 0) {
        // A reload follows a growing log when the view showed its end: same width, new end.
        const double shift = data_->time(data_->rows() - 1) - reloaded->oldEnd;
        if (shift > 0) chart_->setTimeRange(viewFrom + shift, viewTo + shift);
    }
    setWindowTitle(tr("Просмотр журнала — ") + logsName(paths_));
    // An empty field stands for the log's start or end, which it shows greyed.
    if (data_->rows() > 0) {
        fromEdit_->setPlaceholderText(textOf(formatDateTime(data_->time(0))));
        toEdit_->setPlaceholderText(textOf(formatDateTime(data_->time(data_->rows() - 1))));
    }
    showCounts();
    if (stats_ && stats_->isVisible()) showStatistics();
    emit loaded(true);
}

bool LogViewerWindow::waitUntilLoaded() {
    if (loading()) {
        QEventLoop wait;
        connect(this, &LogViewerWindow::loaded, &wait, &QEventLoop::quit);
        wait.exec();
    }
    return lastLoadOk_;
}

bool LogViewerWindow::openFiles(const QStringList& paths) {
    load(paths);
    return waitUntilLoaded();
}

bool LogViewerWindow::openFile(const QString& path) {
    return openFiles({path});
}

bool LogViewerWindow::chooseAndOpen() {
    const QString folder = textOf(ini_.readString(keys::kLogViewerFolder));
    return openChosen(chooseLogsToOpen(this, folder));
}

bool LogViewerWindow::openChosen(const QStringList& paths) {
    if (paths.isEmpty()) return false;
    ini_.writeString(keys::kLogViewerFolder,
                     QFileInfo(paths.constFirst()).absolutePath().toStdString());
    // A window that shows a log keeps it: others open beside it.
    LogViewerWindow* target = this;
    if (!paths_.isEmpty() || loading()) {
        target = new LogViewerWindow(ini_, parentWidget());
        target->show();
    }
    target->closeOnFailure_ = true;
    target->load(paths);
    return true;
}

bool LogViewerWindow::chooseFolderAndOpen() {
    const QString folder = textOf(ini_.readString(keys::kLogViewerFolder));
    return openChosen(chooseLogFolder(this, folder));
}

bool LogViewerWindow::reload() {
    if (paths_.isEmpty()) return false;
    // Taken before the log goes (a reload under way took it already).
    if (!reloadView_) {
        const int rows = data_->rows();
        reloadView_ = ReloadView{chart_->showsEnd(), rows > 0 ? data_->time(rows - 1) : 0};
    }
    // The log shown goes before the new one is read: a long log is never held twice. Jobs
    // still under way on it keep it until they are done.
    data_ = std::make_shared<LogData>();
    chart_->setData(data_);
    startLoad(paths_);
    return true;
}

bool LogViewerWindow::showTypedRange() {
    if (data_->rows() == 0) return false;
    double from = data_->time(0), to = data_->time(data_->rows() - 1);
    for (const auto& [edit, when] : {std::pair{fromEdit_, &from}, std::pair{toEdit_, &to}}) {
        const QString typed = edit->text().trimmed();
        if (typed.isEmpty()) continue;
        if (!parseTimeArgument(typed.toStdString(), *when)) {
            showMessage(
                tr("Неверное время «%1»: нужно, например, 16.11.26 18:00 или 2026-11-16 18:00")
                    .arg(typed)
                    .toStdString(),
                "Ошибка");
            edit->setFocus();
            return false;
        }
    }
    if (from >= to) {
        showMessage(tr("Начало интервала должно быть раньше его конца").toStdString(), "Ошибка");
        fromEdit_->setFocus();
        return false;
    }
    chart_->setTimeRange(from, to);
    return true;
}

std::vector<int> LogViewerWindow::shownChannels() const {
    std::vector<int> channels;
    for (int c = 1; c <= kLogChannels; ++c) {
        if (checks_[std::size_t(c - 1)]->isChecked() && chart_->hasReadings(c))
            channels.push_back(c);
    }
    return channels;
}

void LogViewerWindow::showStatistics() {
    if (!stats_) {
        stats_ = new LogStatsDialog(this);
        connect(stats_, &LogStatsDialog::thresholdEntered, this, [this] { showStatistics(); });
    }
    double threshold = 0;
    if (!stats_->threshold(threshold)) {
        stats_->setProblem(tr("Порог должен быть числом, например 50 или -5.5"));
    } else {
        const std::vector<int> channels = shownChannels();
        std::vector<std::string> names;
        for (const int c : channels) names.push_back(channelCheckBox(c)->text().toStdString());
        const double t1 = markers_->time1(), t2 = markers_->time2();
        stats_->setText(tr("Считается…"));
        jobs_.run([this, data = data_, t1, t2, channels, names,
                   threshold](const std::atomic<bool>& cancel) -> JobQueue::Apply {
            try {
                const std::vector<ChannelStats> stats =
                    logStats(*data, t1, t2, channels, threshold, &cancel);
                const std::string text = logStatsText(stats, names, t1, t2, threshold);
                if (data->sourceChanged()) {
                    return [this] {
                        stats_->setProblem(
                            tr("Журнал: %1")
                                .arg(QCoreApplication::translate("KvelView", kLogChangedText)));
                    };
                }
                return [this, text] { stats_->setText(textOf(text)); };
            } catch (const std::bad_alloc&) {
                return [this] { stats_->setProblem(tr("Недостаточно памяти для статистики")); };
            }
        });
    }
    stats_->show();
    stats_->raise();
}

void LogViewerWindow::showCounts() {
    if (paths_.isEmpty()) {
        status_->clear();
        return;
    }
    const LogData& d = *data_;
    const int skipped = d.skippedTotal();
    QString text =
        tr("%1 — строк: %2, пропущено строк: %3").arg(logsName(paths_)).arg(d.rows()).arg(skipped);
    // Readings after a clock set back are kept in time order among those of the repeated times.
    if (d.clockSetBacks > 0) text += tr(", часы переводились назад: %1").arg(d.clockSetBacks);
    status_->setText(text);
    QString tip;
    if (skipped > 0) {
        tip = tr("Первая пропущенная строка: %1\nобрывок последней строки: %2\n"
                 "неверное число полей: %3\nнечитаемое поле: %4\nневерное время: %5")
                  .arg(d.firstSkippedLine)
                  .arg(d.skippedCount(LogSkip::TornLine))
                  .arg(d.skippedCount(LogSkip::FieldCount))
                  .arg(d.skippedCount(LogSkip::BadField))
                  .arg(d.skippedCount(LogSkip::WrongTime));
    }
    status_->setToolTip(tip);
}

bool LogViewerWindow::exportImage() {
    const ChartCaption caption = chart_->caption(logsName(paths_));
    return exportChartImage(this, *plot_, &caption);
}

bool LogViewerWindow::exportCsv() {
    // The rows the window holds (the file may have been replaced or deleted since), those of
    // the visible time range.
    const Axis& bottom = *plot_->bottomAxis();
    if (data_->rowAfter(bottom.max()) <= data_->rowAtOrAfter(bottom.min())) {
        showMessage(tr("В видимом интервале времени нет строк журнала: экспортировать нечего")
                        .toStdString(),
                    "Ошибка");
        return false;
    }
    const QString path = chooseCsvExport(this);
    if (path.isEmpty()) return false;
    status_->setText(tr("Экспорт в CSV: %1").arg(path));
    jobs_.run([this, data = data_, file = path.toStdString(), from = bottom.min(),
               to = bottom.max(),
               channels = shownChannels()](const std::atomic<bool>& cancel) -> JobQueue::Apply {
        std::string error;
        try {
            if (writeLogCsv(file, *data, from, to, channels, error, &cancel)) {
                return [this] { showCounts(); };
            }
        } catch (const std::bad_alloc&) {
            return [this, file] {
                showCounts();
                showMessage(tr("Ошибка записи файла %1: недостаточно памяти")
                                .arg(QString::fromStdString(file))
                                .toStdString(),
                            "Ошибка");
            };
        }
        return [this, error] {
            showCounts();
            showMessage(
                tr("Ошибка записи файла %1").arg(QString::fromStdString(error)).toStdString(),
                "Ошибка");
        };
    });
    return true;
}

int runLogViewer(const QString& path) {
    MemIni ini("mem.ini");
    const std::string folder = ini.readString(keys::kLogViewerFolder);
    auto* window = new LogViewerWindow(ini);
    // The window shows at once and reads the log on its job thread; a log that cannot be read
    // ends the program with status 1 after its message.
    QObject::connect(window, &LogViewerWindow::loaded, [window](bool ok) {
        if (!ok && window->paths().isEmpty()) QCoreApplication::exit(1);
    });
    window->show();
    window->load({path});
    const int status = QApplication::exec();
    // Only the folder is stored, into the file as it is now: a running KvelView may have
    // written its own settings since this process read them.
    const std::string now = ini.readString(keys::kLogViewerFolder);
    if (now != folder) {
        MemIni current("mem.ini");
        current.writeString(keys::kLogViewerFolder, now);
        current.updateFile();
    }
    return status;
}

}  // namespace kvel
