// The controls of the cabinet window, placed by role; their objectName says their role.
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QVBoxLayout>

#include "windows/cabinet_window.h"

namespace kvel {
namespace {

struct ButtonSpec {
    const char* name;
    const char* caption;
};

constexpr ButtonSpec kButtons[kHostCommands + kHostSignals] = {
    {"vvOnButton", QT_TRANSLATE_NOOP("KvelView", "Включить выключатель")},
    {"vvOffButton", QT_TRANSLATE_NOOP("KvelView", "Отключить выключатель")},
    {"veWorkButton", QT_TRANSLATE_NOOP("KvelView", "Вкатить ВЭ")},
    {"veControlButton", QT_TRANSLATE_NOOP("KvelView", "Выкатить ВЭ")},
    {"zrOnButton", QT_TRANSLATE_NOOP("KvelView", "Включить ЗР")},
    {"zrOffButton", QT_TRANSLATE_NOOP("KvelView", "Отключить ЗР")},
    {"s41Button", "S41"},
    {"s42Button", "S42"},
    {"s43Button", "S43"},
    {"s51Button", "S51"},
    {"s52Button", "S52"},
};

}  // namespace

void CabinetWindow::buildLayout() {
    setObjectName("cabinetWindow");
    setWindowTitle(tr("Управление шкафами через хост-контроллер"));
    // Modal to the main window only: the traffic window stays usable beside it.
    setWindowModality(Qt::WindowModal);

    auto* commands = new QGroupBox(tr("Управление"), this);
    auto* signals_ = new QGroupBox(tr("Сигналы на хост"), this);
    auto* commandGrid = new QGridLayout(commands);
    auto* signalGrid = new QGridLayout(signals_);
    for (int i = 0; i < kHostCommands + kHostSignals; ++i) {
        const bool command = i < kHostCommands;
        QGroupBox* group = command ? commands : signals_;
        QGridLayout* grid = command ? commandGrid : signalGrid;
        const int row = command ? i : i - kHostCommands;
        auto* button =
            new QPushButton(QCoreApplication::translate("KvelView", kButtons[i].caption), group);
        button->setObjectName(kButtons[i].name);
        button->setAutoDefault(false);
        // A switching command needs a deliberate click: no Space or Enter reaches it.
        button->setFocusPolicy(Qt::NoFocus);
        auto* lamp = new IndicatorLamp("lamp" + QString::number(i + 1), group);
        grid->addWidget(button, row, 0);
        grid->addWidget(lamp, row, 1);
        buttons_[static_cast<std::size_t>(i)] = button;
        lamps_[static_cast<std::size_t>(i)] = lamp;
    }
    signalGrid->setRowStretch(kHostSignals, 1);

    auto* cabinet = new QGroupBox(tr("Текущий шкаф"), this);
    cabinetCombo_ = new QComboBox(cabinet);
    cabinetCombo_->setObjectName("cabinetCombo");
    // A name may be typed as well as chosen; typing never adds it to the list.
    cabinetCombo_->setEditable(true);
    cabinetCombo_->setInsertPolicy(QComboBox::NoInsert);
    cabinetCombo_->setMinimumWidth(180);
    auto* online = new QHBoxLayout();
    online->addWidget(new QLabel(tr("Шкаф на связи"), cabinet));
    onlineLamp_ = new IndicatorLamp("onlineLamp", cabinet);
    online->addWidget(onlineLamp_);
    online->addStretch();
    auto* cabinetLayout = new QVBoxLayout(cabinet);
    cabinetLayout->addWidget(cabinetCombo_);
    cabinetLayout->addLayout(online);

    auto* addressing = new QGroupBox(tr("Контроллер"), this);
    radioHost_ = new QRadioButton(tr("Хост"), addressing);
    radioHost_->setObjectName("hostRadio");
    radioMnemo_ = new QRadioButton(tr("Мнемо"), addressing);
    radioMnemo_->setObjectName("mnemoRadio");
    auto* addressingLayout = new QHBoxLayout(addressing);
    addressingLayout->addWidget(radioHost_);
    addressingLayout->addWidget(radioMnemo_);

    auto* cycle = new QGroupBox(tr("Тестовый цикл"), this);
    cyclesOn_ = new QPushButton(tr("Включить"), cycle);
    cyclesOn_->setObjectName("cyclesOnButton");
    cyclesOn_->setAutoDefault(false);
    cyclesOn_->setFocusPolicy(Qt::NoFocus);  // starts switching as well
    cyclesOff_ = new QPushButton(tr("Отключить"), cycle);
    cyclesOff_->setObjectName("cyclesOffButton");
    cyclesOff_->setAutoDefault(false);
    auto* cycleLayout = new QHBoxLayout(cycle);
    cycleLayout->addWidget(cyclesOn_);
    cycleLayout->addWidget(cyclesOff_);

    auto* right = new QVBoxLayout();
    right->addWidget(cabinet);
    right->addWidget(addressing);
    right->addWidget(cycle);
    right->addStretch();

    auto* columns = new QHBoxLayout();
    columns->addWidget(commands);
    columns->addWidget(signals_);
    columns->addLayout(right);

    auto* statusBar = new QStatusBar(this);
    statusBar->setObjectName("statusBar");
    statusBar->setSizeGripEnabled(false);
    statusPanel_ = new QLabel(statusBar);
    statusBar->addWidget(statusPanel_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(statusBar);
}

}  // namespace kvel
