#pragma once
#include <QTimer>

#include "core/cabinet_control.h"

namespace kvel {

// The main window's part of cabinet control: the exchanges and their two timers, pulseTimer
// (2000 ms, ends a command pulse) and refreshTimer (1000 ms, refreshes the window while it is
// shown). It lives as long as the main window; the cabinet window attaches itself as the view.
class CabinetHost {
  public:
    CabinetHost(ModuleLink& link, MemIni& ini);
    CabinetHost(const CabinetHost&) = delete;
    CabinetHost& operator=(const CabinetHost&) = delete;

    void setTiming(const CabinetTiming& timing);
    void setView(CabinetView* view) { control_.setView(view); }

    void endPulseStep() { control_.commandStep(); }
    // Off while it works, as the poll's timer is: on a silent line a refresh takes longer than
    // its period, and the window would otherwise get no time between two of them.
    void refreshCabinet();
    // At program end, before the port closes: no more refreshes, and a running pulse is ended
    // now rather than leave its command register at 1.
    void shutdown();

    CabinetControl& control() { return control_; }
    MemIni& ini() { return ini_; }
    QTimer* pulseTimer() { return &pulseTimer_; }
    QTimer* refreshTimer() { return &refreshTimer_; }

  private:
    MemIni& ini_;
    CabinetControl control_;
    QTimer pulseTimer_;
    QTimer refreshTimer_;
};

}  // namespace kvel
