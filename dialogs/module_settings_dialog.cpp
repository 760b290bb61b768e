#include "dialogs/module_settings_dialog.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/busy_scope.h"
#include "dialogs/dialog_controls.h"
#include "link/module_map.h"
#include "monitor/module_settings.h"

namespace kvel {
namespace {

QStringList ThresholdHeadings() {
    return {"Канал", "Порог 1", "Порог 2"};
}

}  // namespace

TFormDisplaySelectDlg::TFormDisplaySelectDlg(QWidget* parent)
    : TModuleDialog("FormDisplaySelectDlg", parent) {
    QGroupBox* sensors = BuildSensorsGroup("Настройки датчиков");
    sensors->setFixedWidth(580);

    auto* right = new QVBoxLayout;
    auto* apply = new QHBoxLayout;
    apply->addStretch();
    apply->addWidget(applyToAll_);
    apply->addWidget(editCoeff_);
    right->addLayout(apply);
    right->addWidget(BuildLinkGroup());
    for (QPushButton* button : {saveCoeffs_, saveRelays_, saveConnect_}) right->addWidget(button);
    right->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(sensors);
    top->addLayout(right);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(BuildRelayGroup(), 1);
    panel1_->raise();
    FormCreate(kMaxChannels);  // the main window's channel count until a module answers
}

QWidget* TFormDisplaySelectDlg::BuildLinkGroup() {
    auto* group = Named(new QGroupBox("Настройки связи модуля", this), "GroupBoxLink");
    const LinkControls c = AddLinkRows(group, "EditAdr", "ComboBox2", "ComboBox3");
    editAdr_ = c.address;
    comboBox2_ = c.speed;
    comboBox3_ = c.parity;
    return group;
}

QWidget* TFormDisplaySelectDlg::BuildRelayGroup() {
    auto* group = Named(new QGroupBox("Настройки реле", this), "GroupBoxRelays");
    auto* row = new QHBoxLayout(group);

    auto* form = new QFormLayout;
    editThres1_ = MakeValueEdit("EditThres1", group);
    editThres2_ = MakeValueEdit("EditThres2", group);
    editHyst_ = MakeValueEdit("EditHyst", group);
    editDelayOn_ = MakeValueEdit("EditDelayOn", group, "Задержка включения реле");
    editDelayOff_ = MakeValueEdit("EditDelayOff", group, "Задержка отключения реле");
    AddFormRow(form, "Порог 1, Тгр.С", editThres1_);
    AddFormRow(form, "Порог 2, Тгр.С", editThres2_);
    // The two thresholds only carry registers 3 and 4 from the read to the write.
    for (QLineEdit* hidden : {editThres1_, editThres2_}) form->setRowVisible(hidden, false);
    AddFormRow(form, "Гистерезис, Тгр.С", editHyst_);
    AddFormRow(form, "Задержка включения, сек", editDelayOn_);
    AddFormRow(form, "Задержка отключения, сек", editDelayOff_);
    static const char* const kFunctionNames[3] = {"ComboBoxRelay1", "ComboBoxRelay2",
                                                  "ComboBoxRelay3"};
    for (int i = 0; i < 3; ++i) {
        QComboBox* box = MakeChoiceBox(kFunctionNames[i], {}, group);
        box->setToolTip(kFunctionHint);
        comboRelay_[static_cast<std::size_t>(i)] = box;
        AddFormRow(form, "Функция реле " + QString::number(i + 1), box);
    }
    row->addLayout(form);

    const auto listGroup = [group](const char* caption, const char* name, const char* hint,
                                   QListWidget*& list) {
        auto* sub = new QGroupBox(caption, group);
        auto* box = new QVBoxLayout(sub);
        list = Named(new QListWidget(sub), name);
        list->setToolTip(hint);
        box->addWidget(list);
        return sub;
    };
    row->addWidget(listGroup("Привязка датчиков к реле связи", "CheckListBoxLink", kLinkListHint,
                             checkListLink_));
    row->addWidget(listGroup("Привязка датчиков к реле порога", "CheckListBoxThres",
                             "Сигнализация о превышении порога будет учитывать только отмеченные "
                             "датчики",
                             checkListThres_));

    auto* sensorRelay = new QGroupBox("Для режима датчик-реле", group);
    auto* sensorForm = new QFormLayout(sensorRelay);
    static const char* const kRelSensNames[3] = {"EditRelSens1", "EditRelSens2", "EditRelSens3"};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* edit = MakeValueEdit(kRelSensNames[i], sensorRelay);
        editRelSens_[static_cast<std::size_t>(i)] = edit;
        AddFormRow(sensorForm, "Порог Датчик-Реле " + QString::number(i + 1) + ", Тгр.С", edit);
    }
    auto* sensorColumn = new QVBoxLayout;
    sensorColumn->addWidget(sensorRelay);
    sensorColumn->addStretch();
    row->addLayout(sensorColumn);

    auto* thresholds = new QVBoxLayout;
    grid2_ = Named(new QTableWidget(group), "StringGrid2");
    grid2_->horizontalHeader()->hide();
    grid2_->verticalHeader()->hide();
    grid2_->verticalHeader()->setDefaultSectionSize(20);
    SetUpGrid(grid2_, ThresholdHeadings(), 0);
    grid2_->setColumnWidth(0, 64);
    grid2_->setColumnWidth(1, 56);
    grid2_->setColumnWidth(2, 56);
    grid2_->setFixedWidth(200);
    thresholds->addWidget(BuddyLabel("Температурные пороги,  гр. С", grid2_));
    thresholds->addWidget(grid2_);
    row->addLayout(thresholds);
    return group;
}

void TFormDisplaySelectDlg::FormCreate(int channels) {
    RebuildChannelTable(channels);
    FillCheckList(checkListThres_, channels);
    FillCheckList(checkListLink_, channels);
    for (QComboBox* box : comboRelay_) FillFunctionBox(box);
    SetUpGrid(grid2_, ThresholdHeadings(), channels);
}

void TFormDisplaySelectDlg::Load() {
    if (settings_ == nullptr) return;
    TModuleSettingsFields f = ModuleFields();
    settings_->LoadModuleSettings(f);
    SetModuleFields(f);
    LoadChannelTable();
}

TModuleSettingsFields TFormDisplaySelectDlg::ModuleFields() const {
    TModuleSettingsFields f;
    f.adr = S(editAdr_->text());
    f.speed = GetChoice(comboBox2_);
    f.parity = GetChoice(comboBox3_);
    f.thres1 = S(editThres1_->text());
    f.thres2 = S(editThres2_->text());
    f.hyst = S(editHyst_->text());
    f.delayOn = S(editDelayOn_->text());
    f.delayOff = S(editDelayOff_->text());
    for (std::size_t i = 0; i < 3; ++i) {
        f.relayFunction[i] = GetChoice(comboRelay_[i]);
        f.relSens[i] = S(editRelSens_[i]->text());
    }
    f.link = GetChecks(checkListLink_);
    f.thres = GetChecks(checkListThres_);
    f.thresholds1 = Column(grid2_, 1);
    f.thresholds2 = Column(grid2_, 2);
    return f;
}

void TFormDisplaySelectDlg::SetModuleFields(const TModuleSettingsFields& f) {
    editAdr_->setText(Q(f.adr));
    SetChoice(comboBox2_, f.speed);
    SetChoice(comboBox3_, f.parity);
    editThres1_->setText(Q(f.thres1));
    editThres2_->setText(Q(f.thres2));
    editHyst_->setText(Q(f.hyst));
    editDelayOn_->setText(Q(f.delayOn));
    editDelayOff_->setText(Q(f.delayOff));
    for (std::size_t i = 0; i < 3; ++i) {
        SetChoice(comboRelay_[i], f.relayFunction[i]);
        editRelSens_[i]->setText(Q(f.relSens[i]));
    }
    SetChecks(checkListLink_, f.link);
    SetChecks(checkListThres_, f.thres);
    SetColumn(grid2_, 1, f.thresholds1);
    SetColumn(grid2_, 2, f.thresholds2);
}

void TFormDisplaySelectDlg::ButtonSaveRelaysClick() {
    RunRelayWrite([this] { return settings_->WriteRelaySettings(ModuleFields()); });
}

void TFormDisplaySelectDlg::ButtonSaveConnectClick() {
    RunLinkWrite([this] { return settings_->WriteLinkSettings(ModuleFields()); });
}

}  // namespace kvel
