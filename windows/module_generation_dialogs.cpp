#include "windows/module_generation_dialogs.h"

#include <QCoreApplication>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>
#include <memory>

#include "core/module_settings.h"
#include "link/module_map.h"
#include "windows/dialog_controls.h"

namespace kvel {
namespace {

QStringList thresholdHeadings() {
    return {QCoreApplication::translate("KvelView", "Канал"),
            QCoreApplication::translate("KvelView", "Порог 1"),
            QCoreApplication::translate("KvelView", "Порог 2")};
}

}  // namespace

FirstGenModuleDialog::FirstGenModuleDialog(QWidget* parent)
    : ModuleSettingsDialog("firstGenModuleDialog", parent) {
    QGroupBox* sensors = buildSensorsGroup(tr("Настройки датчиков"));
    sensors->setFixedWidth(580);

    auto* right = new QVBoxLayout;
    auto* apply = new QHBoxLayout;
    apply->addStretch();
    apply->addWidget(applyToAllButton_);
    apply->addWidget(coefficientForAll_);
    right->addLayout(apply);
    right->addWidget(buildLinkGroup());
    for (QPushButton* button : {writeCoefficientsButton_, writeRelaysButton_, writeLinkButton_})
        right->addWidget(button);
    right->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(sensors);
    top->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(buildRelayGroup(), 1);
    progressPanel_->raise();
    setChannelCount(kMaxChannels);  // the main window's channel count until a module answers
}

QWidget* FirstGenModuleDialog::buildLinkGroup() {
    auto* group = named(new QGroupBox(tr("Настройки связи модуля"), this), "linkGroup");
    const LinkControls c = addLinkRows(group, "addressEdit", "speedCombo", "parityCombo");
    addressEdit_ = c.address;
    speedCombo_ = c.speed;
    parityCombo_ = c.parity;
    return group;
}

QWidget* FirstGenModuleDialog::buildRelayGroup() {
    auto* group = named(new QGroupBox(tr("Настройки реле"), this), "relaysGroup");
    auto* row = new QHBoxLayout(group);

    auto* form = new QFormLayout;
    threshold1Edit_ = makeValueEdit("thresholdEdit1", group);
    threshold2Edit_ = makeValueEdit("thresholdEdit2", group);
    hysteresisEdit_ = makeValueEdit("hysteresisEdit", group);
    delayOnEdit_ = makeValueEdit("delayOnEdit", group, tr("Задержка включения реле"));
    delayOffEdit_ = makeValueEdit("delayOffEdit", group, tr("Задержка отключения реле"));
    addFormRow(form, tr("Порог 1, Тгр.С"), threshold1Edit_);
    addFormRow(form, tr("Порог 2, Тгр.С"), threshold2Edit_);
    // The two thresholds only carry registers 3 and 4 from the read to the write.
    for (QLineEdit* hidden : {threshold1Edit_, threshold2Edit_}) form->setRowVisible(hidden, false);
    addFormRow(form, tr("Гистерезис, Тгр.С"), hysteresisEdit_);
    addFormRow(form, tr("Задержка включения, сек"), delayOnEdit_);
    addFormRow(form, tr("Задержка отключения, сек"), delayOffEdit_);
    static const char* const kFunctionNames[kRelayCount] = {
        "relayFunctionCombo1", "relayFunctionCombo2", "relayFunctionCombo3"};
    for (int i = 0; i < kRelayCount; ++i) {
        QComboBox* box = makeChoiceBox(kFunctionNames[i], {}, group);
        box->setToolTip(functionHint());
        relayFunctionCombos_[static_cast<std::size_t>(i)] = box;
        addFormRow(form, tr("Функция реле ") + QString::number(i + 1), box);
    }
    row->addLayout(form);

    const auto listGroup = [group](const QString& caption, const char* name, const QString& hint,
                                   QListWidget*& list) {
        auto* sub = new QGroupBox(caption, group);
        auto* box = new QVBoxLayout(sub);
        list = named(new QListWidget(sub), name);
        list->setToolTip(hint);
        box->addWidget(list);
        return sub;
    };
    row->addWidget(listGroup(tr("Привязка датчиков к реле связи"), "linkRelayChannels",
                             linkListHint(), linkRelayList_));
    row->addWidget(
        listGroup(tr("Привязка датчиков к реле порога"), "thresholdRelayChannels",
                  tr("Сигнализация о превышении порога будет учитывать только отмеченные "
                     "датчики"),
                  thresholdRelayList_));

    auto* sensorRelay = new QGroupBox(tr("Для режима датчик-реле"), group);
    auto* sensorForm = new QFormLayout(sensorRelay);
    static const char* const kRelSensNames[kRelayCount] = {
        "sensorRelayThresholdEdit1", "sensorRelayThresholdEdit2", "sensorRelayThresholdEdit3"};
    for (int i = 0; i < kRelayCount; ++i) {
        QLineEdit* edit = makeValueEdit(kRelSensNames[i], sensorRelay);
        sensorRelayEdits_[static_cast<std::size_t>(i)] = edit;
        addFormRow(sensorForm, tr("Порог Датчик-Реле ") + QString::number(i + 1) + tr(", Тгр.С"),
                   edit);
    }
    auto* sensorColumn = new QVBoxLayout;
    sensorColumn->addWidget(sensorRelay);
    sensorColumn->addStretch();
    row->addLayout(sensorColumn);

    auto* thresholds = new QVBoxLayout;
    thresholdTable_ = named(new QTableWidget(group), "thresholdTable");
    thresholdTable_->horizontalHeader()->hide();
    thresholdTable_->verticalHeader()->hide();
    thresholdTable_->verticalHeader()->setDefaultSectionSize(20);
    setUpGrid(thresholdTable_, thresholdHeadings(), 0);
    thresholdTable_->setColumnWidth(0, 64);
    thresholdTable_->setColumnWidth(1, 56);
    thresholdTable_->setColumnWidth(2, 56);
    thresholdTable_->setFixedWidth(200);
    thresholds->addWidget(buddyLabel(tr("Температурные пороги,  гр. С"), thresholdTable_));
    thresholds->addWidget(thresholdTable_);
    row->addLayout(thresholds);
    return group;
}

void FirstGenModuleDialog::setChannelCount(int channels) {
    rebuildChannelTable(channels);
    fillCheckList(thresholdRelayList_, channels);
    fillCheckList(linkRelayList_, channels);
    for (QComboBox* box : relayFunctionCombos_) fillFunctionBox(box);
    setUpGrid(thresholdTable_, thresholdHeadings(), channels);
}

void FirstGenModuleDialog::load() {
    auto f = std::make_shared<FirstGenFields>(moduleFields());
    runLoad([f](ModuleSettings& settings) { settings.loadModuleSettings(*f); },
            [this, f] { setModuleFields(*f); });
}

FirstGenFields FirstGenModuleDialog::moduleFields() const {
    FirstGenFields f;
    f.adr = addressEdit_->text().toStdString();
    f.speed = getChoice(speedCombo_);
    f.parity = getChoice(parityCombo_);
    f.thres1 = threshold1Edit_->text().toStdString();
    f.thres2 = threshold2Edit_->text().toStdString();
    f.hyst = hysteresisEdit_->text().toStdString();
    f.delayOn = delayOnEdit_->text().toStdString();
    f.delayOff = delayOffEdit_->text().toStdString();
    for (std::size_t i = 0; i < kRelayCount; ++i) {
        f.relayFunction[i] = getChoice(relayFunctionCombos_[i]);
        f.relSens[i] = sensorRelayEdits_[i]->text().toStdString();
    }
    f.link = getChecks(linkRelayList_);
    f.thres = getChecks(thresholdRelayList_);
    f.thresholds1 = columnTexts(thresholdTable_, 1);
    f.thresholds2 = columnTexts(thresholdTable_, 2);
    return f;
}

void FirstGenModuleDialog::setModuleFields(const FirstGenFields& f) {
    addressEdit_->setText(QString::fromStdString(f.adr));
    setChoice(speedCombo_, f.speed);
    setChoice(parityCombo_, f.parity);
    threshold1Edit_->setText(QString::fromStdString(f.thres1));
    threshold2Edit_->setText(QString::fromStdString(f.thres2));
    hysteresisEdit_->setText(QString::fromStdString(f.hyst));
    delayOnEdit_->setText(QString::fromStdString(f.delayOn));
    delayOffEdit_->setText(QString::fromStdString(f.delayOff));
    for (std::size_t i = 0; i < kRelayCount; ++i) {
        setChoice(relayFunctionCombos_[i], f.relayFunction[i]);
        sensorRelayEdits_[i]->setText(QString::fromStdString(f.relSens[i]));
    }
    setChecks(linkRelayList_, f.link);
    setChecks(thresholdRelayList_, f.thres);
    setColumnTexts(thresholdTable_, 1, f.thresholds1);
    setColumnTexts(thresholdTable_, 2, f.thresholds2);
}

void FirstGenModuleDialog::writeRelaySettings() {
    runRelayWrite(
        [f = moduleFields()](ModuleSettings& settings) { return settings.writeRelaySettings(f); });
}

void FirstGenModuleDialog::writeLinkSettings() {
    runLinkWrite(
        [f = moduleFields()](ModuleSettings& settings) { return settings.writeLinkSettings(f); });
}

}  // namespace kvel
