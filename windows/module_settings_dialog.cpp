#include "windows/module_settings_dialog.h"

#include <QHeaderView>
#include <QPointer>
#include <QVBoxLayout>
#include <memory>

#include "core/link_thread.h"
#include "core/module_settings.h"
#include "link/message_sink.h"
#include "windows/dialog_controls.h"

namespace kvel {
namespace {

constexpr int kCoeffColumn = 2;
constexpr int kCoeffButtonPauseMs = 200;
// "ОК" in Cyrillic letters; the message sink shows it in the language of the windows.
constexpr char kOk[] = QT_TRANSLATE_NOOP("KvelView", "ОК");

}  // namespace

ModuleSettingsDialog::ModuleSettingsDialog(const char* name, QWidget* parent) : QDialog(parent) {
    setObjectName(name);
    setWindowTitle(tr("Настройки модуля"));
    // A fixed frame with only the system menu: closing is the only way out.
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(1200, 650);
    setModal(true);
    QFont font = this->font();
    font.setPixelSize(11);
    setFont(font);

    channelTable_ = named(new QTableWidget(this), "channelTable");
    channelTable_->setToolTip(tr("Наименование датчиков и их коэффициенты теплоизлучения"));
    channelTable_->horizontalHeader()->hide();
    channelTable_->verticalHeader()->hide();
    channelTable_->verticalHeader()->setDefaultSectionSize(20);
    channelTable_->setEditTriggers(QAbstractItemView::AllEditTriggers);
    rebuildChannelTable(0);  // the columns exist before their widths are set
    channelTable_->setColumnWidth(0, 64);
    channelTable_->setColumnWidth(1, 365);
    channelTable_->setColumnWidth(2, 105);

    writeCoefficientsButton_ = named(new QPushButton(tr("Записать коэффициенты в модуль"), this),
                                     "writeCoefficientsButton");
    writeRelaysButton_ =
        named(new QPushButton(tr("Записать настройки реле в модуль"), this), "writeRelaysButton");
    writeLinkButton_ =
        named(new QPushButton(tr("Записать параметры связи в модуль"), this), "writeLinkButton");
    applyToAllButton_ = named(new QPushButton(tr("Применить ко всем"), this), "applyToAllButton");
    coefficientForAll_ = named(new QLineEdit("0.9", this), "coefficientForAllEdit");
    QFont larger = coefficientForAll_->font();
    larger.setPixelSize(13);
    coefficientForAll_->setFont(larger);
    coefficientForAll_->setMaximumWidth(80);

    progressPanel_ = named(new QLabel(this), "progressPanel");
    progressPanel_->setFrameStyle(QFrame::Panel | QFrame::Raised);
    progressPanel_->setLineWidth(2);
    progressPanel_->setAlignment(Qt::AlignCenter);
    progressPanel_->setWordWrap(true);
    progressPanel_->setAutoFillBackground(true);
    QPalette palette = progressPanel_->palette();
    palette.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    progressPanel_->setPalette(palette);
    progressPanel_->setGeometry((1200 - 329) / 2, (650 - 121) / 2, 329, 121);
    progressPanel_->hide();

    // No default button: Enter in an edit box must not press a write button.
    for (QPushButton* button : buttons()) {
        button->setAutoDefault(false);
        button->setDefault(false);
    }

    connect(writeCoefficientsButton_, &QPushButton::clicked, this, [this] { writeCoefficients(); });
    connect(writeRelaysButton_, &QPushButton::clicked, this, [this] { writeRelaySettings(); });
    connect(writeLinkButton_, &QPushButton::clicked, this, [this] { writeLinkSettings(); });
    connect(applyToAllButton_, &QPushButton::clicked, this, [this] { applyCoefficientToAll(); });
}

void ModuleSettingsDialog::attach(ModuleSettings* settings, LinkThread* thread) {
    settings_ = settings;
    thread_ = thread;
}

QGroupBox* ModuleSettingsDialog::buildSensorsGroup(const QString& caption) {
    auto* sensors = named(new QGroupBox(caption, this), "sensorsGroup");
    auto* layout = new QVBoxLayout(sensors);
    channelTable_->setParent(sensors);
    layout->addWidget(channelTable_);
    return sensors;
}

void ModuleSettingsDialog::rebuildChannelTable(int channels) {
    channels_ = channels;
    setUpGrid(channelTable_, {tr("Канал"), tr("Наименование канала"), tr("Коэффициент")}, channels);
}

ChannelTable ModuleSettingsDialog::channelTable() const {
    return ChannelTable{columnTexts(channelTable_, 1), columnTexts(channelTable_, kCoeffColumn)};
}

void ModuleSettingsDialog::setChannelTable(const ChannelTable& table) {
    setColumnTexts(channelTable_, 1, table.names);
    setColumnTexts(channelTable_, kCoeffColumn, table.coeffs);
}

void ModuleSettingsDialog::runLoad(std::function<void(ModuleSettings&)> read,
                                   std::function<void()> show) {
    if (settings_ == nullptr || thread_ == nullptr) {
        emit loaded({});
        return;
    }
    auto table = std::make_shared<ChannelTable>(channelTable());
    thread_->post<Messages>(
        [settings = settings_, read = std::move(read), table] {
            read(*settings);
            settings->loadChannelTable(*table);
            return settings->takeMessages();
        },
        [self = QPointer<ModuleSettingsDialog>(this), show = std::move(show),
         table](Messages& messages) {
            if (!self) {
                showMessages(messages);
                return;
            }
            show();
            self->setChannelTable(*table);
            emit self->loaded(messages);
        });
}

void ModuleSettingsDialog::applyCoefficientToAll() {
    // Copied as typed: the coefficient button checks the cells when it is pressed.
    for (int n = 1; n <= channels_; ++n)
        setCell(channelTable_, n, kCoeffColumn, coefficientForAll_->text());
}

void ModuleSettingsDialog::writeCoefficients() {
    runWrite(
        tr("Запись коэффициентов в модуль..."), true,
        [table = channelTable()](ModuleSettings& settings) { return settings.writeCoeffs(table); },
        tr("Коэффициенты записаны успешно"));
}

void ModuleSettingsDialog::runRelayWrite(Operation write) {
    runWrite(tr("Запись настроек реле в модуль..."), false, std::move(write),
             tr("Параметры реле записаны успешно"));
}

void ModuleSettingsDialog::runLinkWrite(Operation write) {
    runWrite(tr("Запись параметров связи в модуль..."), false, std::move(write),
             tr("Параметры связи записаны успешно"));
}

void ModuleSettingsDialog::runWrite(const QString& progress, bool coefficients, Operation operation,
                                    const QString& success) {
    if (settings_ == nullptr || thread_ == nullptr || writing_) return;
    writing_ = true;
    emit pollingWanted(false);
    progressPanel_->setText(progress);
    progressPanel_->show();
    progressPanel_->raise();
    for (QPushButton* button : buttons()) button->setEnabled(false);
    // Busy is this dialog only: the main window's read-outs and the chart go on.
    setCursor(Qt::WaitCursor);
    thread_->post<Messages>(
        [settings = settings_, coefficients, operation = std::move(operation),
         success = success.toStdString()] {
            if (coefficients) settings->link().pause(kCoeffButtonPauseMs);
            const bool written = operation(*settings);
            Messages messages = settings->takeMessages();
            if (written) messages.push_back({success, kOk});
            return messages;
        },
        // Its boxes follow, with the panel gone and the buttons back.
        [self = QPointer<ModuleSettingsDialog>(this)](Messages& messages) {
            if (self) self->endWrite();
            showMessages(messages);
        });
}

void ModuleSettingsDialog::reject() {
    if (!writing_) QDialog::reject();
}

void ModuleSettingsDialog::endWrite() {
    unsetCursor();
    progressPanel_->hide();
    for (QPushButton* button : buttons()) button->setEnabled(true);
    writing_ = false;
    emit pollingWanted(true);
}

}  // namespace kvel
