#pragma once
#include <QObject>
#include <QTimer>
#include <chrono>
#include <string>

#include "config/mem_ini.h"
#include "core/cabinet_host.h"
#include "core/link_thread.h"
#include "core/module_settings.h"
#include "core/poll_cycle.h"
#include "core/poll_result.h"
#include "link/module_link.h"

namespace kvel {

// One monitoring session of the module: the link and the thread that serves it, the poll cycle
// with its timer, the module settings operations and cabinet control. The main window and
// `kvelctl serve` drive it alike; what happened reaches them as signals carrying values, on
// the thread that made the session.
class MonitorSession : public QObject {
    Q_OBJECT
  public:
    // `ini` outlives the session; the log's default name is made from `startupDirectory`.
    MonitorSession(MemIni& ini, std::string startupDirectory, QObject* parent = nullptr);
    ~MonitorSession() override;

    ModuleLink& link() { return link_; }
    const ModuleLink& link() const { return link_; }
    LinkThread& linkThread() { return linkThread_; }
    PollCycle& poll() { return poll_; }
    ModuleSettings& moduleSettings() { return moduleSettings_; }
    CabinetHost& cabinet() { return cabinet_; }
    QTimer* pollTimer() { return &pollTimer_; }

    // `measure`/`period` in seconds: the poll timer's interval.
    void setPollPeriod(int seconds);
    int pollPeriod() const { return period_; }
    // Starts the poll timer, unless the period is one the settings dialog would refuse (a
    // zero-interval timer would fire continuously): then pollRefused says why, until a good
    // period is set and pollResumed follows.
    void startPolling();
    // The timer's tick: one poll on the link thread. A poll under way restarts the timer when
    // its result is in.
    void pollModule();
    // While suspended (a module dialog or a scan of the line has the line), no poll starts.
    void setPollSuspended(bool suspended);
    bool pollUnderWay() const { return pollUnderWay_; }
    std::chrono::steady_clock::time_point pollStartedAt() const { return pollStartedAt_; }

    // The program's end, part one: no timer starts another exchange.
    void stopPolling();
    // Part two: the exchange under way ends with its transaction, cut short; what waits is
    // dropped; a running command pulse is ended and the port closed. Results not yet shown are
    // dropped. Once only.
    void finish();
    bool finished() const { return finished_; }

  signals:
    // After each poll; its log line is written after the result is shown.
    void pollFinished(const kvel::PollResult& result);
    void pollRefused(const std::string& status);
    void pollResumed();

  private:
    void applyPoll(PollResult& result);

    MemIni& ini_;
    // The program is closing: read by the link, its thread and the line's pauses.
    ClosingFlag closing_;
    ModuleLink link_{&closing_};
    PollCycle poll_;
    ModuleSettings moduleSettings_;
    QTimer pollTimer_;
    int period_ = 5;
    bool periodRefused_ = false;
    bool pollUnderWay_ = false;
    bool pollSuspended_ = false;
    bool stopped_ = false;
    bool finished_ = false;
    std::chrono::steady_clock::time_point pollStartedAt_{};
    // The thread before the cabinet host that schedules on it; it goes first of the three,
    // while what its jobs use is still there.
    LinkThread linkThread_{closing_};
    CabinetHost cabinet_;
};

}  // namespace kvel
