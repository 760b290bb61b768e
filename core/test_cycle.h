#pragma once
#include <QTimer>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include "config/mem_ini.h"

namespace kvel {

// The endless test cycle of switching operations: six command presses, each followed by its
// wait from section `time`, repeated every `time`/`all` seconds by the window's cycleTimer.
// It runs on timers and the presses' results, never in a loop of its own: the windows, the
// poll and the other timers go on meanwhile.
class TestCycle {
  public:
    struct Hooks {
        // As a click of button k; `done` is called once the click's exchanges are over and
        // their results shown. The step's wait starts then.
        std::function<void(int command, std::function<void()> done)> press;
        std::function<void(const std::string& text)> status;  // the window's status bar
    };

    TestCycle(const MemIni& ini, Hooks hooks);
    TestCycle(const TestCycle&) = delete;
    TestCycle& operator=(const TestCycle&) = delete;

    // One second of the waits in milliseconds; tests shorten it.
    void setSecondMs(int ms) { secondMs_ = ms; }

    // "Включить": starts cycling with a cycle at once. While a cycle runs it is not started
    // a second time. Between two cycles it starts the next one at once.
    void startTestCycle();
    // "Отключить": the running wait ends now, its status text is emptied and no further
    // cycle starts; a press under way completes its pulse.
    void stopTestCycle();
    void runCycleStep();

    bool cycling() const { return cycling_; }
    bool running() const { return running_; }
    QTimer* cycleTimer() { return &cycleTimer_; }

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

    const MemIni& ini_;
    Hooks hooks_;
    QTimer cycleTimer_;
    QTimer countdown_;  // refreshes the seconds left between two cycles
    QTimer waitTimer_;  // the wait of the running step
    int secondMs_ = 1000;
    std::size_t step_ = 0;
    // Counts the presses, so that a press that ends after its cycle was stopped is ignored.
    int pressNumber_ = 0;
    bool cycling_ = false;
    bool running_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // for presses that end later
};

}  // namespace kvel
