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
namespace {

QLineEdit* MakeEdit(const QString& name, QWidget* parent, const char* hint = nullptr) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(name);
    edit->setMaxLength(12);
    if (hint) edit->setToolTip(hint);
    return edit;
}

QComboBox* MakeBox(const QString& name, const QStringList& items, QWidget* parent) {
    QComboBox* box = MakeChoiceBox("", items, parent);
    box->setObjectName(name);
    return box;
}

void AddRow(QFormLayout* form, const QString& label, QWidget* field) {
    form->addRow(BuddyLabel(label, field), field);
}

}  // namespace

TFormDisplaySelectDlgNew::TFormDisplaySelectDlgNew(QWidget* parent)
    : TModuleDialog("FormDisplaySelectDlgNew", parent) {
    auto* sensors = Named(new QGroupBox("Коэффициенты датчиков", this), "GroupBoxSensors");
    auto* sensorsLayout = new QVBoxLayout(sensors);
    grid1_->setParent(sensors);
    sensorsLayout->addWidget(grid1_);

    auto* links = new QHBoxLayout;
    links->addWidget(BuildLinkGroup(1));
    links->addWidget(BuildLinkGroup(2));

    auto* buttons = new QGridLayout;
    buttons->addWidget(saveCoeffs_, 0, 0);
    buttons->addWidget(applyToAll_, 0, 1);
    buttons->addWidget(editCoeff_, 0, 2);
    buttons->addWidget(saveRelays_, 1, 0);
    buttons->addWidget(saveConnect_, 2, 0);
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
    panel1_->raise();
    FormCreate(kMaxChannels);  // the main window's channel count until a module answers
}

QWidget* TFormDisplaySelectDlgNew::BuildLinkGroup(int link) {
    const QString n = QString::number(link);
    auto* group = new QGroupBox("Настройки связи MB" + n, this);
    group->setObjectName("GroupBoxMB" + n);
    auto* form = new QFormLayout(group);
    const auto i = static_cast<std::size_t>(link - 1);
    editAdr_[i] = MakeEdit("EditAdr" + n, group);
    comboSpeed_[i] = MakeBox("ComboBoxSpeed" + n, kSpeedTexts, group);
    comboPar_[i] = MakeBox("ComboBoxPar" + n, kParityTexts, group);
    AddRow(form, "Адрес модуля", editAdr_[i]);
    AddRow(form, "Скорость, кбит/с", comboSpeed_[i]);
    AddRow(form, "Паритет", comboPar_[i]);
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
    c.function = MakeBox("ComboBoxFunc" + n, {}, group);
    c.logic = MakeBox("ComboBoxLogic" + n, kLogicTexts, group);
    for (QComboBox* box : {c.function, c.logic}) box->setToolTip(kFunctionHint);
    c.delayOn = MakeEdit("EditDelayOn" + n, group, "Задержка включения реле");
    c.delayOff = MakeEdit("EditDelayOff" + n, group, "Задержка отключения реле");
    c.hyst = MakeEdit("EditHyst" + n, group);
    c.thres = MakeEdit("EditThres" + n, group, "Порог 1 срабатывания реле");
    AddRow(form, "Функция реле", c.function);
    AddRow(form, "Логика реле ", c.logic);
    AddRow(form, "Задержка включения, сек", c.delayOn);
    AddRow(form, "Задержка отключения, сек", c.delayOff);
    AddRow(form, "Гистерезис, Тгр.С", c.hyst);
    AddRow(form, "Порог, Тгр.С", c.thres);
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

void TFormDisplaySelectDlgNew::FormCreate(int channels) {
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

void TFormDisplaySelectDlgNew::ButtonSaveRelaysClick() {
    RunWrite(
        "Запись настроек реле в модуль...", false,
        [this] { return settings_->WriteRelaySettingsNew(ModuleFields()); },
        "Параметры реле записаны успешно");
}

void TFormDisplaySelectDlgNew::ButtonSaveConnectClick() {
    RunWrite(
        "Запись параметров связи в модуль...", false,
        [this] { return settings_->WriteLinkSettingsNew(ModuleFields()); },
        "Параметры связи записаны успешно");
}

}  // namespace kvel
