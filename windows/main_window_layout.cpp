// The controls of the main window, placed by role; their objectName says their role.
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "windows/channel_grid.h"
#include "windows/indicator_lamp.h"
#include "windows/main_window.h"
#include "windows/named.h"

namespace kvel {

void MainWindow::buildLayout() {
    setObjectName("mainWindow");
    setWindowTitle("KvelView");
    resize(1292, 778);
    QFont font("MS Sans Serif");
    font.setPointSize(8);
    setFont(font);

    auto* toolBar = named(new QToolBar(this), "toolBar");
    toolBar->setFixedHeight(49);
    toolBar->setMovable(false);
    addToolBar(toolBar);

    auto* central = new QWidget(this);
    auto* row = new QHBoxLayout(central);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);

    auto* leftPanel = named(new QFrame(central), "leftPanel");
    leftPanel->setFixedWidth(185);
    auto* leftLayout = new QVBoxLayout(leftPanel);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    readingsGrid_ = named(new ChannelGrid(kMaxChannels, leftPanel), "readingsGrid");
    leftLayout->addWidget(readingsGrid_);
    row->addWidget(leftPanel);

    row->addWidget(buildChartPanel(), 1);
    row->addWidget(buildRightColumn());
    setCentralWidget(central);

    auto* status = named(new QStatusBar(this), "statusBar");
    statusPanels_[0] = new QLabel(status);
    statusPanels_[0]->setFixedWidth(800);
    statusPanels_[1] = new QLabel(status);
    statusPanels_[1]->setMinimumWidth(50);
    status->addPermanentWidget(statusPanels_[0]);
    status->addPermanentWidget(statusPanels_[1], 1);
    // Alarms waiting for acknowledgement; a click opens "Сигнализация".
    alarmIndicator_ = named(new QPushButton(status), "alarmIndicator");
    alarmIndicator_->setFlat(true);
    alarmIndicator_->setAutoDefault(false);
    alarmIndicator_->setFocusPolicy(Qt::NoFocus);
    status->addPermanentWidget(alarmIndicator_);
    // A module write that the last session's end cut short, until this session ends.
    unwrittenPanel_ = named(new QLabel(status), "unwrittenPanel");
    unwrittenPanel_->setStyleSheet("color: #b00000");
    unwrittenPanel_->hide();
    status->addWidget(unwrittenPanel_, 1);
    setStatusBar(status);
}

QWidget* MainWindow::buildChartPanel() {
    chartPanel_ = new ChartPanel({}, this);
    trendPlot_ = chartPanel_->plot();
    for (int k = 0; k < kChartSlots; ++k) {
        auto& owner = lineOwners_[static_cast<std::size_t>(k)];
        owner = std::make_unique<XYLine>();
        owner->setPlot(trendPlot_);
        lines_[static_cast<std::size_t>(k)] = owner.get();
    }
    return chartPanel_;
}

QWidget* MainWindow::buildRightColumn() {
    auto* rightPanel = named(new QFrame(), "rightPanel");
    rightPanel->setFixedWidth(216);
    rightPanel->setAutoFillBackground(true);
    QPalette silver = rightPanel->palette();
    silver.setColor(QPalette::Window, QColor(0xC0, 0xC0, 0xC0));
    rightPanel->setPalette(silver);
    QFont bold = rightPanel->font();
    bold.setBold(true);
    rightPanel->setFont(bold);
    auto* column = new QVBoxLayout(rightPanel);

    column->addWidget(
        named(new QPushButton(tr("Настройки программы"), rightPanel), "programSettingsButton"));
    column->addWidget(
        named(new QPushButton(tr("Настройки модуля"), rightPanel), "moduleSettingsButton"));
    cabinetButton_ = named(new QPushButton(tr("Управление шкафами"), rightPanel), "cabinetButton");
    cabinetButton_->hide();
    column->addWidget(cabinetButton_);

    for (int k = 1; k <= kChartSlots; ++k)
        chartPanel_->curveCheck(k)->setText(tr("Канал ") + QString::number(k));
    column->addWidget(chartPanel_->curveChecks());
    column->addWidget(chartPanel_->markersCheck());
    chartUpdatingCheck_ =
        named(new QCheckBox(tr("Обновлять диаграмму"), rightPanel), "chartUpdatingCheck");
    column->addWidget(chartUpdatingCheck_);

    auto* relayRow = new QGridLayout();
    const QString relayCaptions[kRelayCount] = {tr("Реле1"), tr("Реле 2"), tr("Реле 3")};
    for (int i = 0; i < kRelayCount; ++i) {
        relayRow->addWidget(new QLabel(relayCaptions[i], rightPanel), 0, i, Qt::AlignCenter);
        auto* relay = new IndicatorLamp("relayIndicator" + QString::number(i + 1), rightPanel);
        relayRow->addWidget(relay, 1, i, Qt::AlignCenter);
        relayIndicators_[static_cast<std::size_t>(i)] = relay;
    }
    column->addLayout(relayRow);
    column->addStretch();
    auto* linkRow = new QHBoxLayout();
    linkRow->addWidget(new QLabel(tr("Модуль на связи"), rightPanel));
    linkIndicator_ = new IndicatorLamp("linkIndicator", rightPanel);
    linkRow->addWidget(linkIndicator_);
    column->addLayout(linkRow);
    return rightPanel;
}

}  // namespace kvel
