#include "core/test_cycle.h"

#include <QCoreApplication>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>

#include "core/shown_text.h"

namespace kvel {
namespace {

struct Step {
    int command;
    const char* key;  // the wait, in section `time`
    int defaultSeconds;
    const char* text;
};

constexpr Step kSteps[] = {
    {3, "ve", 15, QT_TRANSLATE_NOOP("KvelView", "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В РАБОЧЕЕ")},
    {1, "vv", 3, QT_TRANSLATE_NOOP("KvelView", "ЦИКЛ: ВКЛЮЧЕНИЕ ВВ")},
    {2, "vv", 3, QT_TRANSLATE_NOOP("KvelView", "ЦИКЛ: ОТКЛЮЧЕНИЕ ВВ")},
    {4, "ve", 15, QT_TRANSLATE_NOOP("KvelView", "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В КОНТРОЛЬНОЕ")},
    {5, "zr", 10, QT_TRANSLATE_NOOP("KvelView", "ЦИКЛ: ВКЛЮЧЕНИЕ ЗР")},
    {6, "zr", 10, QT_TRANSLATE_NOOP("KvelView", "ЦИКЛ: ОТКЛЮЧЕНИЕ ЗР")},
};

constexpr char kWaitForNextText[] =
    QT_TRANSLATE_NOOP("KvelView", "ЦИКЛ: ОЖИДАНИЕ СЛЕДУЮЩЕГО ЦИКЛА, ОСТАЛОСЬ %1 с");

int milliseconds(std::int64_t seconds, int secondMs) {
    return static_cast<int>(std::clamp<std::int64_t>(seconds * secondMs, 0, INT_MAX));
}

}  // namespace

TestCycle::TestCycle(const MemIni& ini, QObject* parent) : QObject(parent), ini_(ini) {
    cycleTimer_.setSingleShot(false);
    // A coarse timer may run late by a twentieth of its period: 12 s of the 250 between two
    // cycles, and a countdown that would not add up.
    cycleTimer_.setTimerType(Qt::PreciseTimer);
    waitTimer_.setSingleShot(true);
    waitTimer_.setTimerType(Qt::PreciseTimer);
    connect(&cycleTimer_, &QTimer::timeout, this, &TestCycle::runCycleStep);
    connect(&countdown_, &QTimer::timeout, this, &TestCycle::showWaitForNext);
    connect(&waitTimer_, &QTimer::timeout, this, &TestCycle::endWait);
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
        showStatus({});
    }
    if (waitTimer_.isActive()) {
        // The wait is aborted: its text goes and the cycle ends.
        waitTimer_.stop();
        showStatus({});
        endCycle();
    }
}

void TestCycle::runCycleStep() {
    cycleTimer_.stop();
    countdown_.stop();
    if (running_ || !cycling_) return;
    running_ = true;
    step_ = 0;
    pressStep();
}

void TestCycle::pressStep() {
    // Switched off inside a press (its message box), before any wait.
    if (!cycling_ || step_ >= std::size(kSteps)) {
        endCycle();
        return;
    }
    const int number = ++pressNumber_;
    emit pressWanted(kSteps[step_].command, number);
}

void TestCycle::pressFinished(int press) {
    if (press == pressNumber_ && running_) startWait();
}

void TestCycle::startWait() {
    if (!cycling_) {
        endCycle();
        return;
    }
    const Step& step = kSteps[step_];
    showStatus(QCoreApplication::translate("KvelView", step.text));
    waitTimer_.start(milliseconds(
        ini_.readInteger(keys::kTestCycleWaits, step.key, step.defaultSeconds), secondMs_));
}

void TestCycle::endWait() {
    showStatus({});
    ++step_;
    pressStep();
}

void TestCycle::endCycle() {
    if (!running_) return;
    running_ = false;
    ++pressNumber_;  // a press still under way no longer belongs to a cycle
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
    showStatus(QString::fromStdString(shownText(kWaitForNextText, {std::to_string(left)})));
}

}  // namespace kvel
