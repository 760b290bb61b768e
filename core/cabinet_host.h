#pragma once
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
// as long as the main window; the cabinet window attaches itself as the view.
class CabinetHost {
  public:
    CabinetHost(ModuleLink& link, MemIni& ini, LinkThread& thread);
    CabinetHost(const CabinetHost&) = delete;
    CabinetHost& operator=(const CabinetHost&) = delete;

    void setTiming(const CabinetTiming& timing);
    // The window, on the GUI thread; nullptr when none shows the exchanges.
    void setView(CabinetView* view) { view_ = view; }

    // The window's buttons and its choice from the list: each queues its exchanges for the
    // cabinet chosen at the time of the click. `done` runs on the GUI thread after the
    // exchanges' results are shown (the test cycle's wait starts then).
    void commandClick(int command, std::function<void()> done = {});
    void signalClick(int signal);
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
    // no job runs (LinkThread::settle).
    CabinetControl& control() { return control_; }
    MemIni& ini() { return ini_; }
    // True while a command pulse waits for its end.
    bool pulseTimed() const { return thread_.scheduled(); }
    QTimer* refreshTimer() { return &refreshTimer_; }

  private:
    // What the exchanges show, carried to the window on the GUI thread; the cabinet is the
    // one chosen when the job was queued.
    class DeferredView final : public CabinetView {
      public:
        explicit DeferredView(CabinetHost& host) : host_(host) {}
        std::string cabinetName() const override { return name; }
        void setIndicator(int i, bool on) override;
        void setOnlineIndicator(bool on) override;
        std::string name;  // set by each job on the link thread

      private:
        CabinetHost& host_;
    };

    // Queues `work` on the control for the cabinet the window shows now.
    void post(std::function<void(CabinetControl&)> work, std::function<void()> done = {},
              LinkThread::Kind kind = LinkThread::Kind::Exchange);

    MemIni& ini_;
    LinkThread& thread_;
    CabinetControl control_;
    DeferredView deferredView_;
    CabinetView* view_ = nullptr;
    bool refreshing_ = false;
    QTimer refreshTimer_;
};

}  // namespace kvel
