#include "core/test_cycle.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <algorithm>
#include <climits>
#include <cstdint>

namespace kvel {
namespace {

struct Step {
    int command;
    const char* key;  // the wait, in section `time`
    int defaultSeconds;
    const char* text;
};

constexpr Step kSteps[] = {
    {3, "ve", 15, "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В РАБОЧЕЕ"},
    {1, "vv", 3, "ЦИКЛ: ВКЛЮЧЕНИЕ ВВ"},
    {2, "vv", 3, "ЦИКЛ: ОТКЛЮЧЕНИЕ ВВ"},
    {4, "ve", 15, "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В КОНТРОЛЬНОЕ"},
    {5, "zr", 10, "ЦИКЛ: ВКЛЮЧЕНИЕ ЗР"},
    {6, "zr", 10, "ЦИКЛ: ОТКЛЮЧЕНИЕ ЗР"},
};

// The wake-up of a wait that has nothing else to do: short enough for "Отключить" to act at
// once, long enough not to load the machine.
constexpr int kWakeMs = 20;

constexpr char kWaitForNextText[] = "ЦИКЛ: ОЖИДАНИЕ СЛЕДУЮЩЕГО ЦИКЛА, ОСТАЛОСЬ ";

int milliseconds(std::int64_t seconds, int secondMs) {
    return static_cast<int>(std::clamp<std::int64_t>(seconds * secondMs, 0, INT_MAX));
}

}  // namespace

TestCycle::TestCycle(const MemIni& ini, Hooks hooks) : ini_(ini), hooks_(std::move(hooks)) {
    cycleTimer_.setSingleShot(false);
    // A coarse timer may run late by a twentieth of its period: 12 s of the 250 between two
    // cycles, and a countdown that would not add up.
    cycleTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&cycleTimer_, &QTimer::timeout, [this] { runCycleStep(); });
    QObject::connect(&countdown_, &QTimer::timeout, [this] { showWaitForNext(); });
}

void TestCycle::startTestCycle() {
    if (running_) {
        cycling_ = true;
        return;
    }
    if (cycling_) {
        // Waiting for its next cycle: the user wants it now.
        runCycleStep();
        return;
    }
    cycleTimer_.setInterval(milliseconds(ini_.readInteger(keys::kTestCyclePeriod), secondMs_));
    cycling_ = true;
    cycleTimer_.start();
    runCycleStep();
}

void TestCycle::stopTestCycle() {
    cycling_ = false;
    cycleTimer_.stop();
    if (countdown_.isActive()) {
        countdown_.stop();
        if (hooks_.status) hooks_.status("");
    }
}

void TestCycle::runCycleStep() {
    cycleTimer_.stop();
    countdown_.stop();
    if (running_ || !cycling_) return;
    runCycle();
    // A period of zero or less would fire at once and for ever: that cycle runs only once.
    if (cycling_ && cycleTimer_.interval() > 0) {
        cycleTimer_.start();
        // The wait is long (250 s by default): the status line shows that cycling goes on.
        countdown_.start(std::max(1, secondMs_));
        showWaitForNext();
    } else {
        cycling_ = false;
    }
}

void TestCycle::showWaitForNext() {
    if (!cycleTimer_.isActive()) return;
    const int second = std::max(1, secondMs_);
    const int left = (std::max(0, cycleTimer_.remainingTime()) + second - 1) / second;
    if (hooks_.status) hooks_.status(kWaitForNextText + std::to_string(left) + " с");
}

void TestCycle::runCycle() {
    running_ = true;
    for (const Step& step : kSteps) {
        // Switched off inside a press (its message box), before any wait.
        if (!cycling_) break;
        if (hooks_.press) hooks_.press(step.command);
        if (!wait(ini_.readInteger(keys::kTestCycleWaits, step.key, step.defaultSeconds),
                  step.text))
            break;
    }
    running_ = false;
}

bool TestCycle::wait(int seconds, const std::string& text) {
    const int ms = milliseconds(seconds, secondMs_);
    if (hooks_.status) hooks_.status(text);
    QElapsedTimer clock;
    clock.start();
    QTimer wake;
    wake.start(kWakeMs);
    // At least one pass, however late this thread runs: a switch-off is always seen.
    bool complete = true;
    do {
        processEvents();
        if (!cycling_) {
            complete = false;
            break;
        }
    } while (clock.elapsed() < ms);
    if (hooks_.status) hooks_.status("");
    return complete;
}

void TestCycle::processEvents() {
    if (hooks_.processEvents) {
        hooks_.processEvents();
    } else {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

}  // namespace kvel
