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
    editAdr_ = c.address;
    speedCombo_ = c.speed;
    parityCombo_ = c.parity;
    return group;
}

QWidget* FirstGenModuleDialog::buildRelayGroup() {
    auto* group = named(new QGroupBox(tr("Настройки реле"), this), "relaysGroup");
    auto* row = new QHBoxLayout(group);

    auto* form = new QFormLayout;
    editThres1_ = makeValueEdit("thresholdEdit1", group);
    editThres2_ = makeValueEdit("thresholdEdit2", group);
    editHyst_ = makeValueEdit("hysteresisEdit", group);
    editDelayOn_ = makeValueEdit("delayOnEdit", group, tr("Задержка включения реле"));
    editDelayOff_ = makeValueEdit("delayOffEdit", group, tr("Задержка отключения реле"));
    addFormRow(form, tr("Порог 1, Тгр.С"), editThres1_);
    addFormRow(form, tr("Порог 2, Тгр.С"), editThres2_);
    // The two thresholds only carry registers 3 and 4 from the read to the write.
    for (QLineEdit* hidden : {editThres1_, editThres2_}) form->setRowVisible(hidden, false);
    addFormRow(form, tr("Гистерезис, Тгр.С"), editHyst_);
    addFormRow(form, tr("Задержка включения, сек"), editDelayOn_);
    addFormRow(form, tr("Задержка отключения, сек"), editDelayOff_);
    static const char* const kFunctionNames[kRelayCount] = {
        "relayFunctionCombo1", "relayFunctionCombo2", "relayFunctionCombo3"};
    for (int i = 0; i < kRelayCount; ++i) {
        QComboBox* box = makeChoiceBox(kFunctionNames[i], {}, group);
        box->setToolTip(functionHint());
        comboRelay_[static_cast<std::size_t>(i)] = box;
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
                             linkListHint(), checkListLink_));
    row->addWidget(
        listGroup(tr("Привязка датчиков к реле порога"), "thresholdRelayChannels",
                  tr("Сигнализация о превышении порога будет учитывать только отмеченные "
                     "датчики"),
                  checkListThres_));

    auto* sensorRelay = new QGroupBox(tr("Для режима датчик-реле"), group);
    auto* sensorForm = new QFormLayout(sensorRelay);
    static const char* const kRelSensNames[kRelayCount] = {
        "sensorRelayThresholdEdit1", "sensorRelayThresholdEdit2", "sensorRelayThresholdEdit3"};
    for (int i = 0; i < kRelayCount; ++i) {
        QLineEdit* edit = makeValueEdit(kRelSensNames[i], sensorRelay);
        editRelSens_[static_cast<std::size_t>(i)] = edit;
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
    fillCheckList(checkListThres_, channels);
    fillCheckList(checkListLink_, channels);
    for (QComboBox* box : comboRelay_) fillFunctionBox(box);
    setUpGrid(thresholdTable_, thresholdHeadings(), channels);
}

void FirstGenModuleDialog::load(std::function<void()> loaded) {
    auto f = std::make_shared<FirstGenFields>(moduleFields());
    runLoad([f](ModuleSettings& settings) { settings.loadModuleSettings(*f); },
            [this, f] { setModuleFields(*f); }, std::move(loaded));
}

FirstGenFields FirstGenModuleDialog::moduleFields() const {
    FirstGenFields f;
    f.adr = S(editAdr_->text());
    f.speed = getChoice(speedCombo_);
    f.parity = getChoice(parityCombo_);
    f.thres1 = S(editThres1_->text());
    f.thres2 = S(editThres2_->text());
    f.hyst = S(editHyst_->text());
    f.delayOn = S(editDelayOn_->text());
    f.delayOff = S(editDelayOff_->text());
    for (std::size_t i = 0; i < kRelayCount; ++i) {
        f.relayFunction[i] = getChoice(comboRelay_[i]);
        f.relSens[i] = S(editRelSens_[i]->text());
    }
    f.link = getChecks(checkListLink_);
    f.thres = getChecks(checkListThres_);
    f.thresholds1 = columnTexts(thresholdTable_, 1);
    f.thresholds2 = columnTexts(thresholdTable_, 2);
    return f;
}

void FirstGenModuleDialog::setModuleFields(const FirstGenFields& f) {
    editAdr_->setText(Q(f.adr));
    setChoice(speedCombo_, f.speed);
    setChoice(parityCombo_, f.parity);
    editThres1_->setText(Q(f.thres1));
    editThres2_->setText(Q(f.thres2));
    editHyst_->setText(Q(f.hyst));
    editDelayOn_->setText(Q(f.delayOn));
    editDelayOff_->setText(Q(f.delayOff));
    for (std::size_t i = 0; i < kRelayCount; ++i) {
        setChoice(comboRelay_[i], f.relayFunction[i]);
        editRelSens_[i]->setText(Q(f.relSens[i]));
    }
    setChecks(checkListLink_, f.link);
    setChecks(checkListThres_, f.thres);
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
