#pragma once
#include <QObject>
#include <QTimer>
#include <functional>
#include <string>

#include "core/cabinet_control.h"
#include "core/link_thread.h"

namespace kvel {

// The main window's part of cabinet control: the exchanges, run as jobs of the link thread;
// the end of a command pulse, timed on the link thread from the write that began it, so that
// nothing clicked meanwhile makes a pulse shorter (or a stale end cuts the next one); and the
// refresh timer on the GUI thread (1000 ms, refreshes the window while it is shown). It lives
// as long as the session; what the exchanges found reaches the cabinet window as signals.
class CabinetHost : public QObject {
    Q_OBJECT
  public:
    CabinetHost(ModuleLink& link, MemIni& ini, LinkThread& thread);

    void setTiming(const CabinetTiming& timing);
    // The cabinet the window's list shows now: the exchanges queued from now on are for it.
    void setCabinetName(std::string name) { cabinetName_ = std::move(name); }
    const std::string& cabinetName() const { return cabinetName_; }

    // The window's buttons and its choice from the list: each queues its exchanges for the
    // cabinet chosen at the time of the press. Once the exchanges' results are out,
    // commandFinished(`press`) follows (the test cycle's wait starts then).
    void pressCommand(int command, int press = 0);
    void toggleSignal(int signal);
    void refreshNow();

    // The refresh timer's tick. The timer is off while the refresh works, as the poll's timer
    // is: on a silent line a refresh takes longer than its period.
    void refreshCabinet();
    void startRefreshing();
    // No more refreshes: the timer stops and refreshes still waiting are dropped.
    void stopRefreshing();
    // At program end, on the link thread before the port closes: a running pulse is ended now
    // rather than leave its command register at 1 (no pause after it: nothing follows).
    void releaseAtExit();
    // At program end, on the GUI thread: no timer starts another exchange.
    void stopTimers();

    // The exchanges themselves. Their state belongs to the link thread: read it only while
    // no job runs.
    CabinetControl& control() { return control_; }
    MemIni& ini() { return ini_; }
    // True while a command pulse waits for its end.
    bool pulseTimed() const { return thread_.scheduled(); }
    QTimer* refreshTimer() { return &refreshTimer_; }

  signals:
    // What a job did, on the GUI thread in the order of the jobs; the window shows its lamps,
    // then its failures in boxes.
    void cabinetUpdated(const kvel::CabinetUpdate& update);
    // The exchanges of pressCommand(…, press) are over and their results out.
    void commandFinished(int press);

  private:
    using Work = std::function<CabinetUpdate(CabinetControl&, const std::string& cabinet)>;
    // Queues `work` on the control for the cabinet the window shows now; its update goes to
    // the window, then `done` follows.
    void post(Work work, std::function<void()> done = {},
              LinkThread::Kind kind = LinkThread::Kind::Exchange);
    // On the link thread: the end of a pulse is timed from its write.
    void scheduleRelease(CabinetControl::Clock::time_point due);

    MemIni& ini_;
    LinkThread& thread_;
    CabinetControl control_;
    std::string cabinetName_;
    bool refreshing_ = false;
    QTimer refreshTimer_;
};

}  // namespace kvel
