#include "windows/log_viewer_window.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include "chart/chart_image.h"
#include "chart/readout_format.h"
#include "chart/wheel_zoom_filter.h"
#include "core/csv_export.h"
#include "link/message_sink.h"
#include "windows/file_choosers.h"

namespace kvel {
namespace {

QLineEdit* readOnlyEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    // Taken by a click only: an edit with the focus keeps Ctrl+E (end of line) from the
    // window's export action.
    edit->setFocusPolicy(Qt::ClickFocus);
    edit->setFixedWidth(90);
    return edit;
}

QString textOf(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

LogViewerWindow::LogViewerWindow(MemIni& ini, QWidget* parent) : QMainWindow(parent), ini_(ini) {
    setWindowFlag(Qt::Window);
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName("logViewerWindow");
    setWindowTitle("Просмотр журнала");
    resize(1200, 700);
    buildLayout();
    wireChart();
}

LogViewerWindow::~LogViewerWindow() {
    // The markers and the chart's lines go before the plot they work on.
    markers_.reset();
    chart_.reset();
}

void LogViewerWindow::buildLayout() {
    auto* tools = new QToolBar(this);
    tools->setObjectName("logViewerTools");
    tools->setMovable(false);
    addToolBar(tools);
    const auto action = [&](const char* name, const char* text, QKeySequence key,
                            QStyle::StandardPixmap icon, std::function<void()> run) {
        auto* a = tools->addAction(style()->standardIcon(icon), text);
        a->setObjectName(name);
        a->setShortcut(key);
        a->setToolTip(QString("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText)));
        connect(a, &QAction::triggered, this, std::move(run));
    };
    action("openLogAction", "Открыть журнал", QKeySequence(Qt::CTRL | Qt::Key_O),
           QStyle::SP_DialogOpenButton, [this] { chooseAndOpen(); });
    action("reloadLogAction", "Обновить", QKeySequence(Qt::Key_F5), QStyle::SP_BrowserReload,
           [this] { reload(); });
    action("exportImageAction", "Экспорт диаграммы", QKeySequence(Qt::CTRL | Qt::Key_E),
           QStyle::SP_DialogSaveButton, [this] { exportImage(); });
    action("exportCsvAction", "Экспорт в CSV", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E),
           QStyle::SP_FileDialogDetailedView, [this] { exportCsv(); });

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);

    auto* chartColumn = new QVBoxLayout();
    plot_ = new XYPlot(central);
    plot_->setObjectName("logPlot");
    plot_->setMinimumSize(300, 200);
    chartColumn->addWidget(plot_, 1);
    auto* bar = new QFrame(central);
    QFont bold = bar->font();
    bold.setBold(true);
    bold.setPixelSize(13);
    bar->setFont(bold);
    auto* barRow = new QHBoxLayout(bar);
    barRow->setContentsMargins(4, 2, 4, 2);
    const auto readout = [&](const char* caption) {
        barRow->addWidget(new QLabel(caption, bar));
        QLineEdit* edit = readOnlyEdit(bar);
        barRow->addWidget(edit);
        return edit;
    };
    crYL_ = readout("Y(лев)");
    crX_ = readout("X");
    crYR_ = readout("Y(прав)");
    barRow->addSpacing(20);
    markerControls_.track1 = readout("X1");
    markerControls_.track2 = readout("X2");
    markerControls_.delta = readout("dX");
    barRow->addStretch(1);
    chartColumn->addWidget(bar);
    row->addLayout(chartColumn, 1);

    auto* side = new QVBoxLayout();
    markersCheck_ = new QCheckBox("Маркеры", central);
    side->addWidget(markersCheck_);
    for (int c = 1; c <= kLogChannels; ++c) {
        auto* line = new QHBoxLayout();
        auto* color = new QLabel(central);
        color->setFixedSize(17, 17);
        color->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        color->setAutoFillBackground(true);
        auto* check = new QCheckBox(central);
        line->addWidget(color);
        line->addWidget(check, 1);
        side->addLayout(line);
        colors_[std::size_t(c - 1)] = color;
        checks_[std::size_t(c - 1)] = check;
    }
    side->addStretch(1);
    row->addLayout(side);
    setCentralWidget(central);

    status_ = new QLabel(this);
    statusBar()->addWidget(status_, 1);

    markerControls_.handle1 = new MarkerHandle(plot_);
    markerControls_.handle2 = new MarkerHandle(plot_);
    for (QLabel*& label : markerControls_.labels) {
        label = new QLabel(plot_);
        label->hide();
    }
}

void LogViewerWindow::wireChart() {
    chart_ = std::make_unique<LogChart>(*plot_, ini_);
    mouse_ = std::make_unique<ChartMouse>(*plot_, ini_);
    mouse_->onStandardView = [this] { chart_->standardView(); };
    for (int c = 1; c <= kLogChannels; ++c) {
        const QColor color = kSlotColors[std::size_t(chart_->slotOf(c) - 1)];
        QPalette palette = colors_[std::size_t(c - 1)]->palette();
        palette.setColor(QPalette::Window, color);
        colors_[std::size_t(c - 1)]->setPalette(palette);
        for (QLabel* label : {markerControls_.labels[std::size_t(2 * (c - 1))],
                              markerControls_.labels[std::size_t(2 * (c - 1) + 1)]}) {
            QPalette labelPalette = label->palette();
            labelPalette.setColor(QPalette::WindowText, color);
            label->setPalette(labelPalette);
        }
        QCheckBox* check = checks_[std::size_t(c - 1)];
        check->setText(textOf(slotCaption(ini_, c)));
        check->setChecked(true);
        connect(check, &QCheckBox::toggled, this,
                [this, c](bool on) { chart_->setChannelShown(c, on); });
    }
    markers_ = std::make_unique<ChartMarkers>(*plot_, chart_->lines(), markerControls_);
    markers_->setInitialPlaces(1.0 / 3, 2.0 / 3);
    connect(markersCheck_, &QCheckBox::toggled, this,
            [this](bool on) { markers_->setMarkersOn(on); });

    plot_->onDrawEnd = [this](XYPlot*) { markers_->drawEnd(); };
    plot_->onMouseDown = [this](XYPlot*, Qt::MouseButton button, const MouseState&, int x, int y) {
        mouse_->mouseDown(button, x, y);
    };
    plot_->onMouseMove = [this](XYPlot*, const MouseState&, int x, int y) { pointerMoved(x, y); };
    plot_->onMouseUp = [this](XYPlot*, Qt::MouseButton button, const MouseState&, int x, int y) {
        mouse_->mouseUp(button, x, y);
    };
    qApp->installEventFilter(new WheelZoomFilter(*plot_, this));
}

void LogViewerWindow::pointerMoved(int x, int y) {
    const std::optional<PointerReadout> r = mouse_->mouseMove(x, y);
    if (!r) return;
    crX_->setText(textOf(formatTimeOfDay(r->time)));
    crYL_->setText(textOf(formatGeneral4(r->left)));
    crYR_->setText(textOf(formatGeneral4(r->right)));
}

bool LogViewerWindow::openFile(const QString& path) {
    LogData data;
    std::string error;
    if (!readLogFile(path.toStdString(), data, error)) {
        showMessage("Не удалось открыть журнал " + error, "Ошибка");
        return false;
    }
    const bool first = path_.isEmpty();
    path_ = path;
    data_ = std::move(data);
    chart_->fill(data_);
    // The curves hold every value now; a month of readings kept twice would cost 35 MB more.
    data_.values.clear();
    data_.values.shrink_to_fit();
    for (int c = 1; c <= kLogChannels; ++c) {
        QCheckBox* check = checks_[std::size_t(c - 1)];
        check->setEnabled(chart_->hasReadings(c));
        chart_->setChannelShown(c, check->isChecked());
    }
    if (first) chart_->standardView();
    setWindowTitle("Просмотр журнала — " + QFileInfo(path).fileName());
    showCounts();
    return true;
}

bool LogViewerWindow::chooseAndOpen() {
    const QString folder = textOf(ini_.readString(keys::kLogViewerFolder));
    const QString path = chooseLogToOpen(this, folder);
    if (path.isEmpty()) return false;
    ini_.writeString(keys::kLogViewerFolder, QFileInfo(path).absolutePath().toStdString());
    // A window that shows a log keeps it: another log opens beside it.
    if (!path_.isEmpty()) {
        auto* other = new LogViewerWindow(ini_, parentWidget());
        if (!other->openFile(path)) {
            other->close();
            return false;
        }
        other->show();
        return true;
    }
    return openFile(path);
}

bool LogViewerWindow::reload() {
    if (path_.isEmpty()) return false;
    return openFile(path_);
}

void LogViewerWindow::showCounts() {
    const int skipped = data_.skippedTotal();
    status_->setText(QString("%1 — строк: %2, пропущено строк: %3")
                         .arg(QFileInfo(path_).fileName())
                         .arg(data_.rows())
                         .arg(skipped));
    QString tip;
    if (skipped > 0) {
        tip = QString(
                  "Первая пропущенная строка: %1\nобрывок последней строки: %2\n"
                  "неверное число полей: %3\nнечитаемое поле: %4\nвремя назад: %5")
                  .arg(data_.firstSkippedLine)
                  .arg(data_.skippedCount(LogSkip::TornLine))
                  .arg(data_.skippedCount(LogSkip::FieldCount))
                  .arg(data_.skippedCount(LogSkip::BadField))
                  .arg(data_.skippedCount(LogSkip::TimeBackwards));
    }
    status_->setToolTip(tip);
}

bool LogViewerWindow::exportImage() {
    return exportChartImage(this, *plot_);
}

bool LogViewerWindow::exportCsv() {
    const QString path = chooseCsvExport(this);
    if (path.isEmpty()) return false;
    std::vector<int> channels;
    for (int c = 1; c <= kLogChannels; ++c) {
        if (checks_[std::size_t(c - 1)]->isChecked() && chart_->hasReadings(c))
            channels.push_back(c);
    }
    // The values come from the file again (the window keeps them in its curves only); the rows
    // are those of the visible time range.
    LogData log;
    std::string error;
    if (!readLogFile(path_.toStdString(), log, error)) {
        showMessage("Не удалось открыть журнал " + error, "Ошибка");
        return false;
    }
    const Axis& bottom = *plot_->bottomAxis();
    if (!writeLogCsv(path.toStdString(), log, bottom.min(), bottom.max(), channels, error)) {
        showMessage("Ошибка записи файла " + error, "Ошибка");
        return false;
    }
    return true;
}

int runLogViewer(const QString& path) {
    MemIni ini("mem.ini");
    const std::string folder = ini.readString(keys::kLogViewerFolder);
    auto* window = new LogViewerWindow(ini);
    if (!window->openFile(path)) {
        delete window;
        return 1;
    }
    window->show();
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
