#include "windows/alarm_window.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "config/channel_name.h"
#include "core/alarm_log.h"
#include "link/message_sink.h"
#include "windows/dialog_controls.h"

namespace kvel {
namespace {

enum AlarmColumn { kTime, kChannel, kName, kKind, kValue, kLimit, kState, kAlarmColumns };
enum RuleColumn { kRuleName, kRuleLow, kRuleHigh, kRuleColumns };

QPushButton* plainButton(const QString& text, const char* name, QWidget* parent) {
    // Enter in a field never presses a button by accident: no button is a default one.
    auto* button = named(new QPushButton(text, parent), name);
    button->setAutoDefault(false);
    return button;
}

QString timeText(std::time_t at) {
    return QDateTime::fromSecsSinceEpoch(at).toString("dd.MM.yy HH:mm:ss");
}

}  // namespace

AlarmWindow::AlarmWindow(AlarmCenter& alarms, QWidget* parent) : QDialog(parent), alarms_(alarms) {
    setObjectName("alarmWindow");
    setWindowTitle(tr("Сигнализация"));
    tabs_ = new QTabWidget(this);
    tabs_->addTab(buildAlarmTab(), tr("Тревоги"));
    tabs_->addTab(buildRuleTab(), tr("Уставки"));
    auto* close = plainButton(tr("Закрыть"), "closeButton", this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(close);
    layout->addLayout(bottom);
    resize(760, 520);
    connect(&alarms_, &AlarmCenter::alarmsChanged, this, &AlarmWindow::refresh);
    refresh();
    loadRules();
}

QWidget* AlarmWindow::buildAlarmTab() {
    auto* page = new QWidget;
    alarmList_ = named(new QTableWidget(0, kAlarmColumns, page), "alarmList");
    alarmList_->setHorizontalHeaderLabels({tr("Время"), tr("Канал"), tr("Имя"), tr("Вид"),
                                           tr("Значение"), tr("Предел"), tr("Состояние")});
    alarmList_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    alarmList_->setSelectionBehavior(QAbstractItemView::SelectRows);
    alarmList_->verticalHeader()->hide();
    alarmList_->horizontalHeader()->setStretchLastSection(true);
    auto* acknowledge = plainButton(tr("Квитировать"), "acknowledgeButton", page);
    auto* acknowledgeAll = plainButton(tr("Квитировать все"), "acknowledgeAllButton", page);
    connect(acknowledge, &QPushButton::clicked, this, &AlarmWindow::acknowledgeSelected);
    connect(acknowledgeAll, &QPushButton::clicked, &alarms_, &AlarmCenter::acknowledgeAll);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(acknowledge);
    buttons->addWidget(acknowledgeAll);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(alarmList_);
    layout->addLayout(buttons);
    return page;
}

QWidget* AlarmWindow::buildRuleTab() {
    auto* page = new QWidget;
    ruleGrid_ = named(new QTableWidget(kMaxChannels, kRuleColumns, page), "ruleGrid");
    ruleGrid_->setHorizontalHeaderLabels(
        {tr("Канал"), tr("Нижний предел, гр.С"), tr("Верхний предел, гр.С")});
    ruleGrid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    for (int n = 1; n <= kMaxChannels; ++n) {
        auto* name = new QTableWidgetItem;
        name->setFlags(Qt::ItemIsEnabled);
        ruleGrid_->setItem(n - 1, kRuleName, name);
        ruleGrid_->setItem(n - 1, kRuleLow, new QTableWidgetItem);
        ruleGrid_->setItem(n - 1, kRuleHigh, new QTableWidgetItem);
    }
    hysteresisEdit_ = named(new QLineEdit(page), "hysteresisEdit");
    delayEdit_ = named(new QLineEdit(page), "delayEdit");
    sensorCheck_ =
        named(new QCheckBox(tr("Тревога при отсутствии показаний канала"), page), "sensorCheck");
    linkCheck_ = named(new QCheckBox(tr("Тревога при потере связи с модулем"), page), "linkCheck");
    notifyCheck_ = named(new QCheckBox(tr("Уведомления рабочего стола"), page), "notifyCheck");
    logEdit_ = named(new QLineEdit(page), "alarmLogEdit");
    auto* apply = plainButton(tr("Применить"), "applyRulesButton", page);
    connect(apply, &QPushButton::clicked, this, &AlarmWindow::applyRules);
    for (QLineEdit* edit : {hysteresisEdit_, delayEdit_, logEdit_}) {
        connect(edit, &QLineEdit::returnPressed, this, &AlarmWindow::applyRules);
    }
    auto* form = new QFormLayout;
    addFormRow(form, tr("&Гистерезис, гр.С"), hysteresisEdit_);
    addFormRow(form, tr("&Задержка, с"), delayEdit_);
    addFormRow(form, tr("&Журнал сигнализации"), logEdit_);
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(ruleGrid_);
    layout->addLayout(form);
    layout->addWidget(sensorCheck_);
    layout->addWidget(linkCheck_);
    layout->addWidget(notifyCheck_);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(apply);
    layout->addLayout(buttons);
    return page;
}

void AlarmWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    loadRules();
    refresh();
}

void AlarmWindow::refresh() {
    const std::vector<Alarm>& alarms = alarms_.monitor().alarms();
    alarmList_->setRowCount(static_cast<int>(alarms.size()));
    int row = 0;
    // Newest first: the one that just came is at the top.
    for (auto it = alarms.rbegin(); it != alarms.rend(); ++it, ++row) {
        const Alarm& a = *it;
        const QString texts[kAlarmColumns] = {
            timeText(a.raisedAt),
            QString::fromStdString(alarmChannelField(a)),
            QString::fromStdString(alarms_.channelName(a)),
            QCoreApplication::translate("KvelView", alarmKindText(a.kind)),
            QString::fromStdString(alarmValueField(a, a.value)),
            QString::fromStdString(alarmLimitField(a)),
            QCoreApplication::translate("KvelView", alarmStateText(a))};
        for (int column = 0; column < kAlarmColumns; ++column) {
            auto* item = new QTableWidgetItem(texts[column]);
            item->setData(Qt::UserRole, a.id);
            alarmList_->setItem(row, column, item);
        }
    }
    alarmList_->resizeColumnsToContents();
}

void AlarmWindow::acknowledgeSelected() {
    std::vector<int> ids;
    for (const QModelIndex& index : alarmList_->selectionModel()->selectedRows()) {
        ids.push_back(alarmList_->item(index.row(), kTime)->data(Qt::UserRole).toInt());
    }
    for (const int id : ids) alarms_.acknowledge(id);
}

AlarmRulesForm AlarmWindow::form() const {
    AlarmRulesForm form;
    for (int n = 1; n <= kMaxChannels; ++n) {
        const auto index = static_cast<std::size_t>(n);
        form.low[index] = ruleGrid_->item(n - 1, kRuleLow)->text().trimmed().toStdString();
        form.high[index] = ruleGrid_->item(n - 1, kRuleHigh)->text().trimmed().toStdString();
    }
    form.hysteresis = hysteresisEdit_->text().trimmed().toStdString();
    form.delay = delayEdit_->text().trimmed().toStdString();
    form.sensor = sensorCheck_->isChecked();
    form.link = linkCheck_->isChecked();
    form.notify = notifyCheck_->isChecked();
    form.logFile = logEdit_->text().trimmed().toStdString();
    return form;
}

void AlarmWindow::setForm(const AlarmRulesForm& form) {
    for (int n = 1; n <= kMaxChannels; ++n) {
        const auto index = static_cast<std::size_t>(n);
        ruleGrid_->item(n - 1, kRuleName)->setText(QString::fromStdString(alarms_.channelName(n)));
        ruleGrid_->item(n - 1, kRuleLow)->setText(QString::fromStdString(form.low[index]));
        ruleGrid_->item(n - 1, kRuleHigh)->setText(QString::fromStdString(form.high[index]));
    }
    hysteresisEdit_->setText(QString::fromStdString(form.hysteresis));
    delayEdit_->setText(QString::fromStdString(form.delay));
    sensorCheck_->setChecked(form.sensor);
    linkCheck_->setChecked(form.link);
    notifyCheck_->setChecked(form.notify);
    logEdit_->setText(QString::fromStdString(form.logFile));
}

void AlarmWindow::loadRules() {
    setForm(formFromRules(alarms_.rules()));
}

bool AlarmWindow::applyRules() {
    std::string error;
    const std::optional<AlarmRules> rules = rulesFromForm(form(), error);
    if (!rules) {
        showMessage(error, "Ошибка");
        return false;
    }
    if (!alarms_.applyRules(*rules, error)) {
        showMessage(error, "Ошибка");
        return false;
    }
    return true;
}

}  // namespace kvel
