#include "windows/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QShortcut>
#include <QShowEvent>
#include <QTimer>

#include "chart/chart_slots.h"
#include "config/channel_name.h"
#include "core/alarm_center.h"
#include "core/cabinet_host.h"
#include "core/poll_interval.h"
#include "core/shown_text.h"
#include "link/message_sink.h"
#include "link/module_map.h"
#include "link/traffic_format.h"
#include "plot/date_time.h"
#include "windows/alarm_window.h"
#include "windows/cabinet_window.h"
#include "windows/channel_grid.h"
#include "windows/indicator_lamp.h"
#include "windows/module_generation_dialogs.h"
#include "windows/program_settings_dialog.h"
#include "windows/traffic_window.h"

namespace kvel {
namespace {

// The chart's time: days since 30.12.1899, local time.
double now() {
    return dateTimeFromQDateTime(QDateTime::currentDateTime());
}

// A channel's cell: raised and waiting, cleared but not acknowledged, acknowledged and lasting.
const QColor kAlarmRaisedColor(255, 110, 110);
const QColor kAlarmClearedColor(255, 220, 110);
const QColor kAlarmAcknowledgedColor(255, 190, 190);

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    buildLayout();
    initialize();
}

MainWindow::~MainWindow() {
    chartPanel_->detachMarkers();  // they go before the panel
}

void MainWindow::initialize() {
    startupDirectory_ = QDir::currentPath().toStdString();
    ini_ = std::make_unique<MemIni>("mem.ini");
    session_ = std::make_unique<MonitorSession>(*ini_, startupDirectory_);
    connect(session_.get(), &MonitorSession::pollFinished, this, &MainWindow::showPollResult);
    // A period the settings dialog would refuse never polls; the status bar says why until a
    // good period is set.
    connect(session_.get(), &MonitorSession::pollRefused, this,
            [this](const std::string& status) { setStatusText(0, status); });
    connect(session_.get(), &MonitorSession::pollResumed, this, [this] { setStatusText(0, ""); });
    chart_ = std::make_unique<TrendChart>(*trendPlot_, lines_, *ini_);
    chart_->stylePlot();
    alarms_ = std::make_unique<AlarmCenter>(*ini_);
    connect(alarms_.get(), &AlarmCenter::alarmsChanged, this, &MainWindow::showAlarms);
    connect(&alarms_->notifier(), &DesktopNotifier::unavailable, this,
            [this](const QString& reason) {
                notificationProblem_ = tr("Уведомления рабочего стола недоступны: ") + reason;
                showAlarms();
            });
    connect(alarmIndicator_, &QPushButton::clicked, this, &MainWindow::openAlarmWindow);

    readingsGrid_->setHeadings(tr("Канал"), tr("T, гр.С"));
    for (int n = 1; n <= kMaxChannels; ++n)
        readingsGrid_->nameCell(n)->setText(QString::fromStdString(gridChannelName(*ini_, n)));
    for (int k = 0; k < kChartSlots; ++k) {
        chartPanel_->setCurveColor(k + 1, kSlotColors[static_cast<std::size_t>(k)]);
        slotCheckBox(k + 1)->setChecked(
            ini_->readInteger(keys::kSlotChecks, "ch" + std::to_string(k)) != 0);
    }

    connect(findChild<QPushButton*>("programSettingsButton"), &QPushButton::clicked, this,
            &MainWindow::openProgramSettings);
    connect(findChild<QPushButton*>("moduleSettingsButton"), &QPushButton::clicked, this,
            &MainWindow::openModuleSettings);
    connect(cabinetButton_, &QPushButton::clicked, this, [this] {
        if (!openingModuleSettings_) cabinetWindow()->exec();
    });
    // The button stays hidden: cabinet control is reached from the keyboard.
    cabinetButton_->setToolTip(tr("Управление шкафами: Ctrl+H"));
    connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_H), this), &QShortcut::activated,
            cabinetButton_, &QPushButton::click);
    wireChart();
    auto* trafficOpeners = new TrafficOpeners(*this, *statusPanels_[0]);
    connect(trafficOpeners, &TrafficOpeners::openWanted, this, &MainWindow::openTrafficWindow);
    connect(trafficOpeners, &TrafficOpeners::toolTipWanted, this,
            [this] { statusPanels_[0]->setToolTip(linkPanelToolTip()); });
    buildToolBar();
}

void MainWindow::openTrafficWindow() {
    // A window of its own, not one of the main window's: the cabinet window, modal to the
    // main window, would block it too.
    if (!trafficWindow_)
        trafficWindow_ = std::make_unique<TrafficWindow>(session_->link().traffic());
    trafficWindow_->show();
    trafficWindow_->raise();
    trafficWindow_->activateWindow();
}

// The reason of a failed open first ("Ошибка открытия порта" alone does not say why), or why
// the poll is off, then the line's counters.
QString MainWindow::linkPanelToolTip() const {
    const int period = session_->pollPeriod();
    const std::string reason =
        pollPeriodValid(period)
            ? shownText(portOpenFailureMessage(session_->link().portOpenFailure()))
            : pollPeriodExplanation(period);
    const std::string counters =
        trafficToolTip(session_->link().traffic().counters(), translatedText);
    return QString::fromStdString(reason.empty() ? counters : reason + "\n\n" + counters);
}

ProgramSettingsDialog* MainWindow::programSettingsDialog() {
    if (!programSettings_) wireProgramSettings(new ProgramSettingsDialog(this));
    return programSettings_;
}

FirstGenModuleDialog* MainWindow::firstGenDialog() {
    if (!firstGenDialog_) {
        firstGenDialog_ = new FirstGenModuleDialog(this);
        wireModuleDialog(firstGenDialog_);
    }
    return firstGenDialog_;
}

SecondGenModuleDialog* MainWindow::secondGenDialog() {
    if (!secondGenDialog_) {
        secondGenDialog_ = new SecondGenModuleDialog(this);
        wireModuleDialog(secondGenDialog_);
    }
    return secondGenDialog_;
}

CabinetWindow* MainWindow::cabinetWindow() {
    if (!cabinetWindow_) {
        wireCabinetWindow(new CabinetWindow(this));
        cabinetWindow_->setCabinetList(ini_->readSection(keys::kCabinets));
    }
    return cabinetWindow_;
}

void MainWindow::wireProgramSettings(ProgramSettingsDialog* dialog) {
    programSettings_ = dialog;
    dialog->setStartupDirectory(startupDirectory_);
    connect(dialog, &ProgramSettingsDialog::okPressed, this, [this, dialog] {
        if (acceptProgramSettings()) dialog->done(QDialog::Accepted);
    });
    // A scan of the line has the port to itself: no poll meanwhile.
    dialog->attachLine(&session_->linkThread(), &session_->link());
    connect(dialog, &ProgramSettingsDialog::lineTaken, this,
            [this] { session_->setPollSuspended(true); });
    connect(dialog, &ProgramSettingsDialog::lineReleased, this,
            [this] { session_->setPollSuspended(false); });
}

void MainWindow::wireModuleDialog(ModuleSettingsDialog* dialog) {
    connect(dialog, &ModuleSettingsDialog::pollingWanted, this,
            [this](bool on) { session_->setPollSuspended(!on); });
}

void MainWindow::wireCabinetWindow(CabinetWindow* window) {
    cabinetWindow_ = window;
    window->setCabinetHost(&session_->cabinet());
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        startMonitoring();
    }
}

void MainWindow::startMonitoring() {
    // Said once: the note goes from mem.ini with this session's settings.
    if (const std::string unwritten = ini_->readString(keys::kUnwrittenAtExit);
        !unwritten.empty()) {
        unwrittenPanel_->setText(QString::fromStdString(unwritten));
        unwrittenPanel_->setToolTip(unwrittenPanel_->text());
        unwrittenPanel_->show();
        ini_->writeString(keys::kUnwrittenAtExit, "");
    }
    std::vector<std::string> problems;
    alarms_->loadRules(&problems);
    showAlarms();
    if (!problems.empty()) {
        std::string list;
        for (const std::string& p : problems) list += "\n" + p;
        showMessage(tr("Неверные значения в разделе [alarms] файла mem.ini не действуют:%1")
                        .arg(QString::fromStdString(list))
                        .toStdString(),
                    "Ошибка");
    }
    applyChartSettings();
    applyAxisScaling();
    chart_->clearSeries();
    chart_->setTimeWindow(now());
    chartUpdatingCheck_->setChecked(ini_->readInteger(keys::kChartUpdating) != 0);
    if (cabinetWindow_) cabinetWindow_->setCabinetList(ini_->readSection(keys::kCabinets));
    applyChartSettings();  // hides every slot and assigns the channels once more
    startPublishing();
    session_->startPolling();
}

void MainWindow::startPublishing() {
    std::string error;
    const std::optional<PublishSettings> settings = readPublishSettings(*ini_, {}, error);
    if (!settings) {
        publishing_.stop();
        showMessage(
            tr("Неверное значение в разделе [publish] файла mem.ini, публикация выключена: %1")
                .arg(QString::fromStdString(error))
                .toStdString(),
            "Ошибка");
        return;
    }
    if (!settings->any()) {
        publishing_.stop();
        return;
    }
    if (!publishing_.start(*settings, error)) {
        showMessage(tr("Публикация показаний: %1").arg(QString::fromStdString(error)).toStdString(),
                    "Ошибка");
    }
}

void MainWindow::applyChartSettings() {
    session_->setPollPeriod(ini_->readInteger(keys::kPollPeriod));
    chart_->applyAxisBinding();
    for (int k = 0; k < kChartSlots; ++k) {
        slotColorBox(k + 1)->hide();
        slotCheckBox(k + 1)->hide();
        lines_[static_cast<std::size_t>(k)]->setActive(false);
    }
    const std::array<int, kChartSlots> assigned =
        assignSlots(*ini_, session_->link().channelCount());
    for (int k = 0; k < kChartSlots; ++k) {
        const int channel = assigned[static_cast<std::size_t>(k)];
        if (channel == 0) break;
        QCheckBox* check = slotCheckBox(k + 1);
        check->setText(QString::fromStdString(slotCaption(*ini_, channel)));
        slotColorBox(k + 1)->show();
        check->show();
        if (check->isChecked()) lines_[static_cast<std::size_t>(k)]->setActive(true);
    }
}

void MainWindow::applyAxisScaling() {
    chart_->applyAxisScaling();
}

void MainWindow::applyTimeWindow() {
    chart_->applyTimeWindow(now());
}

void MainWindow::addChartPoints(const ReadTransaction& record) {
    chart_->addChartPoints(record, session_->link().channelCount(), now());
}

void MainWindow::openModuleSettings() {
    session_->pollTimer()->stop();
    if (openingModuleSettings_) return;
    openingModuleSettings_ = true;
    session_->setPollSuspended(true);
    setCursor(Qt::WaitCursor);
    // Behind a poll under way: the dialog is the one of the generation that poll found.
    session_->linkThread().post({}, [this] { loadModuleSettings(); });
}

void MainWindow::loadModuleSettings() {
    const ModuleLink& link = session_->link();
    ModuleSettingsDialog* dialog = isFirstGeneration(link.typeCode())
                                       ? static_cast<ModuleSettingsDialog*>(firstGenDialog())
                                       : static_cast<ModuleSettingsDialog*>(secondGenDialog());
    dialog->attach(&session_->moduleSettings(), &session_->linkThread());
    dialog->setChannelCount(link.channelCount());
    connect(
        dialog, &ModuleSettingsDialog::loaded, this,
        [this, dialog](const Messages& messages) {
            unsetCursor();
            // The window closing, or another modal window on top (a box of the program's own):
            // this dialog would open over it, so its load is dropped.
            if (closed_ || QApplication::activeModalWidget() != nullptr) {
                showMessages(messages);
            } else {
                // What the load has to say comes over the dialog as soon as it is up: a read
                // that failed says so while its fields show "--".
                QTimer::singleShot(0, dialog, [messages] { showMessages(messages); });
                dialog->exec();
            }
            endModuleSettings();
        },
        Qt::SingleShotConnection);
    dialog->load();
}

void MainWindow::endModuleSettings() {
    unsetCursor();
    openingModuleSettings_ = false;
    session_->setPollSuspended(false);
}

void MainWindow::pollModule() {
    session_->pollModule();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    finishSession();
    QMainWindow::closeEvent(event);
}

void MainWindow::finishSession() {
    if (closed_) return;
    closed_ = true;
    session_->stopPolling();
    // A cabinet window still open ends its test cycle; a running command pulse is ended
    // while the port is still open.
    if (cabinetWindow_) cabinetWindow_->close();
    // A window of its own, it would keep the program running.
    if (trafficWindow_) trafficWindow_->close();
    if (alarmWindow_) alarmWindow_->close();
    // The exchange under way ends with its transaction, cut short; what waits is of no use now;
    // a running command pulse is ended while the port is still open.
    session_->finish();
    // The broker is told `offline`.
    publishing_.stop();
    ini_->writeInteger(keys::kChartUpdating, chartUpdatingCheck_->isChecked() ? 1 : 0);
    for (int k = 0; k < kChartSlots; ++k) {
        ini_->writeInteger(keys::kSlotChecks, "ch" + std::to_string(k),
                           slotCheckBox(k + 1)->isChecked() ? 1 : 0);
    }
    // The settings could not be saved: say so rather than lose them silently.
    if (!ini_->updateFile()) showMessage(shownText(ini_->lastFailure()), "Ошибка");
}

QString MainWindow::statusPanel(int panel) const {
    return statusPanels_[static_cast<std::size_t>(panel)]->text();
}

QString MainWindow::statusToolTip(int panel) const {
    return statusPanels_[static_cast<std::size_t>(panel)]->toolTip();
}

void MainWindow::setStatusText(int panel, const std::string& text) {
    // The poll's texts come in Russian; those marked for the translation show translated.
    showStatus(panel, QCoreApplication::translate("KvelView", text.c_str()));
}

void MainWindow::showStatus(int panel, const QString& text) {
    statusPanels_[static_cast<std::size_t>(panel)]->setText(text);
    // "Ошибка открытия порта" alone does not say why: the tool tip gives the system's reason.
    if (panel == 0) statusPanels_[0]->setToolTip(linkPanelToolTip());
}

void MainWindow::setLinkIndicator(bool on) {
    linkIndicator_->setOn(on);
}

void MainWindow::setChannelText(int channel, const std::string& text) {
    if (QTableWidgetItem* cell = readingsGrid_->readingCell(channel))
        cell->setText(QString::fromStdString(text));
}

void MainWindow::setRelay(int relayIndex, bool on) {
    relayIndicators_[static_cast<std::size_t>(relayIndex)]->setOn(on);
}

void MainWindow::showPollResult(const PollResult& result) {
    if (result.softwareVersion) {
        showStatus(
            1,
            QCoreApplication::translate("KvelView", kVersionStatus).arg(*result.softwareVersion));
    }
    for (std::size_t k = 0; k < result.channelTexts.size(); ++k) {
        setChannelText(static_cast<int>(k) + 1, result.channelTexts[k]);
    }
    if (result.measurements && chartUpdating()) addChartPoints(*result.measurements);
    if (result.linkFailure.failed()) {
        showStatus(0, linkFailureMessage(result.linkFailure));
    } else {
        setStatusText(0, result.linkStatus);
    }
    setLinkIndicator(result.linkUp);
    for (int i = 0; i < kRelayCount; ++i) setRelay(i, result.relays[static_cast<std::size_t>(i)]);
    if (closed_) return;
    alarms_->evaluate(result.readings);
    publishing_.publish(pollSnapshot(result, *ini_));
}

void MainWindow::showAlarms() {
    const AlarmMonitor& monitor = alarms_->monitor();
    for (int n = 1; n <= kMaxChannels; ++n) {
        QTableWidgetItem* cell = readingsGrid_->readingCell(n);
        switch (monitor.channelState(n)) {
            case ChannelAlarmState::None:
                cell->setBackground(QBrush());
                break;
            case ChannelAlarmState::Acknowledged:
                cell->setBackground(kAlarmAcknowledgedColor);
                break;
            case ChannelAlarmState::ClearedUnacknowledged:
                cell->setBackground(kAlarmClearedColor);
                break;
            case ChannelAlarmState::Raised:
                cell->setBackground(kAlarmRaisedColor);
                break;
        }
    }
    const int waiting = monitor.unacknowledgedCount();
    const int listed = static_cast<int>(monitor.alarms().size());
    alarmIndicator_->setText(waiting > 0  ? tr("Тревоги: ") + QString::number(waiting)
                             : listed > 0 ? tr("Тревоги квитированы")
                                          : tr("Тревог нет"));
    // A flat button draws no background of its own: the style sheet gives it one.
    alarmIndicator_->setStyleSheet(waiting > 0 ? "QPushButton { color: white; background-color: "
                                                 "#c00000; border: none; padding: 1px 8px; }"
                                               : "QPushButton { border: none; padding: 1px 8px; }");
    QString tip = tr("Сигнализация (Ctrl+L)");
    if (!notificationProblem_.isEmpty()) tip += "\n" + notificationProblem_;
    alarmIndicator_->setToolTip(tip);
}

AlarmWindow* MainWindow::openAlarmWindow() {
    if (!alarmWindow_) alarmWindow_ = new AlarmWindow(*alarms_, this);
    alarmWindow_->show();
    alarmWindow_->raise();
    alarmWindow_->activateWindow();
    return alarmWindow_;
}

bool MainWindow::chartUpdating() const {
    return chartUpdatingCheck_->isChecked();
}

}  // namespace kvel
