#pragma once
#include <QTimer>
#include <functional>
#include <string>

#include "config/mem_ini.h"

namespace kvel {

// The endless test cycle of switching operations: six command presses, each followed by its
// wait from section `time`, repeated every `time`/`all` seconds by the window's cycleTimer.
class TestCycle {
  public:
    struct Hooks {
        std::function<void(int command)> press;               // exactly as a click of button k
        std::function<void(const std::string& text)> status;  // the window's status bar
        // Lets timers, painting and clicks go on during a wait; by default it waits for the
        // next event of the application (a short timer keeps it from sleeping past the end).
        std::function<void()> processEvents;
    };

    TestCycle(const MemIni& ini, Hooks hooks);
    TestCycle(const TestCycle&) = delete;
    TestCycle& operator=(const TestCycle&) = delete;

    // One second of the waits in milliseconds; tests shorten it.
    void setSecondMs(int ms) { secondMs_ = ms; }

    // "Включить": starts cycling with a cycle at once. While a cycle runs it is not started
    // a second time; pressed again after "Отключить" within the same wait, it keeps it going.
    // Between two cycles it starts the next one at once.
    void startTestCycle();
    // "Отключить": the running wait ends at its next pass and no further cycle starts.
    void stopTestCycle();
    void runCycleStep();

    bool cycling() const { return cycling_; }
    bool running() const { return running_; }
    QTimer* cycleTimer() { return &cycleTimer_; }

  private:
    void runCycle();
    bool wait(int seconds, const std::string& text);
    // The status line between two cycles: the seconds left until the next.
    void showWaitForNext();
    void processEvents();

    const MemIni& ini_;
    Hooks hooks_;
    QTimer cycleTimer_;
    QTimer countdown_;  // refreshes the seconds left between two cycles
    int secondMs_ = 1000;
    bool cycling_ = false;
    bool running_ = false;
};

}  // namespace kvel
