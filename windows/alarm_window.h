#pragma once
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>

#include "core/alarm_center.h"

namespace kvel {

// "Сигнализация": the alarms with their times, values and states, acknowledged one by one or
// all at once, and the rules that raise them. Not modal: it stays open beside the main window
// and follows every poll.
class AlarmWindow : public QDialog {
    Q_OBJECT
  public:
    explicit AlarmWindow(AlarmCenter& alarms, QWidget* parent = nullptr);

    // The list as the alarms stand now.
    void refresh();
    // The rule fields from the rules in force (what was typed and not applied is dropped).
    void loadRules();
    // Checks the rule fields, then stores and applies them; a field at fault is named in a
    // message and nothing changes.
    bool applyRules();

    AlarmRulesForm form() const;
    void setForm(const AlarmRulesForm& form);
    QTableWidget* alarmList() const { return alarmList_; }
    QTableWidget* ruleGrid() const { return ruleGrid_; }

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void acknowledgeSelected();
    QWidget* buildAlarmTab();
    QWidget* buildRuleTab();

    AlarmCenter& alarms_;
    QTabWidget* tabs_ = nullptr;
    QTableWidget* alarmList_ = nullptr;
    QTableWidget* ruleGrid_ = nullptr;
    QLineEdit* hysteresisEdit_ = nullptr;
    QLineEdit* delayEdit_ = nullptr;
    QCheckBox* sensorCheck_ = nullptr;
    QCheckBox* linkCheck_ = nullptr;
    QCheckBox* notifyCheck_ = nullptr;
    QLineEdit* logEdit_ = nullptr;
};

}  // namespace kvel
