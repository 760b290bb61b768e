#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <memory>

#include "core/module_settings.h"
#include "link/module_map.h"
#include "windows/dialog_controls.h"
#include "windows/module_generation_dialogs.h"

namespace kvel {

SecondGenModuleDialog::SecondGenModuleDialog(QWidget* parent)
    : ModuleSettingsDialog("secondGenModuleDialog", parent) {
    QGroupBox* sensors = buildSensorsGroup(tr("Коэффициенты датчиков"));

    auto* links = new QHBoxLayout;
    links->addWidget(buildLinkGroup(1));
    links->addWidget(buildLinkGroup(2));

    auto* buttons = new QGridLayout;
    buttons->addWidget(writeCoefficientsButton_, 0, 0);
    buttons->addWidget(applyToAllButton_, 0, 1);
    buttons->addWidget(coefficientForAll_, 0, 2);
    buttons->addWidget(writeRelaysButton_, 1, 0);
    buttons->addWidget(writeLinkButton_, 2, 0);
    buttons->setColumnStretch(3, 1);

    auto* left = new QVBoxLayout;
    left->addWidget(sensors, 1);
    left->addLayout(links);
    left->addLayout(buttons);

    auto* right = new QVBoxLayout;
    for (int r = 1; r <= kRelayCount; ++r) right->addWidget(buildRelayGroup(r));

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    progressPanel_->raise();
    setChannelCount(kMaxChannels);  // the main window's channel count until a module answers
}

QWidget* SecondGenModuleDialog::buildLinkGroup(int link) {
    const QString n = QString::number(link);
    auto* group = new QGroupBox(tr("Настройки связи MB") + n, this);
    group->setObjectName("linkGroup" + n);
    const auto i = static_cast<std::size_t>(link - 1);
    const LinkControls c =
        addLinkRows(group, "addressEdit" + n, "speedCombo" + n, "parityCombo" + n);
    addressEdit_[i] = c.address;
    speedCombos_[i] = c.speed;
    parityCombos_[i] = c.parity;
    return group;
}

QWidget* SecondGenModuleDialog::buildRelayGroup(int relay) {
    const QString n = QString::number(relay);
    auto* group = new QGroupBox(tr("Настройки реле ") + n, this);
    group->setObjectName("relayGroup" + n);
    auto* row = new QHBoxLayout(group);
    auto* form = new QFormLayout;
    form->setVerticalSpacing(2);
    RelayControls& c = relays_[static_cast<std::size_t>(relay - 1)];
    c.function = makeChoiceBox("relayFunctionCombo" + n, {}, group);
    c.logic = makeChoiceBox("relayLogicCombo" + n, logicTexts(), group);
    for (QComboBox* box : {c.function, c.logic}) box->setToolTip(functionHint());
    c.delayOn = makeValueEdit("delayOnEdit" + n, group, tr("Задержка включения реле"));
    c.delayOff = makeValueEdit("delayOffEdit" + n, group, tr("Задержка отключения реле"));
    c.hyst = makeValueEdit("hysteresisEdit" + n, group);
    c.thres = makeValueEdit("thresholdEdit" + n, group, tr("Порог 1 срабатывания реле"));
    addFormRow(form, tr("Функция реле"), c.function);
    addFormRow(form, tr("Логика реле "), c.logic);
    addFormRow(form, tr("Задержка включения, сек"), c.delayOn);
    addFormRow(form, tr("Задержка отключения, сек"), c.delayOff);
    addFormRow(form, tr("Гистерезис, Тгр.С"), c.hyst);
    addFormRow(form, tr("Порог, Тгр.С"), c.thres);
    row->addLayout(form);

    auto* sub = new QGroupBox(tr("Привязка датчиков к реле"), group);
    auto* subLayout = new QVBoxLayout(sub);
    c.binding = new QListWidget(sub);
    c.binding->setObjectName("relayChannels" + n);
    c.binding->setToolTip(linkListHint());
    subLayout->addWidget(c.binding);
    row->addWidget(sub);
    return group;
}

void SecondGenModuleDialog::setChannelCount(int channels) {
    rebuildChannelTable(channels);
    for (RelayControls& c : relays_) {
        fillCheckList(c.binding, channels);
        fillFunctionBox(c.function);
    }
}

void SecondGenModuleDialog::load() {
    auto f = std::make_shared<SecondGenFields>(moduleFields());
    runLoad([f](ModuleSettings& settings) { settings.loadModuleSettingsNew(*f); },
            [this, f] { setModuleFields(*f); });
}

SecondGenFields SecondGenModuleDialog::moduleFields() const {
    SecondGenFields f;
    for (std::size_t r = 0; r < kRelayCount; ++r) {
        const RelayControls& c = relays_[r];
        SecondGenRelayFields& relay = f.relays[r];
        relay.function = getChoice(c.function);
        relay.logic = getChoice(c.logic);
        relay.delayOn = c.delayOn->text().toStdString();
        relay.delayOff = c.delayOff->text().toStdString();
        relay.hyst = c.hyst->text().toStdString();
        relay.thres = c.thres->text().toStdString();
        relay.binding = getChecks(c.binding);
    }
    f.adr1 = addressEdit_[0]->text().toStdString();
    f.speed1 = getChoice(speedCombos_[0]);
    f.parity1 = getChoice(parityCombos_[0]);
    f.adr2 = addressEdit_[1]->text().toStdString();
    f.speed2 = getChoice(speedCombos_[1]);
    f.parity2 = getChoice(parityCombos_[1]);
    return f;
}

void SecondGenModuleDialog::setModuleFields(const SecondGenFields& f) {
    for (std::size_t r = 0; r < kRelayCount; ++r) {
        const RelayControls& c = relays_[r];
        const SecondGenRelayFields& relay = f.relays[r];
        setChoice(c.function, relay.function);
        setChoice(c.logic, relay.logic);
        c.delayOn->setText(QString::fromStdString(relay.delayOn));
        c.delayOff->setText(QString::fromStdString(relay.delayOff));
        c.hyst->setText(QString::fromStdString(relay.hyst));
        c.thres->setText(QString::fromStdString(relay.thres));
        setChecks(c.binding, relay.binding);
    }
    addressEdit_[0]->setText(QString::fromStdString(f.adr1));
    setChoice(speedCombos_[0], f.speed1);
    setChoice(parityCombos_[0], f.parity1);
    addressEdit_[1]->setText(QString::fromStdString(f.adr2));
    setChoice(speedCombos_[1], f.speed2);
    setChoice(parityCombos_[1], f.parity2);
}

void SecondGenModuleDialog::writeRelaySettings() {
    runRelayWrite([f = moduleFields()](ModuleSettings& settings) {
        return settings.writeRelaySettingsNew(f);
    });
}

void SecondGenModuleDialog::writeLinkSettings() {
    runLinkWrite([f = moduleFields()](ModuleSettings& settings) {
        return settings.writeLinkSettingsNew(f);
    });
}

}  // namespace kvel
