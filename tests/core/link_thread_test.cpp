#include "core/link_thread.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "link/message_sink.h"
#include "tests/common/link_thread_drain.h"

namespace kvel {
namespace {

// Records the boxes and the thread that showed them.
class LinkThreadTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setMessageSink([this](const std::string& text, const std::string& caption) {
            shownOnGui.push_back(std::this_thread::get_id() == gui);
            events.push_back("box " + caption + ": " + text);
        });
    }
    void TearDown() override { setMessageSink(nullptr); }

    ClosingFlag closing;
    const std::thread::id gui = std::this_thread::get_id();
    std::vector<std::string> events;
    std::vector<bool> shownOnGui;
};

// Jobs run one after another in the order posted, off the GUI thread; the value each returns
// (its boxes included) reaches its continuation on the GUI thread, job after job, and the boxes
// are shown there after the result.
TEST_F(LinkThreadTest, JobsRunInOrderAndTheirResultsComeBackInOrder) {
    LinkThread thread{closing};
    std::vector<int> ran;  // written by the link thread only
    std::atomic<bool> offGui = true;
    for (int k = 0; k < 3; ++k) {
        using Result = std::pair<std::string, Messages>;
        thread.post<Result>(
            [&, k] {
                if (std::this_thread::get_id() == gui) offGui = false;
                closing.pause(20 - 5 * k);  // a later job is shorter: it still runs later
                ran.push_back(k);
                return Result{"result " + std::to_string(k), {{"m" + std::to_string(k), "Ошибка"}}};
            },
            [&](Result& result) {
                if (std::this_thread::get_id() != gui) result.first += " off the GUI thread";
                events.push_back(result.first);
                showMessages(result.second);
            });
    }
    EXPECT_TRUE(events.empty());  // nothing is applied before the event loop runs
    ASSERT_TRUE(test::DrainLinkThread(thread, 5000));
    EXPECT_TRUE(offGui);
    EXPECT_EQ(ran, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(events, (std::vector<std::string>{"result 0", "box Ошибка: m0", "result 1",
                                                "box Ошибка: m1", "result 2", "box Ошибка: m2"}));
    EXPECT_EQ(shownOnGui, (std::vector<bool>{true, true, true}));
}

// Refreshes waiting behind a long job are dropped; other jobs stay.
TEST_F(LinkThreadTest, DroppedKindLeavesTheOthers) {
    LinkThread thread{closing};
    std::vector<std::string> ran;
    thread.post([&] { closing.pause(100); });
    thread.post([&] { ran.push_back("refresh"); }, {}, LinkThread::Kind::CabinetRefresh);
    thread.post([&] { ran.push_back("command"); });
    thread.dropQueued(LinkThread::Kind::CabinetRefresh);
    ASSERT_TRUE(test::DrainLinkThread(thread, 5000));
    EXPECT_EQ(ran, std::vector<std::string>{"command"});
}

// A caller without an event loop gets its job's value behind the jobs queued before it, run on
// the link thread; once the thread has finished, nothing, at once rather than a wait for ever.
TEST_F(LinkThreadTest, RunAndWaitReturnsTheJobsValueOrNothingOnceFinished) {
    LinkThread thread{closing};
    std::vector<std::string> ran;
    thread.post([&] {
        closing.pause(50);
        ran.push_back("queued");
    });
    const std::optional<std::thread::id> on = thread.runAndWait<std::thread::id>([&] {
        ran.push_back("waited for");
        return std::this_thread::get_id();
    });
    ASSERT_TRUE(on.has_value());
    EXPECT_NE(*on, gui);
    EXPECT_EQ(ran, (std::vector<std::string>{"queued", "waited for"}));
    thread.finish({});
    EXPECT_FALSE(thread.runAndWait<int>([] { return 1; }).has_value());
}

// A job scheduled for later runs when it is due, inside the pause of the job under way and
// ahead of the jobs queued; one scheduled again replaces the first, and a cancelled one never
// runs.
TEST_F(LinkThreadTest, ScheduledJobRunsWhenDueAheadOfTheQueue) {
    LinkThread thread{closing};
    std::vector<std::string> ran;  // written by the link thread only
    thread.schedule(10000, [&] { ran.push_back("replaced"); });
    // While job 1 runs; its continuation comes back on the GUI thread, ahead of job 1's.
    thread.schedule(
        150, [&] { ran.push_back("due"); },
        [&] { events.push_back(std::this_thread::get_id() == gui ? "due shown" : "off GUI"); });
    for (int k = 0; k < 4; ++k) {
        thread.post([&, k] {
            closing.pause(100);
            ran.push_back("job " + std::to_string(k));
        });
    }
    ASSERT_TRUE(test::DrainLinkThread(thread, 5000));
    EXPECT_FALSE(thread.scheduled());
    // Due inside job 1's pause: it runs there, between that job's exchanges.
    EXPECT_EQ(ran, (std::vector<std::string>{"job 0", "due", "job 1", "job 2", "job 3"}));
    EXPECT_EQ(events, std::vector<std::string>{"due shown"});

    thread.post([&] { thread.schedule(30, [&] { ran.push_back("cancelled"); }); });
    thread.post([&] { thread.cancelScheduled(); });
    ASSERT_TRUE(test::DrainLinkThread(thread, 5000));
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 100) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(ran.size(), 5u);
}

// A job scheduled from the GUI thread while a long pause is already waiting runs when it is
// due, inside that pause, not after it.
TEST_F(LinkThreadTest, AJobScheduledDuringAPauseRunsInsideIt) {
    LinkThread thread{closing};
    std::atomic<bool> started = false;
    std::vector<std::string> ran;  // written by the link thread only
    thread.post([&] {
        started = true;
        closing.pause(1500);
        ran.push_back("long");
    });
    while (!started) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    QElapsedTimer clock;
    clock.start();
    std::atomic<qint64> ranAtMs = -1;
    thread.schedule(50, [&] {
        ranAtMs = clock.elapsed();
        ran.push_back("due");
    });
    ASSERT_TRUE(test::DrainLinkThread(thread, 5000));
    EXPECT_EQ(ran, (std::vector<std::string>{"due", "long"}));
    EXPECT_LT(ranAtMs, 1000);
}

// The closing flag, set from another thread while a job sleeps in a pause of seconds, ends the
// pause at once (the thread is woken, not left to sleep it out); a pause taken while it is set
// does not wait at all, and once it is cleared the pauses are whole again.
TEST_F(LinkThreadTest, TheClosingFlagWakesAWaitingPauseAtOnce) {
    LinkThread thread{closing};
    std::atomic<bool> started = false;
    std::atomic<qint64> pausedMs = -1;
    std::atomic<qint64> whilePausedMs = -1;
    thread.post([&] {
        started = true;
        QElapsedTimer pause;
        pause.start();
        closing.pause(10000);
        pausedMs = pause.elapsed();
        pause.restart();
        closing.pause(10000);
        whilePausedMs = pause.elapsed();
    });
    while (!started) std::this_thread::yield();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    closing.set();
    QElapsedTimer clock;
    clock.start();
    while (whilePausedMs < 0 && clock.elapsed() < 5000) std::this_thread::yield();
    EXPECT_GE(pausedMs, 40);
    EXPECT_LT(pausedMs, 1000);
    EXPECT_LT(whilePausedMs, 50);

    closing.clear();
    std::atomic<qint64> clearedMs = -1;
    thread.post([&] {
        QElapsedTimer pause;
        pause.start();
        closing.pause(60);
        clearedMs = pause.elapsed();
    });
    ASSERT_TRUE(test::DrainLinkThread(thread, 5000));
    EXPECT_GE(clearedMs, 55);
}

// Program end: the waiting jobs are dropped, the running job's pause is cut short, the last
// job runs with its full pauses, and no result reaches the windows any more.
TEST_F(LinkThreadTest, FinishCutsTheRunningPauseAndRunsTheLastJob) {
    LinkThread thread{closing};
    std::atomic<bool> started = false;
    std::vector<std::string> ran;
    thread.post(
        [&] {
            started = true;
            closing.pause(10000);
            ran.push_back("long");
        },
        [&] { events.push_back("late result"); });
    thread.post([&] { ran.push_back("queued"); });
    while (!started) std::this_thread::yield();
    QElapsedTimer clock;
    clock.start();
    thread.finish([&] {
        QElapsedTimer last;
        last.start();
        closing.pause(50);
        ran.push_back(last.elapsed() >= 45 ? "last, full pause" : "last, cut pause");
    });
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_EQ(ran, (std::vector<std::string>{"long", "last, full pause"}));
    QCoreApplication::processEvents();
    EXPECT_TRUE(events.empty());
    // Nothing is taken any more: a job posted now would wait for ever.
    thread.post([&] { ran.push_back("after the end"); });
    thread.schedule(0, [&] { ran.push_back("scheduled after the end"); });
    EXPECT_FALSE(thread.scheduled());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    QCoreApplication::processEvents();
    EXPECT_EQ(ran.size(), 2u);
}

}  // namespace
}  // namespace kvel
