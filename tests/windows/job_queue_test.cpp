#include "windows/job_queue.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <vector>

#include "core/csv_export.h"
#include "core/log_stats.h"

namespace kvel {
namespace {

// A job held on its thread until the test lets it go; the window's event loop goes on meanwhile
// and the results are applied in order, on the window's thread.
TEST(JobQueueTest, JobsRunOffTheWindowsThreadInOrderWhileItsEventsGoOn) {
    JobQueue jobs;
    std::atomic<bool> release{false};
    std::vector<int> applied;
    QThread* const gui = QThread::currentThread();
    jobs.run([&](const std::atomic<bool>&) -> JobQueue::Apply {
        while (!release) QThread::msleep(1);
        return [&] {
            EXPECT_EQ(QThread::currentThread(), gui);
            applied.push_back(1);
        };
    });
    jobs.run(
        [&](const std::atomic<bool>&) -> JobQueue::Apply { return [&] { applied.push_back(2); }; });
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(5);
    EXPECT_FALSE(QTest::qWaitFor([&] { return !applied.empty(); }, 200));
    EXPECT_GT(ticks, 5) << "the event loop waited for the job";
    release = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return jobs.idle(); }, 5000));
    EXPECT_EQ(applied, (std::vector<int>{1, 2}));
}

// The owner going away (the viewer closed) cancels the job under way, drops the waiting ones and
// applies nothing: no statistics land in a closed window, no export is left half-written.
TEST(JobQueueTest, StoppingCancelsTheJobUnderWayAndAppliesNothing) {
    bool applied = false, secondRan = false;
    std::atomic<bool> started{false}, sawCancel{false};
    {
        JobQueue jobs;
        jobs.run([&](const std::atomic<bool>& cancel) -> JobQueue::Apply {
            started = true;
            while (!cancel) QThread::msleep(1);
            sawCancel = true;
            return [&] { applied = true; };
        });
        jobs.run([&](const std::atomic<bool>&) -> JobQueue::Apply {
            secondRan = true;
            return {};
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 5000));
    }
    QTest::qWait(50);
    EXPECT_TRUE(sawCancel);
    EXPECT_FALSE(applied);
    EXPECT_FALSE(secondRan);
}

// One job cancelled (a read given up): the one under way stops and is not applied, a waiting
// one never runs, and the jobs after them run as usual.
TEST(JobQueueTest, ACancelledJobStopsOrNeverRunsAndTheOthersGoOn) {
    JobQueue jobs;
    std::atomic<bool> started{false};
    std::vector<int> applied;
    const JobQueue::Id first = jobs.run([&](const std::atomic<bool>& cancel) -> JobQueue::Apply {
        started = true;
        while (!cancel) QThread::msleep(1);
        return [&] { applied.push_back(1); };
    });
    const JobQueue::Id second = jobs.run(
        [&](const std::atomic<bool>&) -> JobQueue::Apply { return [&] { applied.push_back(2); }; });
    jobs.run(
        [&](const std::atomic<bool>&) -> JobQueue::Apply { return [&] { applied.push_back(3); }; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return started.load(); }, 5000));
    EXPECT_TRUE(jobs.pending(first));
    EXPECT_TRUE(jobs.pending(second));
    jobs.cancel(second);
    EXPECT_FALSE(jobs.pending(second));
    jobs.cancel(first);
    ASSERT_TRUE(QTest::qWaitFor([&] { return jobs.idle(); }, 5000));
    EXPECT_FALSE(jobs.pending(first));
    EXPECT_EQ(applied, (std::vector<int>{3}));
}

// A cancelled pass over a log gives nothing rather than a part taken for the whole.
TEST(JobQueueTest, CancelledStatisticsAndExportGiveNothing) {
    LogData data;
    std::array<float, kLogChannels> values{};
    values.fill(20.f);
    for (int i = 0; i < 3 * kRowsBetweenCancelChecks; ++i)
        data.append(46000.0 + i / 86400.0, values);
    data.finish();
    const std::atomic<bool> cancel{true};
    EXPECT_TRUE(
        logStats(data, data.time(0), data.time(data.rows() - 1), {1, 2}, 10.0, &cancel).empty());
    const std::string csv = ::testing::TempDir() + "/cancelled.csv";
    std::string error;
    EXPECT_FALSE(
        writeLogCsv(csv, data, data.time(0), data.time(data.rows() - 1), {1}, error, &cancel));
    EXPECT_TRUE(error.empty());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(csv)));
    const std::atomic<bool> goOn{false};
    ASSERT_EQ(logStats(data, data.time(0), data.time(data.rows() - 1), {1}, 10.0, &goOn).size(),
              1u);
    EXPECT_EQ(
        logStats(data, data.time(0), data.time(data.rows() - 1), {1}, 10.0, &goOn)[0].readings,
        3 * kRowsBetweenCancelChecks);
}

}  // namespace
}  // namespace kvel
