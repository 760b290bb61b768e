#include "monitor/poll_cycle.h"

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
class RecordingView : public TPollView {
  public:
    void SetStatusText(int panel, const std::string& text) override { status[panel] = text; }
    void SetLinkIndicator(bool on) override { linkOn = on; }
    void SetChannelText(int channel, const std::string& text) override { cells[channel] = text; }
    void SetRelay(int, bool) override {}
    bool ChartUpdating() const override { return false; }
    void AddChartPoints(const TReadTransaction&) override {}

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
        ASSERT_TRUE(simulator->Start()) << simulator->Error();
        ini.WriteString("connect", "port", options.link);
        ini.WriteInteger("connect", "speed", 4);
        link.SetTiming({10, 10, 10, 250, 10});
        link.SetStatusSink([this](const std::string& text) { view.SetStatusText(0, text); });
    }
    test::TempDir dir;
    TMemIni ini{dir.File("mem.ini")};
    TModuleLink link;
    RecordingView view;
    TPollCycle poll{link, ini, view, dir.Path().string() + "/start"};
    std::unique_ptr<sim::Simulator> simulator;
};

TEST_F(PollCycleTest, IdentifiesOncePerConnection) {
    poll.Poll();
    const std::size_t first = simulator->RequestCount();
    EXPECT_EQ(first, 4u);  // type, version, measurements, relays
    poll.Poll();
    EXPECT_EQ(simulator->RequestCount() - first, 2u);
}

TEST_F(PollCycleTest, LogLinesFollowFileSave) {
    poll.Poll();
    EXPECT_FALSE(std::filesystem::exists(dir.File("start1.txt")));
    ini.WriteInteger("file", "save", 1);  // no name: the start-up directory + "1.txt"
    poll.Poll();
    poll.Poll();
    const std::string log = test::ReadBytes(dir.File("start1.txt"));
    EXPECT_EQ(log.rfind("Дата\t", 0), 0u);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

TEST_F(PollCycleTest, NoPortNameFailsToOpen) {
    ini.WriteString("connect", "port", "");
    poll.Poll();
    EXPECT_EQ(view.status[0], "Ошибка открытия порта");
    EXPECT_EQ(view.cells.size(), 30u);  // 30 channels until the module is identified
    EXPECT_EQ(simulator->RequestCount(), 0u);
}

}  // namespace
}  // namespace kvel
