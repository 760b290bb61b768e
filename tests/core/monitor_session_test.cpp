// The monitoring session against the simulator: what a poll found reaches the windows as a
// value, the log and the boxes follow it, and the poll keeps its rhythm.
#include "core/monitor_session.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <filesystem>
#include <string>
#include <vector>

#include "link/message_sink.h"
#include "tests/common/sim_on_pty.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

class MonitorSessionTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setMessageSink(
            [this](const std::string& text, const std::string& caption, MessageKind kind) {
                boxes.push_back(caption + ": " + text);
                kinds.push_back(kind);
            });
        simulator = test::StartedSimulator(dir.File("tty"), 209);
        ini.writeString("connect", "port", dir.File("tty"));
        ini.writeInteger("connect", "speed", 4);
        session.link().setTiming({10, 10, 10, 250, 10});
        QObject::connect(&session, &MonitorSession::pollFinished,
                         [this](const PollResult& r) { results.push_back(r); });
    }
    void TearDown() override { setMessageSink(nullptr); }
    bool WaitForPolls(std::size_t n) {
        return QTest::qWaitFor([&] { return results.size() >= n; }, 10000);
    }

    test::TempDir dir;
    MemIni ini{dir.File("mem.ini")};
    std::unique_ptr<sim::Simulator> simulator;
    MonitorSession session{ini, dir.Path().string() + "/start"};
    std::vector<PollResult> results;
    std::vector<std::string> boxes;
    std::vector<MessageKind> kinds;
};

// A poll's result carries what the window shows; the log line is written on this thread, with
// the poll's own time, and the timer runs again for the next poll.
TEST_F(MonitorSessionTest, PollResultCarriesWhatTheModuleSaid) {
    simulator->setRegister(21, 14950);
    simulator->setRegister(23, 0);
    ini.writeInteger("file", "save", 1);
    session.pollModule();
    session.pollModule();  // under way: no second poll
    ASSERT_TRUE(WaitForPolls(1));
    const PollResult& r = results[0];
    EXPECT_EQ(r.linkStatus, "МОДУЛЬ НА СВЯЗИ");
    EXPECT_TRUE(r.linkUp);
    ASSERT_EQ(r.channelCount, 15);
    ASSERT_EQ(r.channelTexts.size(), 15u);
    EXPECT_EQ(r.channelTexts[0], "25.85");
    EXPECT_EQ(r.channelTexts[2], kNoReading);
    ASSERT_TRUE(r.measurements.has_value());
    EXPECT_EQ(r.readings.channels.size(), 15u);
    EXPECT_EQ(r.counters.requests, 4u);  // type, version, measurements, relays
    EXPECT_TRUE(session.pollTimer()->isActive());
    EXPECT_FALSE(session.pollUnderWay());
    EXPECT_TRUE(std::filesystem::exists(dir.File("start1.txt")));
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(simulator->requestCount(), 4u);
}

// The module falls silent: the result says the link is lost and why, every channel shows no
// reading, and no log line is written for it.
TEST_F(MonitorSessionTest, SilentModuleGivesLinkLost) {
    session.pollModule();
    ASSERT_TRUE(WaitForPolls(1));
    ini.writeInteger("file", "save", 1);
    simulator->setFault(sim::Fault::Silence);
    session.pollModule();
    ASSERT_TRUE(WaitForPolls(2));
    const PollResult& r = results[1];
    EXPECT_FALSE(r.linkUp);
    EXPECT_FALSE(r.readings.linkUp);
    EXPECT_FALSE(r.measurements.has_value());
    EXPECT_EQ(r.linkStatus, "Ошибка получения результата из модуля");
    EXPECT_EQ(r.linkFailure, (LinkFailure{LinkError::ReadNoReply, 0}));
    EXPECT_EQ(r.channelTexts, std::vector<std::string>(15, kNoReading));
    EXPECT_FALSE(std::filesystem::exists(dir.File("start1.txt")));
}

// A device that is no serial port: the status says the port did not open, and the reason is
// one information box on this thread (the port itself raises none), not one at every poll.
TEST_F(MonitorSessionTest, RefusedDeviceIsOneBoxAfterTheResult) {
    ini.writeString("connect", "port", "/dev/null");
    session.pollModule();
    ASSERT_TRUE(WaitForPolls(1));
    session.pollModule();
    ASSERT_TRUE(WaitForPolls(2));
    EXPECT_EQ(results[0].linkStatus, "Ошибка открытия порта");
    EXPECT_FALSE(results[1].linkUp);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("GetLastError: /dev/null", 0), 0u) << boxes[0];
    EXPECT_EQ(kinds[0], MessageKind::Information);
}

// A period the settings dialog would refuse never polls and says why; a good one resumes.
TEST_F(MonitorSessionTest, RefusedPeriodStopsThePollUntilAGoodOne) {
    QSignalSpy refused(&session, &MonitorSession::pollRefused);
    QSignalSpy resumed(&session, &MonitorSession::pollResumed);
    session.setPollPeriod(0);
    session.startPolling();
    EXPECT_EQ(refused.count(), 1);
    EXPECT_FALSE(session.pollTimer()->isActive());
    session.setPollPeriod(1);
    session.startPolling();
    EXPECT_EQ(resumed.count(), 1);
    EXPECT_TRUE(session.pollTimer()->isActive());
    session.setPollSuspended(true);
    EXPECT_FALSE(session.pollTimer()->isActive());
}

// The end: no poll after it, and a result still on its way is dropped.
TEST_F(MonitorSessionTest, FinishDropsWhatIsStillOnItsWay) {
    session.pollModule();
    session.finish();
    QTest::qWait(300);
    EXPECT_TRUE(results.empty());
    session.startPolling();
    EXPECT_FALSE(session.pollTimer()->isActive());
    EXPECT_EQ(session.link().port().getState(), SerialPort::State::Closed);
}

}  // namespace
}  // namespace kvel
