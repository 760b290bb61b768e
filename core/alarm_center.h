#pragma once
#include <QObject>
#include <QString>
#include <string>
#include <vector>

#include "config/mem_ini.h"
#include "core/alarm_monitor.h"
#include "core/desktop_notifier.h"

namespace kvel {

// The program's alarms: the rules of mem.ini's [alarms] evaluated after every poll, each event
// written to the alarm log, each raise notified on the desktop. The windows show `monitor()`
// and are told of every change by `alarmsChanged`.
class AlarmCenter : public QObject {
    Q_OBJECT
  public:
    explicit AlarmCenter(MemIni& ini, QObject* parent = nullptr);

    // Reads the rules from mem.ini; what could not be read is listed in `problems`.
    void loadRules(std::vector<std::string>* problems = nullptr);
    // Stores and applies new rules; false with mem.ini's reason when the file could not be
    // written (the rules apply all the same).
    bool applyRules(const AlarmRules& rules, std::string& error);
    const AlarmRules& rules() const { return monitor_.rules(); }

    void evaluate(const PollReadings& readings);
    void acknowledge(int id);
    void acknowledgeAll();

    const AlarmMonitor& monitor() const { return monitor_; }
    DesktopNotifier& notifier() { return notifier_; }
    // The channel's name as the grid shows it; empty for the link.
    std::string channelName(const Alarm& alarm) const;
    std::string channelName(int channel) const;

  signals:
    void alarmsChanged();

  private:
    void record(const std::vector<AlarmEvent>& events);

    MemIni& ini_;
    AlarmMonitor monitor_;
    DesktopNotifier notifier_;
    bool logFailureShown_ = false;
};

}  // namespace kvel
