#include "dialogs/module_dialog.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QVBoxLayout>

#include "dialogs/busy_scope.h"
#include "dialogs/dialog_controls.h"
#include "link/message_sink.h"
#include "monitor/module_settings.h"

namespace kvel {
namespace {

constexpr int kCoeffColumn = 2;
constexpr int kCoeffButtonPauseMs = 200;
constexpr char kOk[] = "\u041E\u041A";  // "ОК" in Cyrillic letters

}  // namespace

TModuleDialog::TModuleDialog(const char* name, QWidget* parent) : QDialog(parent) {
    setObjectName(name);
    setWindowTitle("Настройки модуля");
    // A fixed frame with only the system menu: closing is the only way out.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(1200, 650);
    setModal(true);
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);

    grid1_ = Named(new QTableWidget(this), "StringGrid1");
    grid1_->setToolTip("Наименование датчиков и их коэффициенты теплоизлучения");
    grid1_->horizontalHeader()->hide();
    grid1_->verticalHeader()->hide();
    grid1_->verticalHeader()->setDefaultSectionSize(20);
    grid1_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    RebuildChannelTable(0);  // the columns exist before their widths are set
    grid1_->setColumnWidth(0, 64);
    grid1_->setColumnWidth(1, 365);
    grid1_->setColumnWidth(2, 105);

    saveCoeffs_ =
        Named(new QPushButton("Записать коэффициенты в модуль", this), "ButtonSaveCoeffs");
    saveRelays_ =
        Named(new QPushButton("Записать настройки реле в модуль", this), "ButtonSaveRelays");
    saveConnect_ =
        Named(new QPushButton("Записать параметры связи в модуль", this), "ButtonSaveConnect");
    applyToAll_ = Named(new QPushButton("Применить ко всем", this), "ButtonApplyToAll");
    editCoeff_ = Named(new QLineEdit("0.9", this), "EditCoeff");
    QFont larger = editCoeff_->font();
    larger.setPixelSize(13);
    editCoeff_->setFont(larger);
    editCoeff_->setMaximumWidth(80);

    panel1_ = Named(new QLabel(this), "Panel1");
    panel1_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel1_->setLineWidth(2);
    panel1_->setAlignment(Qt::AlignCenter);
    panel1_->setWordWrap(true);
    panel1_->setAutoFillBackground(true);
    QPalette palette = panel1_->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    panel1_->setPalette(palette);
    panel1_->setGeometry((1200 - 329) / 2, (650 - 121) / 2, 329, 121);
    panel1_->hide();

    // No default button: Enter in an edit box must not press a write button.
    for (QPushButton* button : {saveCoeffs_, saveRelays_, saveConnect_, applyToAll_}) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(saveCoeffs_, &QPushButton::clicked, this, [this] { ButtonSaveCoeffsClick(); });
    connect(saveRelays_, &QPushButton::clicked, this, [this] { ButtonSaveRelaysClick(); });
    connect(saveConnect_, &QPushButton::clicked, this, [this] { ButtonSaveConnectClick(); });
    connect(applyToAll_, &QPushButton::clicked, this, [this] { ButtonApplyToAllClick(); });
}

void TModuleDialog::Attach(TModuleSettings* settings, PollSwitch poll) {
    settings_ = settings;
    poll_ = std::move(poll);
}

QGroupBox* TModuleDialog::BuildSensorsGroup(const char* caption) {
    auto* sensors = Named(new QGroupBox(caption, this), "GroupBoxSensors");
    auto* layout = new QVBoxLayout(sensors);
    grid1_->setParent(sensors);
    layout->addWidget(grid1_);
    return sensors;
}

void TModuleDialog::RebuildChannelTable(int channels) {
    channels_ = channels;
    SetUpGrid(grid1_, {"Канал", "Наименование канала", "Коэффициент"}, channels);
}

TChannelTable TModuleDialog::ChannelTable() const {
    return TChannelTable{Column(grid1_, 1), Column(grid1_, kCoeffColumn)};
}

void TModuleDialog::SetChannelTable(const TChannelTable& table) {
    SetColumn(grid1_, 1, table.names);
    SetColumn(grid1_, kCoeffColumn, table.coeffs);
}

void TModuleDialog::LoadChannelTable() {
    if (settings_ == nullptr) return;
    TChannelTable table = ChannelTable();
    settings_->LoadChannelTable(table);
    SetChannelTable(table);
}

void TModuleDialog::ButtonApplyToAllClick() {
    // Copied as typed: the coefficient button checks the cells when it is pressed.
    for (int n = 1; n <= channels_; ++n) SetCell(grid1_, n, kCoeffColumn, editCoeff_->text());
}

void TModuleDialog::ButtonSaveCoeffsClick() {
    RunWrite(
        "Запись коэффициентов в модуль...", true,
        [this] { return settings_->WriteCoeffs(ChannelTable()); }, "Коэффициенты записаны успешно");
}

void TModuleDialog::RunRelayWrite(const std::function<bool()>& write) {
    RunWrite("Запись настроек реле в модуль...", false, write, "Параметры реле записаны успешно");
}

void TModuleDialog::RunLinkWrite(const std::function<bool()>& write) {
    RunWrite("Запись параметров связи в модуль...", false, write,
             "Параметры связи записаны успешно");
}

void TModuleDialog::RunWrite(const char* progress, bool coefficients,
                             const std::function<bool()>& operation, const char* success) {
    if (settings_ == nullptr) return;
    if (poll_) poll_(false);
    panel1_->setText(progress);
    panel1_->show();
    panel1_->raise();
    const QList<QPushButton*> buttons = {saveCoeffs_, saveRelays_, saveConnect_, applyToAll_};
    for (QPushButton* button : buttons) button->setEnabled(false);
    QCoreApplication::processEvents();
    bool done = false;
    {
        TBusyScope busy([this] { panel1_->hide(); });
        if (coefficients) LinePause(kCoeffButtonPauseMs);
        done = operation();
    }
    if (done) ShowMessage(success, kOk);
    for (QPushButton* button : buttons) button->setEnabled(true);
    panel1_->hide();
    if (poll_) poll_(true);
}

}  // namespace kvel
