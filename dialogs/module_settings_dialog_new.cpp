#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QVBoxLayout>

#include "dialogs/dialog_controls.h"
#include "dialogs/module_settings_dialog.h"
#include "link/module_map.h"
#include "monitor/module_settings.h"

namespace kvel {

TFormDisplaySelectDlgNew::TFormDisplaySelectDlgNew(QWidget* parent)
    : TModuleDialog("FormDisplaySelectDlgNew", parent) {
    QGroupBox* sensors = BuildSensorsGroup("Коэффициенты датчиков");

    auto* links = new QHBoxLayout;
    links->addWidget(BuildLinkGroup(1));
    links->addWidget(BuildLinkGroup(2));

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
    for (int r = 1; r <= 3; ++r) right->addWidget(BuildRelayGroup(r));

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);
    progressPanel_->raise();
    setChannelCount(kMaxChannels);  // the main window's channel count until a module answers
}

QWidget* TFormDisplaySelectDlgNew::BuildLinkGroup(int link) {
    const QString n = QString::number(link);
    auto* group = new QGroupBox("Настройки связи MB" + n, this);
    group->setObjectName("GroupBoxMB" + n);
    const auto i = static_cast<std::size_t>(link - 1);
    const LinkControls c =
        AddLinkRows(group, "EditAdr" + n, "ComboBoxSpeed" + n, "ComboBoxPar" + n);
    editAdr_[i] = c.address;
    comboSpeed_[i] = c.speed;
    comboPar_[i] = c.parity;
    return group;
}

QWidget* TFormDisplaySelectDlgNew::BuildRelayGroup(int relay) {
    const QString n = QString::number(relay);
    auto* group = new QGroupBox("Настройки реле " + n, this);
    group->setObjectName("GroupBoxRelay" + n);
    auto* row = new QHBoxLayout(group);
    auto* form = new QFormLayout;
    form->setVerticalSpacing(2);
    RelayControls& c = relays_[static_cast<std::size_t>(relay - 1)];
    c.function = MakeChoiceBox("ComboBoxFunc" + n, {}, group);
    c.logic = MakeChoiceBox("ComboBoxLogic" + n, kLogicTexts, group);
    for (QComboBox* box : {c.function, c.logic}) box->setToolTip(kFunctionHint);
    c.delayOn = MakeValueEdit("EditDelayOn" + n, group, "Задержка включения реле");
    c.delayOff = MakeValueEdit("EditDelayOff" + n, group, "Задержка отключения реле");
    c.hyst = MakeValueEdit("EditHyst" + n, group);
    c.thres = MakeValueEdit("EditThres" + n, group, "Порог 1 срабатывания реле");
    AddFormRow(form, "Функция реле", c.function);
    AddFormRow(form, "Логика реле ", c.logic);
    AddFormRow(form, "Задержка включения, сек", c.delayOn);
    AddFormRow(form, "Задержка отключения, сек", c.delayOff);
    AddFormRow(form, "Гистерезис, Тгр.С", c.hyst);
    AddFormRow(form, "Порог, Тгр.С", c.thres);
    row->addLayout(form);

    auto* sub = new QGroupBox("Привязка датчиков к реле", group);
    auto* subLayout = new QVBoxLayout(sub);
    c.binding = new QListWidget(sub);
    c.binding->setObjectName("CheckListBox" + n);
    c.binding->setToolTip(kLinkListHint);
    subLayout->addWidget(c.binding);
    row->addWidget(sub);
    return group;
}

void TFormDisplaySelectDlgNew::setChannelCount(int channels) {
    RebuildChannelTable(channels);
    for (RelayControls& c : relays_) {
        FillCheckList(c.binding, channels);
        FillFunctionBox(c.function);
    }
}

void TFormDisplaySelectDlgNew::Load() {
    if (settings_ == nullptr) return;
    TModuleSettingsFieldsNew f = ModuleFields();
    settings_->LoadModuleSettingsNew(f);
    SetModuleFields(f);
    LoadChannelTable();
}

TModuleSettingsFieldsNew TFormDisplaySelectDlgNew::ModuleFields() const {
    TModuleSettingsFieldsNew f;
    for (std::size_t r = 0; r < 3; ++r) {
        const RelayControls& c = relays_[r];
        TRelayFieldsNew& relay = f.relays[r];
        relay.function = GetChoice(c.function);
        relay.logic = GetChoice(c.logic);
        relay.delayOn = S(c.delayOn->text());
        relay.delayOff = S(c.delayOff->text());
        relay.hyst = S(c.hyst->text());
        relay.thres = S(c.thres->text());
        relay.binding = GetChecks(c.binding);
    }
    f.adr1 = S(editAdr_[0]->text());
    f.speed1 = GetChoice(comboSpeed_[0]);
    f.parity1 = GetChoice(comboPar_[0]);
    f.adr2 = S(editAdr_[1]->text());
    f.speed2 = GetChoice(comboSpeed_[1]);
    f.parity2 = GetChoice(comboPar_[1]);
    return f;
}

void TFormDisplaySelectDlgNew::SetModuleFields(const TModuleSettingsFieldsNew& f) {
    for (std::size_t r = 0; r < 3; ++r) {
        const RelayControls& c = relays_[r];
        const TRelayFieldsNew& relay = f.relays[r];
        SetChoice(c.function, relay.function);
        SetChoice(c.logic, relay.logic);
        c.delayOn->setText(Q(relay.delayOn));
        c.delayOff->setText(Q(relay.delayOff));
        c.hyst->setText(Q(relay.hyst));
        c.thres->setText(Q(relay.thres));
        SetChecks(c.binding, relay.binding);
    }
    editAdr_[0]->setText(Q(f.adr1));
    SetChoice(comboSpeed_[0], f.speed1);
    SetChoice(comboPar_[0], f.parity1);
    editAdr_[1]->setText(Q(f.adr2));
    SetChoice(comboSpeed_[1], f.speed2);
    SetChoice(comboPar_[1], f.parity2);
}

void TFormDisplaySelectDlgNew::writeRelaySettings() {
    RunRelayWrite([this] { return settings_->WriteRelaySettingsNew(ModuleFields()); });
}

void TFormDisplaySelectDlgNew::writeLinkSettings() {
    RunLinkWrite([this] { return settings_->WriteLinkSettingsNew(ModuleFields()); });
}

}  // namespace kvel
