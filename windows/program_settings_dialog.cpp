#include "windows/program_settings_dialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <utility>

#include "core/line_scan.h"
#include "core/link_thread.h"
#include "core/port_list.h"
#include "link/message_sink.h"
#include "link/module_link.h"
#include "windows/file_choosers.h"
#include "windows/named.h"
#include "windows/scan_dialog.h"

namespace kvel {
namespace {

// A binding cell shows its axis in the language of the windows; the form holds it as written.
QString shownAxis(const std::string& axis) {
    return QCoreApplication::translate("KvelView", axis.c_str());
}

std::string axisOfCell(const QString& text) {
    for (const char* axis : {kAxisLeft, kAxisRight}) {
        if (text == shownAxis(axis)) return axis;
    }
    return text.toStdString();
}

QLineEdit* makeEdit(const char* name, QWidget* parent) {
    auto* edit = named(new QLineEdit(parent), name);
    edit->setMinimumWidth(60);
    return edit;
}

// A label in front of its control, which it names for the keyboard.
void addLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* control) {
    auto* label = new QLabel(caption, control->parentWidget());
    label->setBuddy(control);
    grid->addWidget(label, row, column);
    grid->addWidget(control, row, column + 1);
}

// Cells the user looks at but never edits; the heading row and column are not selectable.
QTableWidgetItem* gridItem(bool fixed) {
    auto* item = new QTableWidgetItem();
    item->setFlags(fixed ? Qt::ItemIsEnabled : (Qt::ItemIsEnabled | Qt::ItemIsSelectable));
    return item;
}

std::string textOf(const QLineEdit* edit) {
    return edit->text().toStdString();
}

}  // namespace

ProgramSettingsDialog::ProgramSettingsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName("programSettingsDialog");
    setWindowTitle(tr("Настройки программы"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setModal(true);

    auto* columns = new QHBoxLayout(this);
    columns->addWidget(buildChartGroup());
    auto* right = new QVBoxLayout();
    right->addWidget(buildFileGroup());
    right->addWidget(buildLinkGroup());
    auto* group7 =
        named(new QGroupBox(tr("Выбор каналов для диаграммы"), this), "chartChannelsGroup");
    auto* group7Layout = new QVBoxLayout(group7);
    channels_ = named(new QListWidget(group7), "chartChannelList");
    group7Layout->addWidget(channels_);
    right->addWidget(group7, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    auto* ok = named(new QPushButton(tr("ОК"), this), "okButton");
    auto* cancel = named(new QPushButton(tr("Отмена"), this), "cancelButton");
    // Enter in an edit box does not press a button: it stores nothing by accident.
    for (QPushButton* button : {ok, cancel}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    right->addLayout(buttons);
    columns->addLayout(right);
    columns->setSizeConstraint(QLayout::SetFixedSize);

    logFileDialog_ = named(new QFileDialog(this), "logFileDialog");
    logFileDialog_->setAcceptMode(QFileDialog::AcceptSave);
    logFileDialog_->setFileMode(QFileDialog::AnyFile);
    logFileDialog_->setNameFilter(tr("Текстовые файлы (*.txt)"));
    logFileDialog_->setOption(QFileDialog::DontConfirmOverwrite, false);

    connect(ok, &QPushButton::clicked, this, &ProgramSettingsDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &ProgramSettingsDialog::cancel);
    connect(axisGrid_, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int, int) { selectAxisRow(row); });
    axisGrid_->installEventFilter(this);
}

QWidget* ProgramSettingsDialog::buildChartGroup() {
    auto* group1 = named(new QGroupBox(tr("Диаграмма"), this), "chartGroup");
    auto* layout = new QVBoxLayout(group1);

    showAll_ = named(new QRadioButton(tr("Показывать все"), group1), "showAllRadio",
                     tr("Показывать всю диаграмму по оси X"));
    showPeriod_ = named(new QRadioButton(tr("Показывать окно"), group1), "showPeriodRadio",
                        tr("Показывать по оси X окно размером, установленным ниже"));
    auto* display = new QButtonGroup(group1);
    display->addButton(showAll_);
    display->addButton(showPeriod_);
    layout->addWidget(showAll_);
    layout->addWidget(showPeriod_);

    // "Размер окна [h] часов [m] минут": each unit after its box.
    auto* window = new QHBoxLayout();
    window->addWidget(new QLabel(tr("Размер окна"), group1));
    hours_ = makeEdit("windowHoursEdit", group1);
    minutes_ = makeEdit("windowMinutesEdit", group1);
    for (const auto& [edit, unit] :
         {std::pair{hours_, tr("часов")}, std::pair{minutes_, tr("минут")}}) {
        edit->setFixedWidth(60);
        auto* label = new QLabel(unit, group1);
        label->setBuddy(edit);
        window->addWidget(edit);
        window->addWidget(label);
    }
    window->addStretch();
    layout->addLayout(window);
    auto* shiftRow = new QHBoxLayout();
    shift_ = named(makeEdit("shiftEdit", group1), "shiftEdit",
                   tr("Границы по оси X сдвинутся на % от размера окна при достижении графиком "
                      "крайней правой границы поля диаграммы"));
    shift_->setFixedWidth(60);
    auto* shiftLabel = new QLabel(tr("Размер сдвига, %"), group1);
    shiftLabel->setBuddy(shift_);
    shiftRow->addWidget(shiftLabel);
    shiftRow->addWidget(shift_);
    shiftRow->addStretch();
    layout->addLayout(shiftRow);

    auto* group4 = named(new QGroupBox(tr("Оси значений"), group1), "valueAxesGroup");
    auto* axes = new QGridLayout(group4);
    scaleAuto_ =
        named(new QRadioButton(tr("Масштабировать автоматически"), group4), "scaleAutoRadio",
              tr("Масштаб по осям Y (правая и левая) устанавливается автоматически до тех "
                 "пор, пока пользователь не начнет работать с диаграммой мышью"));
    scaleManual_ = named(new QRadioButton(tr("Масштаб вручную"), group4), "scaleManualRadio",
                         tr("Масштаб по осям Y (правая и левая) устанавливается по указанным "
                            "значениям до тех пор, пока пользователь не начнет работать с "
                            "диаграммой мышью"));
    auto* scaling = new QButtonGroup(group4);
    scaling->addButton(scaleAuto_);
    scaling->addButton(scaleManual_);
    axes->addWidget(scaleAuto_, 0, 0, 1, 4);
    axes->addWidget(scaleManual_, 1, 0, 1, 4);
    axes->addWidget(new QLabel(tr("Масштабы осей"), group4), 2, 0, 1, 4);
    leftMin_ = makeEdit("leftMinEdit", group4);
    leftMax_ = makeEdit("leftMaxEdit", group4);
    rightMin_ = makeEdit("rightMinEdit", group4);
    rightMax_ = makeEdit("rightMaxEdit", group4);
    addLabelled(axes, 3, 0, tr("Левая, мин"), leftMin_);
    addLabelled(axes, 3, 2, tr("Левая, макс"), leftMax_);
    addLabelled(axes, 4, 0, tr("Правая, мин"), rightMin_);
    addLabelled(axes, 4, 2, tr("Правая, макс"), rightMax_);
    layout->addWidget(group4);

    auto* group5 = named(new QGroupBox(tr("Привязка каналов"), group1), "axisBindingGroup");
    auto* binding = new QVBoxLayout(group5);
    axisGrid_ = named(new QTableWidget(kAxisRows + 1, 2, group5), "axisGrid",
                      tr("Привязка каналов к осям диаграммы - правой или левой, для смены оси "
                         "выделенного канала нажмите Enter"));
    axisGrid_->horizontalHeader()->hide();
    axisGrid_->verticalHeader()->hide();
    axisGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    axisGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    axisGrid_->setTabKeyNavigation(false);
    axisGrid_->setWordWrap(false);
    axisGrid_->setMinimumHeight(220);
    axisGrid_->verticalHeader()->setDefaultSectionSize(22);
    axisGrid_->horizontalHeader()->setDefaultSectionSize(120);
    axisGrid_->horizontalHeader()->setStretchLastSection(true);
    const QBrush fixedColour = axisGrid_->palette().button();
    for (int r = 0; r <= kAxisRows; ++r) {
        for (int c = 0; c < 2; ++c) {
            QTableWidgetItem* item = gridItem(r == 0 || c == 0);
            if (r == 0 || c == 0) item->setBackground(fixedColour);
            axisGrid_->setItem(r, c, item);
        }
    }
    axisGrid_->setCurrentCell(1, 1);
    binding->addWidget(axisGrid_);
    auto* hint = new QLabel(tr("Смена осей - Enter"), group5);
    hint->setBuddy(axisGrid_);
    binding->addWidget(hint);
    layout->addWidget(group5, 1);
    return group1;
}

QWidget* ProgramSettingsDialog::buildFileGroup() {
    auto* group2 = named(new QGroupBox(tr("Сохранение в файл"), this), "logFileGroup");
    auto* layout = new QGridLayout(group2);
    saveToFile_ =
        named(new QCheckBox(tr("Сохранять в файл  текущие измерения"), group2), "saveToFileCheck",
              tr("Данные будут сохраняться в файл с указанными именем и путем, файл "
                 "текстового типа, разделители - знаки табуляции"));
    layout->addWidget(saveToFile_, 0, 0, 1, 3);
    file_ = makeEdit("logFileEdit", group2);
    file_->setMinimumWidth(280);
    addLabelled(layout, 1, 0, tr("Имя файла"), file_);
    auto* open = named(new QPushButton("...", group2), "chooseLogFileButton",
                       tr("Указать имя файла через диалог сохранения файла"));
    open->setAutoDefault(false);
    open->setFixedWidth(32);
    layout->addWidget(open, 1, 2);
    connect(open, &QPushButton::clicked, this, &ProgramSettingsDialog::chooseLogFile);

    auto* group3 = named(new QGroupBox(tr("Измерения"), this), "measureGroup");
    auto* measure = new QGridLayout(group3);
    rate_ = makeEdit("pollPeriodEdit", group3);
    addLabelled(measure, 0, 0, tr("Период измерения, сек"), rate_);
    auto* group4 = named(new QGroupBox(tr("Публикация показаний"), this), "publishGroup");
    auto* publish = new QGridLayout(group4);
    publishMqtt_ = makeEdit("publishMqttEdit", group4);
    publishMqtt_->setToolTip(tr("Брокер MQTT, узел:порт; пусто - не публиковать"));
    addLabelled(publish, 0, 0, tr("Брокер MQTT"), publishMqtt_);
    publishName_ = makeEdit("publishNameEdit", group4);
    publishName_->setToolTip(tr("Имя в темах kvelview/ИМЯ/...; пусто - имя компьютера"));
    addLabelled(publish, 1, 0, tr("Имя"), publishName_);
    publishMetrics_ = makeEdit("publishMetricsEdit", group4);
    publishMetrics_->setToolTip(
        tr("Адрес /metrics для Prometheus, узел:порт или порт; пусто - нет"));
    addLabelled(publish, 2, 0, "Prometheus", publishMetrics_);
    // Named in both languages, so that whoever cannot read the one shown still finds it.
    auto* group8 = named(new QGroupBox("Язык / Language", this), "languageGroup");
    auto* languageRow = new QHBoxLayout(group8);
    language_ = named(new QComboBox(group8), "languageCombo");
    language_->addItems({"Русский", "English"});
    languageRow->addWidget(language_);
    languageRow->addWidget(new QLabel(tr("действует со следующего запуска"), group8), 1);
    auto* box = new QWidget(this);
    auto* both = new QVBoxLayout(box);
    both->setContentsMargins(0, 0, 0, 0);
    both->addWidget(group2);
    both->addWidget(group3);
    both->addWidget(group4);
    both->addWidget(group8);
    return box;
}

QWidget* ProgramSettingsDialog::buildLinkGroup() {
    auto* group6 = named(new QGroupBox(tr("Настройки связи компьютера"), this), "linkGroup");
    auto* layout = new QGridLayout(group6);
    address_ = makeEdit("addressEdit", group6);
    addLabelled(layout, 0, 0, tr("Адрес модуля"), address_);
    // Any device path may be typed besides the listed names.
    port_ = named(new QComboBox(group6), "portCombo");
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    // Suggestions only in a list: an inline completion would turn a typed "COM1" half-way
    // into another name that ОК then stores.
    port_->completer()->setCompletionMode(QCompleter::PopupCompletion);
    port_->completer()->setCaseSensitivity(Qt::CaseSensitive);
    for (const std::string& name : portChoices()) port_->addItem(QString::fromStdString(name));
    port_->setMinimumWidth(220);
    addLabelled(layout, 1, 0, tr("Номер порта"), port_);
    speed_ = named(new QComboBox(group6), "speedCombo");
    for (const char* item : kSpeedItems) speed_->addItem(item);
    addLabelled(layout, 2, 0, tr("Скорость, кбит/с"), speed_);
    parity_ = named(new QComboBox(group6), "parityCombo");
    for (const char* item : kParityItems)
        parity_->addItem(QCoreApplication::translate("KvelView", item));
    addLabelled(layout, 3, 0, tr("Паритет"), parity_);
    findModule_ = named(new QPushButton(tr("Найти модуль…"), group6), "findModuleButton",
                        tr("Найти модуль на линии: перебрать адреса, скорости и паритеты"));
    findModule_->setAutoDefault(false);
    findModule_->setEnabled(false);
    layout->addWidget(findModule_, 4, 1);
    connect(findModule_, &QPushButton::clicked, this, [this] { findModule(); });
    return group6;
}

void ProgramSettingsDialog::attachLine(LinkThread* thread, ModuleLink* link) {
    linkThread_ = thread;
    link_ = link;
    findModule_->setEnabled(linkThread_ && link_ && !scanning_);
}

ScanDialog* ProgramSettingsDialog::findModule() {
    if (!linkThread_ || !link_ || scanning_) return nullptr;
    ScanRequest request = scanRequestFor(fields());
    request.space = scanSpace_;
    auto scan = std::make_shared<LineScan>(request);
    scanning_ = true;
    findModule_->setEnabled(false);
    emit lineTaken();
    auto* dialog = new ScanDialog(scan, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    scanDialog_ = dialog;
    ModuleLink* link = link_;
    // Queued behind a poll under way; the poll opens the port afresh with the stored settings
    // and identifies the module again afterwards.
    linkThread_->post(
        [scan, link] {
            scan->run(link->port(), [link] { return link->closing().isSet(); });
            link->closePort();
            link->setIdentified(false);
        },
        [scan, self = QPointer(this), dialog = QPointer(dialog)] {
            for (const std::string& notice : scan->progress().notices)
                showMessage(notice, kPortNoticeCaption, MessageKind::Information);
            if (dialog) dialog->scanEnded();
            if (!self) return;
            self->scanning_ = false;
            self->findModule_->setEnabled(true);
            emit self->lineReleased();
        });
    connect(dialog, &QDialog::accepted, this, [this, dialog, port = request.port] {
        if (const std::optional<ScanFinding> chosen = dialog->chosen()) applyFinding(*chosen, port);
    });
    dialog->open();
    return dialog;
}

ScanDialog* ProgramSettingsDialog::scanDialog() const {
    return scanDialog_;
}

void ProgramSettingsDialog::applyFinding(const ScanFinding& finding, const std::string& port) {
    address_->setText(QString::number(finding.at.address));
    const QString name = QString::fromStdString(port);
    port_->setCurrentIndex(port_->findText(name, Qt::MatchExactly | Qt::MatchCaseSensitive));
    port_->setEditText(name);
    speed_->setCurrentIndex(finding.at.speedIndex);
    parity_->setCurrentIndex(finding.at.parityIndex);
}

void ProgramSettingsDialog::setFields(const SettingsForm& form) {
    (form.showAll ? showAll_ : showPeriod_)->setChecked(true);
    hours_->setText(QString::fromStdString(form.hours));
    minutes_->setText(QString::fromStdString(form.minutes));
    shift_->setText(QString::fromStdString(form.shift));
    (form.scaleAuto ? scaleAuto_ : scaleManual_)->setChecked(true);
    leftMin_->setText(QString::fromStdString(form.leftMin));
    leftMax_->setText(QString::fromStdString(form.leftMax));
    rightMin_->setText(QString::fromStdString(form.rightMin));
    rightMax_->setText(QString::fromStdString(form.rightMax));
    axisGrid_->setRowCount(kAxisRows + 1);
    for (int n = 1; n <= kAxisRows; ++n) {
        axisGrid_->item(n, 0)->setText(tr("Канал") + QString::number(n));
        axisGrid_->item(n, 1)->setText(shownAxis(form.axis[static_cast<std::size_t>(n - 1)]));
    }
    saveToFile_->setChecked(form.saveToFile);
    file_->setText(QString::fromStdString(form.fileName));
    rate_->setText(QString::fromStdString(form.rate));
    publishMqtt_->setText(QString::fromStdString(form.publishMqtt));
    publishName_->setText(QString::fromStdString(form.publishName));
    publishMetrics_->setText(QString::fromStdString(form.publishMetrics));
    language_->setCurrentIndex(form.language == "en" ? 1 : 0);
    address_->setText(QString::fromStdString(form.address));
    // A stored name that is none of the items (a device path typed earlier, a device unplugged
    // now) is shown as it is, so that ОК does not replace it with an empty name.
    const QString port = QString::fromStdString(form.port);
    port_->setCurrentIndex(port_->findText(port, Qt::MatchExactly | Qt::MatchCaseSensitive));
    port_->setEditText(port);
    speed_->setCurrentIndex(form.speedIndex);
    parity_->setCurrentIndex(form.parityIndex);
    channels_->clear();
    for (const ChannelItem& channel : form.channels) {
        auto* item = new QListWidgetItem(QString::fromStdString(channel.text), channels_);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(channel.checked ? Qt::Checked : Qt::Unchecked);
    }
}

SettingsForm ProgramSettingsDialog::fields() const {
    SettingsForm form;
    form.showAll = showAll_->isChecked();
    form.hours = textOf(hours_);
    form.minutes = textOf(minutes_);
    form.shift = textOf(shift_);
    form.scaleAuto = scaleAuto_->isChecked();
    form.leftMin = textOf(leftMin_);
    form.leftMax = textOf(leftMax_);
    form.rightMin = textOf(rightMin_);
    form.rightMax = textOf(rightMax_);
    for (int n = 1; n <= kAxisRows; ++n) {
        const QTableWidgetItem* cell = n < axisGrid_->rowCount() ? axisGrid_->item(n, 1) : nullptr;
        form.axis[static_cast<std::size_t>(n - 1)] = cell ? axisOfCell(cell->text()) : "";
    }
    form.saveToFile = saveToFile_->isChecked();
    form.fileName = textOf(file_);
    form.rate = textOf(rate_);
    form.publishMqtt = textOf(publishMqtt_);
    form.publishName = textOf(publishName_);
    form.publishMetrics = textOf(publishMetrics_);
    form.language = language_->currentIndex() == 1 ? "en" : "ru";
    form.address = textOf(address_);
    form.port = port_->currentText().toStdString();
    form.speedIndex = speed_->currentIndex();
    form.parityIndex = parity_->currentIndex();
    for (int i = 0; i < channels_->count(); ++i) {
        const QListWidgetItem* item = channels_->item(i);
        form.channels.push_back({item->text().toStdString(), item->checkState() == Qt::Checked});
    }
    return form;
}

void ProgramSettingsDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    prepareForShow();
}

void ProgramSettingsDialog::prepareForShow() {
    const std::string working =
        startupDirectory_.empty() ? std::filesystem::current_path().string() : startupDirectory_;
    logFileDialog_->setDirectory(QString::fromStdString(dialogFolder(textOf(file_), working)));
    axisGrid_->item(0, 0)->setText(tr("Канал"));
    axisGrid_->item(0, 1)->setText(tr("Ось"));
}

void ProgramSettingsDialog::accept() {
    closed_ = false;
    emit okPressed();
    if (!closed_) done(QDialog::Rejected);
}

void ProgramSettingsDialog::done(int result) {
    closed_ = true;
    QDialog::done(result);
}

void ProgramSettingsDialog::cancel() {
    reject();
}

void ProgramSettingsDialog::chooseLogFile() {
    const std::optional<std::string> chosen = chooseLogFileToWrite(*logFileDialog_);
    if (!chosen) return;
    file_->setText(QString::fromStdString(logNameFromChoice(*chosen)));
    // mem.ini is written by its relative name: it must go on reaching the start-up folder.
    if (startupDirectory_.empty()) return;
    std::error_code error;
    std::filesystem::current_path(startupDirectory_, error);
    if (error) {
        showMessage(tr("Ошибка возврата в рабочий каталог %1: %2")
                        .arg(QString::fromStdString(startupDirectory_),
                             QString::fromStdString(error.message()))
                        .toStdString(),
                    "Ошибка");
    }
}

void ProgramSettingsDialog::selectAxisRow(int row) {
    // The heading row is fixed: it cannot be selected.
    if (row < 1) return;
    selectedRow_ = row;
}

int ProgramSettingsDialog::selectedRow() const {
    return selectedRow_ >= 1 ? selectedRow_ : axisGrid_->currentRow();
}

void ProgramSettingsDialog::toggleSelectedAxis() {
    const int row = selectedRow();
    if (row < 1 || row >= axisGrid_->rowCount()) return;
    QTableWidgetItem* cell = axisGrid_->item(row, 1);
    cell->setText(shownAxis(toggledAxis(axisOfCell(cell->text()))));
}

bool ProgramSettingsDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == axisGrid_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        // Tab moves on and Escape closes the dialog; every other key that produces a character
        // toggles the axis of the selected row.
        const bool passes = key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
                            key->key() == Qt::Key_Escape;
        if (!passes && !key->text().isEmpty()) {
            toggleSelectedAxis();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace kvel
