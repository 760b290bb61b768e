#include "core/test_cycle.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

// The cycle with hooks that record what it presses and shows. A press is over when the event
// loop next runs, as a click whose exchanges run on the link thread; a test may act at a
// given press instead.
class TestCycleTest : public ::testing::Test {
  protected:
    void Make(const std::string& iniText) {
        test::WriteBytes(dir.File("mem.ini"), iniText);
        ini = std::make_unique<MemIni>(dir.File("mem.ini"));
        cycle = std::make_unique<TestCycle>(*ini);
        QObject::connect(cycle.get(), &TestCycle::pressWanted, [this](int command, int press) {
            presses.push_back(command);
            log.push_back({"press " + std::to_string(command), clock.elapsed()});
            if (atPress && presses.size() == atPressNumber) atPress();
            QTimer::singleShot(0, cycle.get(), [this, press] { cycle->pressFinished(press); });
        });
        QObject::connect(cycle.get(), &TestCycle::statusChanged, [this](const QString& text) {
            log.push_back({text.toStdString(), clock.elapsed()});
        });
        cycle->setSecondMs(10);
        clock.start();
    }
    // Runs the event loop until the cycle under way is over.
    void RunCycle() {
        QElapsedTimer waited;
        waited.start();
        while (cycle->running() && waited.elapsed() < 30000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        }
        ASSERT_FALSE(cycle->running());
    }

    struct Event {
        std::string what;
        qint64 ms;
    };
    test::TempDir dir;
    std::unique_ptr<MemIni> ini;
    std::unique_ptr<TestCycle> cycle;
    QElapsedTimer clock;
    std::vector<int> presses;
    std::vector<Event> log;
    std::size_t atPressNumber = 0;
    std::function<void()> atPress;
};

TEST_F(TestCycleTest, SixStepsInOrderEachWithItsWaitAndText) {
    Make("[time]\nve=3\nvv=1\nzr=2\nall=5\n");
    cycle->startTestCycle();
    RunCycle();
    const std::vector<int> order{3, 1, 2, 4, 5, 6};
    EXPECT_EQ(presses, order);
    const char* texts[] = {
        "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В РАБОЧЕЕ",     "ЦИКЛ: ВКЛЮЧЕНИЕ ВВ", "ЦИКЛ: ОТКЛЮЧЕНИЕ ВВ",
        "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В КОНТРОЛЬНОЕ", "ЦИКЛ: ВКЛЮЧЕНИЕ ЗР", "ЦИКЛ: ОТКЛЮЧЕНИЕ ЗР"};
    const qint64 waits[] = {30, 10, 10, 30, 20, 20};
    ASSERT_EQ(log.size(), 19u);  // the last says how long until the next cycle
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(log[3 * i].what, "press " + std::to_string(order[i]));
        EXPECT_EQ(log[3 * i + 1].what, texts[i]);
        EXPECT_EQ(log[3 * i + 2].what, "");  // emptied when the wait is over
        EXPECT_GE(log[3 * i + 2].ms - log[3 * i + 1].ms, waits[i]) << texts[i];
    }
    // It goes on: the next cycle `time`/`all` seconds after this one ended.
    EXPECT_TRUE(cycle->cycling());
    EXPECT_FALSE(cycle->running());
    EXPECT_TRUE(cycle->cycleTimer()->isActive());
    EXPECT_EQ(cycle->cycleTimer()->interval(), 50);
    cycle->stopTestCycle();
    EXPECT_FALSE(cycle->cycling());
    EXPECT_FALSE(cycle->cycleTimer()->isActive());
}

TEST_F(TestCycleTest, TimerTickRunsTheNextCycle) {
    Make("[time]\nve=0\nvv=0\nzr=0\nall=1\n");
    cycle->startTestCycle();
    RunCycle();
    EXPECT_EQ(presses.size(), 6u);
    QElapsedTimer waited;
    waited.start();
    while (presses.size() < 12 && waited.elapsed() < 30000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    EXPECT_GE(presses.size(), 12u);
    cycle->stopTestCycle();
}

TEST_F(TestCycleTest, SwitchedOffDuringStepOneEndsAtOnce) {
    Make("[time]\nve=100000\n");
    cycle->startTestCycle();
    QElapsedTimer waited;
    waited.start();
    while (log.back().what != "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В РАБОЧЕЕ" && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    cycle->stopTestCycle();
    EXPECT_EQ(presses, std::vector<int>{3});
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().what, "");
    EXPECT_FALSE(cycle->cycling());
    EXPECT_FALSE(cycle->running());
    EXPECT_FALSE(cycle->cycleTimer()->isActive());
}

// Switched off while a press is under way (its message box): no wait follows it.
TEST_F(TestCycleTest, SwitchedOffInsideAPressEndsBeforeItsWait) {
    Make("[time]\nve=100000\n");
    atPressNumber = 1;
    atPress = [this] { cycle->stopTestCycle(); };
    cycle->startTestCycle();
    RunCycle();
    EXPECT_EQ(presses, std::vector<int>{3});
    EXPECT_FALSE(cycle->cycling());
    for (const Event& e : log) EXPECT_NE(e.what, "ЦИКЛ: ПЕРЕМЕЩЕНИЕ ВЭ В РАБОЧЕЕ");
}

TEST_F(TestCycleTest, SwitchedOnAgainDuringACycleStartsNoSecondOne) {
    Make("[time]\nve=2\nvv=2\nzr=2\nall=0\n");
    atPressNumber = 2;
    atPress = [this] {
        cycle->startTestCycle();
        cycle->runCycleStep();  // nor does a tick of its timer
    };
    cycle->startTestCycle();
    RunCycle();
    EXPECT_EQ(presses, (std::vector<int>{3, 1, 2, 4, 5, 6}));
}

// Between rounds the status line shows the wait; "Включить" then starts the next round at once.
TEST_F(TestCycleTest, SwitchedOnBetweenRoundsStartsTheNextAtOnce) {
    Make("[time]\nve=0\nvv=0\nzr=0\nall=100\n");
    cycle->startTestCycle();
    RunCycle();
    ASSERT_EQ(presses.size(), 6u);
    ASSERT_TRUE(cycle->cycling());
    EXPECT_EQ(log.back().what, "ЦИКЛ: ОЖИДАНИЕ СЛЕДУЮЩЕГО ЦИКЛА, ОСТАЛОСЬ 100 с");
    QElapsedTimer waited;
    waited.start();
    while (log.back().what.find("ОСТАЛОСЬ 9") == std::string::npos && waited.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
    EXPECT_NE(log.back().what.find("ОСТАЛОСЬ 9"), std::string::npos) << log.back().what;
    cycle->startTestCycle();
    RunCycle();
    EXPECT_EQ(presses.size(), 12u);
    EXPECT_TRUE(cycle->cycling());
    cycle->stopTestCycle();
    EXPECT_EQ(log.back().what, "");
}

TEST_F(TestCycleTest, PeriodOfZeroOrLessRunsOnceAndEnds) {
    for (const char* all : {"0", "-5"}) {
        Make(std::string("[time]\nve=0\nvv=0\nzr=0\nall=") + all + "\n");
        cycle->startTestCycle();
        RunCycle();
        EXPECT_EQ(presses.size(), 6u) << all;
        EXPECT_FALSE(cycle->cycling()) << all;
        EXPECT_FALSE(cycle->cycleTimer()->isActive()) << all;
        // Not stuck "running": it can be started again.
        cycle->startTestCycle();
        RunCycle();
        EXPECT_EQ(presses.size(), 12u) << all;
        presses.clear();
    }
}

}  // namespace
}  // namespace kvel
