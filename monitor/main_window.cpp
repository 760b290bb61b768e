#include "monitor/main_window.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QShowEvent>
#include <clocale>

#include "cabinet/host_window.h"
#include "chart/chart_slots.h"
#include "dialogs/module_settings_dialog.h"
#include "dialogs/settings_dialog.h"
#include "link/message_sink.h"
#include "link/module_map.h"
#include "link/traffic_format.h"
#include "monitor/traffic_window.h"
#include "config/channel_name.h"
#include "monitor/indicator_images.h"
#include "plot/date_time.h"

namespace kvel {
namespace {

// The chart's time: days since 30.12.1899, local time.
double Now() {
    return DateTimeFromQDateTime(QDateTime::currentDateTime());
}

}  // namespace

TForm1::TForm1(QWidget* parent) : QMainWindow(parent) {
    BuildLayout();
    // Every number the program formats or parses uses "." whatever the regional settings.
    std::setlocale(LC_NUMERIC, "C");
    QLocale::setDefault(QLocale::c());
    imageList2_ = MakeImageList();
    FormCreate();
}

TForm1::~TForm1() {
    // The series go before the plot; each tells the plot it is leaving.
    for (Tsp_XYLine*& line : lines_) {
        delete line;
        line = nullptr;
    }
}

void TForm1::FormCreate() {
    startupDirectory_ = QDir::currentPath().toStdString();
    ini_ = std::make_unique<TMemIni>("mem.ini");
    poll_ = std::make_unique<TPollCycle>(link_, *ini_, *this, startupDirectory_);
    chart_ = std::make_unique<TTrendChart>(*plot_, lines_, *ini_);
    chart_->StylePlot();
    link_.SetStatusSink([this](const std::string& text) { SetStatusText(0, text); });

    grid_->item(0, 0)->setText("Канал");
    grid_->item(0, 1)->setText("T, гр.С");
    grid_->setRowCount(kMaxChannels + 1);
    for (int n = 1; n <= kMaxChannels; ++n) {
        grid_->item(n, 0)->setText(QString::fromStdString(GridChannelName(*ini_, n)));
    }
    for (int k = 0; k < kChartSlots; ++k) {
        const QColor color = ToQColor(kSlotColors[static_cast<std::size_t>(k)]);
        QPalette palette = colors_[static_cast<std::size_t>(k)]->palette();
        palette.setColor(QPalette::Window, color);
        colors_[static_cast<std::size_t>(k)]->setPalette(palette);
        for (QLabel* label : {valueLabels_[static_cast<std::size_t>(2 * k)],
                              valueLabels_[static_cast<std::size_t>(2 * k + 1)]}) {
            QPalette labelPalette = label->palette();
            labelPalette.setColor(QPalette::WindowText, color);
            label->setPalette(labelPalette);
        }
        checks_[static_cast<std::size_t>(k)]->setChecked(
            ini_->ReadInteger("checkbox", "ch" + std::to_string(k), 1) != 0);
        connect(checks_[static_cast<std::size_t>(k)], &QCheckBox::clicked, this, [this] {
            for (int s = 0; s < kChartSlots; ++s) {
                lines_[static_cast<std::size_t>(s)]->SetActive(
                    checks_[static_cast<std::size_t>(s)]->isChecked());
            }
        });
    }
    for (QLabel* relay : relays_) SetIndicator(relay, false);
    SetIndicator(image3_, false);

    connect(timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(findChild<QPushButton*>("ButtonShowSettings"), &QPushButton::clicked, this, [this] {
        if (form2_) form2_->exec();
    });
    connect(findChild<QPushButton*>("ButtonKvelSettings"), &QPushButton::clicked, this, [this] {
        QDialog* dialog = IsFirstGeneration(link_.TypeCode()) ? static_cast<QDialog*>(module_)
                                                              : static_cast<QDialog*>(moduleNew_);
        if (dialog) dialog->exec();
    });
    connect(buttonHost_, &QPushButton::clicked, this, [this] {
        if (formHost_) formHost_->exec();
    });
    plot_->OnDrawEnd = [this](Tsp_XYPlot*) { PlaceMarkerHandles(); };
    InstallTrafficOpeners(
        *this, *statusPanels_[0], [this] { OpenTrafficWindow(); },
        [this] { return LinkPanelToolTip(); });
}

void TForm1::OpenTrafficWindow() {
    if (!trafficWindow_) trafficWindow_ = std::make_unique<TTrafficWindow>(link_.Traffic(), this);
    trafficWindow_->show();
    trafficWindow_->raise();
    trafficWindow_->activateWindow();
}

QString TForm1::LinkPanelToolTip() const {
    return QString::fromStdString(TrafficToolTip(link_.Traffic().Counters()));
}

void TForm1::SetSecondaryWindows(TForm2* settings, TFormDisplaySelectDlgNew* moduleNew,
                                 TFormHost* host, TFormDisplaySelectDlg* module) {
    form2_ = settings;
    moduleNew_ = moduleNew;
    formHost_ = host;
    module_ = module;
}

void TForm1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        FormShow();
    }
}

void TForm1::FormShow() {
    ApplyChartSettings();
    ApplyAxisScaling();
    chart_->ClearSeries();
    chart_->SetTimeWindow(Now());
    checkUpdate_->setChecked(ini_->ReadInteger("diag", "update", 0) != 0);
    if (formHost_) formHost_->SetCabinetList(ini_->ReadSection("panels"));
    ApplyChartSettings();  // hides every slot and assigns the channels once more
    StartTimer1();
}

void TForm1::ApplyChartSettings() {
    timer1_->setInterval(ini_->ReadInteger("measure", "period", 5) * 1000);
    chart_->ApplyAxisBinding();
    for (int k = 0; k < kChartSlots; ++k) {
        colors_[static_cast<std::size_t>(k)]->hide();
        checks_[static_cast<std::size_t>(k)]->hide();
        lines_[static_cast<std::size_t>(k)]->SetActive(false);
    }
    const std::array<int, kChartSlots> assigned = AssignSlots(*ini_, link_.ChannelCount());
    for (int k = 0; k < kChartSlots; ++k) {
        const int channel = assigned[static_cast<std::size_t>(k)];
        if (channel == 0) break;
        QCheckBox* check = checks_[static_cast<std::size_t>(k)];
        check->setText(QString::fromStdString(SlotCaption(*ini_, channel)));
        colors_[static_cast<std::size_t>(k)]->show();
        check->show();
        if (check->isChecked()) lines_[static_cast<std::size_t>(k)]->SetActive(true);
    }
}

void TForm1::ApplyAxisScaling() {
    chart_->ApplyAxisScaling();
}

void TForm1::AddChartPoints(const TReadTransaction& record) {
    chart_->AddChartPoints(record, link_.ChannelCount(), Now());
}

void TForm1::StartTimer1() {
    // A zero or negative period never polls (a zero-interval timer would fire continuously).
    if (timer1_->interval() > 0) timer1_->start();
}

void TForm1::Timer1Timer() {
    timer1_->stop();
    if (closed_) return;
    poll_->Poll();
    if (!closed_) StartTimer1();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    QMainWindow::closeEvent(event);
}

void TForm1::FormClose() {
    if (closed_) return;
    closed_ = true;
    timer1_->stop();
    link_.ClosePort();
    ini_->WriteInteger("diag", "update", checkUpdate_->isChecked() ? 1 : 0);
    bool flushed = ini_->UpdateFile();
    for (int k = 0; k < kChartSlots; ++k) {
        ini_->WriteInteger("checkbox", "ch" + std::to_string(k),
                           checks_[static_cast<std::size_t>(k)]->isChecked() ? 1 : 0);
    }
    flushed = ini_->UpdateFile() && flushed;
    // The settings could not be saved: say so rather than lose them silently.
    if (!flushed) ShowMessage(ini_->LastError(), "Ошибка");
}

void TForm1::PlaceMarkerHandles() {
    if (handlesPlaced_) return;
    handlesPlaced_ = true;
    const TRect field = plot_->FieldRect();
    for (QLabel* handle : {panel6_, panel7_}) handle->setFixedSize(12, 12);
    panel6_->move(field.Left - panel6_->width() / 2, 0);
    panel7_->move(field.Right - panel7_->width() / 2 - 1, 0);
}

QString TForm1::StatusPanel(int panel) const {
    return statusPanels_[static_cast<std::size_t>(panel)]->text();
}

bool TForm1::IndicatorOn(const QLabel* indicator) {
    return indicator->property("on").toBool();
}

void TForm1::SetIndicator(QLabel* indicator, bool on) {
    indicator->setPixmap(imageList2_[static_cast<std::size_t>(on ? kImageOn : kImageOff)]);
    indicator->setProperty("on", on);
}

void TForm1::SetStatusText(int panel, const std::string& text) {
    statusPanels_[static_cast<std::size_t>(panel)]->setText(QString::fromStdString(text));
}

void TForm1::SetLinkIndicator(bool on) {
    SetIndicator(image3_, on);
}

void TForm1::SetChannelText(int channel, const std::string& text) {
    if (channel >= 1 && channel < grid_->rowCount()) {
        grid_->item(channel, 1)->setText(QString::fromStdString(text));
    }
}

void TForm1::SetRelay(int relayIndex, bool on) {
    SetIndicator(relays_[static_cast<std::size_t>(relayIndex)], on);
}

bool TForm1::ChartUpdating() const {
    return checkUpdate_->isChecked();
}

}  // namespace kvel
