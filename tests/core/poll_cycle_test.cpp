#include "core/poll_cycle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>

#include "sim/simulator.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

// What the main window would show, recorded as far as these tests look at it.
struct RecordingView {
    void show(const PollResult& r) {
        if (r.softwareVersion) status[1] = versionStatusText(*r.softwareVersion);
        status[0] = r.linkStatus;
        linkOn = r.linkUp;
        for (std::size_t k = 0; k < r.channelTexts.size(); ++k) {
            cells[static_cast<int>(k) + 1] = r.channelTexts[k];
        }
        readings.push_back(r.readings);
    }

    std::vector<PollReadings> readings;
    std::map<int, std::string> status;
    std::map<int, std::string> cells;
    bool linkOn = false;
};

class PollCycleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim::SimOptions options;
        options.drift = false;
        options.typeCode = 209;
        options.link = dir.File("tty");
        simulator = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(simulator->start()) << simulator->errorText();
        ini.writeString("connect", "port", options.link);
        ini.writeInteger("connect", "speed", 4);
        link.setTiming({10, 10, 10, 250, 10});
    }
    // One poll, shown and logged as the session does it.
    void Poll() {
        const PollResult result = poll.poll();
        view.show(result);
        poll.writeLog(result);
    }
    test::TempDir dir;
    MemIni ini{dir.File("mem.ini")};
    ModuleLink link;
    RecordingView view;
    PollCycle poll{link, ini, dir.Path().string() + "/start"};
    std::unique_ptr<sim::Simulator> simulator;
};

TEST_F(PollCycleTest, IdentifiesOncePerConnection) {
    Poll();
    const std::size_t first = simulator->requestCount();
    EXPECT_EQ(first, 4u);  // type, version, measurements, relays
    Poll();
    EXPECT_EQ(simulator->requestCount() - first, 2u);
}

TEST_F(PollCycleTest, LogLinesFollowFileSave) {
    Poll();
    EXPECT_FALSE(std::filesystem::exists(dir.File("start1.txt")));
    ini.writeInteger("file", "save", 1);  // no name: the start-up directory + "1.txt"
    Poll();
    Poll();
    const std::string log = test::ReadBytes(dir.File("start1.txt"));
    EXPECT_EQ(log.rfind("Дата\t", 0), 0u);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

// Each poll ends with what it brought, on the log's clock, for the alarms.
TEST_F(PollCycleTest, EveryPollHandsOnItsReadings) {
    simulator->setRegister(21, 14950);
    simulator->setRegister(23, 0);
    const std::time_t before = std::time(nullptr);
    Poll();
    ASSERT_EQ(view.readings.size(), 1u);
    const PollReadings& r = view.readings[0];
    EXPECT_TRUE(r.linkUp);
    EXPECT_GE(r.at, before);
    ASSERT_EQ(r.channels.size(), 15u);
    EXPECT_NEAR(*r.channels[0], 25.85, 1e-9);
    EXPECT_FALSE(r.channels[2]);
    simulator->setFault(sim::Fault::Silence);
    Poll();
    ASSERT_EQ(view.readings.size(), 2u);
    EXPECT_FALSE(view.readings[1].linkUp);
}

TEST_F(PollCycleTest, NoPortNameFailsToOpen) {
    ini.writeString("connect", "port", "");
    Poll();
    EXPECT_EQ(view.status[0], "Ошибка открытия порта");
    EXPECT_EQ(view.cells.size(), 30u);  // 30 channels until the module is identified
    EXPECT_EQ(simulator->requestCount(), 0u);
    ASSERT_EQ(view.readings.size(), 1u);
    EXPECT_FALSE(view.readings[0].linkUp);
}

}  // namespace
}  // namespace kvel
