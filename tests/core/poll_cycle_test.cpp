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
class RecordingView : public PollView {
  public:
    void setStatusText(int panel, const std::string& text) override { status[panel] = text; }
    void setLinkIndicator(bool on) override { linkOn = on; }
    void setChannelText(int channel, const std::string& text) override { cells[channel] = text; }
    void setRelay(int, bool) override {}
    bool chartUpdating() const override { return false; }
    void addChartPoints(const ReadTransaction&) override {}
    void showReadings(const PollReadings& r) override { readings.push_back(r); }

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
        link.setStatusSink([this](const std::string& text) { view.setStatusText(0, text); });
    }
    test::TempDir dir;
    MemIni ini{dir.File("mem.ini")};
    ModuleLink link;
    RecordingView view;
    PollCycle poll{link, ini, view, dir.Path().string() + "/start"};
    std::unique_ptr<sim::Simulator> simulator;
};

TEST_F(PollCycleTest, IdentifiesOncePerConnection) {
    poll.poll();
    const std::size_t first = simulator->requestCount();
    EXPECT_EQ(first, 4u);  // type, version, measurements, relays
    poll.poll();
    EXPECT_EQ(simulator->requestCount() - first, 2u);
}

TEST_F(PollCycleTest, LogLinesFollowFileSave) {
    poll.poll();
    EXPECT_FALSE(std::filesystem::exists(dir.File("start1.txt")));
    ini.writeInteger("file", "save", 1);  // no name: the start-up directory + "1.txt"
    poll.poll();
    poll.poll();
    const std::string log = test::ReadBytes(dir.File("start1.txt"));
    EXPECT_EQ(log.rfind("Дата\t", 0), 0u);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

// Each poll ends with what it brought, on the log's clock, for the alarms.
TEST_F(PollCycleTest, EveryPollHandsOnItsReadings) {
    simulator->setRegister(21, 14950);
    simulator->setRegister(23, 0);
    const std::time_t before = std::time(nullptr);
    poll.poll();
    ASSERT_EQ(view.readings.size(), 1u);
    const PollReadings& r = view.readings[0];
    EXPECT_TRUE(r.linkUp);
    EXPECT_GE(r.at, before);
    ASSERT_EQ(r.channels.size(), 15u);
    EXPECT_NEAR(*r.channels[0], 25.85, 1e-9);
    EXPECT_FALSE(r.channels[2]);
    simulator->setFault(sim::Fault::Silence);
    poll.poll();
    ASSERT_EQ(view.readings.size(), 2u);
    EXPECT_FALSE(view.readings[1].linkUp);
}

TEST_F(PollCycleTest, NoPortNameFailsToOpen) {
    ini.writeString("connect", "port", "");
    poll.poll();
    EXPECT_EQ(view.status[0], "Ошибка открытия порта");
    EXPECT_EQ(view.cells.size(), 30u);  // 30 channels until the module is identified
    EXPECT_EQ(simulator->requestCount(), 0u);
    ASSERT_EQ(view.readings.size(), 1u);
    EXPECT_FALSE(view.readings[0].linkUp);
}

}  // namespace
}  // namespace kvel
