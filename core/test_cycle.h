#pragma once
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstddef>

#include "config/mem_ini.h"

namespace kvel {

// The endless test cycle of switching operations: six command presses, each followed by its
// wait from section `time`, repeated every `time`/`all` seconds by the window's cycleTimer.
// It runs on timers and the presses' results, never in a loop of its own: the windows, the
// poll and the other timers go on meanwhile.
class TestCycle : public QObject {
    Q_OBJECT
  public:
    explicit TestCycle(const MemIni& ini, QObject* parent = nullptr);

    // One second of the waits in milliseconds; tests shorten it.
    void setSecondMs(int ms) { secondMs_ = ms; }

    // "Включить": starts cycling with a cycle at once. While a cycle runs it is not started
    // a second time. Between two cycles it starts the next one at once.
    void startTestCycle();
    // "Отключить": the running wait ends now, its status text is emptied and no further
    // cycle starts; a press under way completes its pulse.
    void stopTestCycle();
    void runCycleStep();
    // The exchanges of pressWanted(…, `press`) are over and their results shown: the step's
    // wait starts now. A press that ends after its cycle was stopped is ignored.
    void pressFinished(int press);

    bool cycling() const { return cycling_; }
    bool running() const { return running_; }
    QTimer* cycleTimer() { return &cycleTimer_; }

  signals:
    // As a click of button `command`; pressFinished(`press`) is awaited.
    void pressWanted(int command, int press);
    // The window's status bar.
    void statusChanged(const QString& text);

  private:
    // Presses the button of step `step_`, or ends the cycle after the last step.
    void pressStep();
    // The press is over: the step's text and its wait.
    void startWait();
    // The wait is over: its text goes, and the next step follows.
    void endWait();
    // The cycle is over: the next one is due `time`/`all` seconds from now.
    void endCycle();
    // The status line between two cycles: the seconds left until the next.
    void showWaitForNext();

    void showStatus(const QString& text) { emit statusChanged(text); }

    const MemIni& ini_;
    QTimer cycleTimer_;
    QTimer countdown_;  // refreshes the seconds left between two cycles
    QTimer waitTimer_;  // the wait of the running step
    int secondMs_ = 1000;
    std::size_t step_ = 0;
    // Counts the presses from 1, so that a press that ends after its cycle was stopped (or one
    // the user clicked, numbered 0) is ignored.
    int pressNumber_ = 0;
    bool cycling_ = false;
    bool running_ = false;
};

}  // namespace kvel
