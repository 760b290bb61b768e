#include "monitor/poll_cycle.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "sim/simulator.h"
#include "tests/monitor/temp_dir.h"

namespace kvel {
namespace {

// What the main window would show, recorded.
class RecordingView : public TPollView {
  public:
    void SetStatusText(int panel, const std::string& text) override { status[panel] = text; }
    std::string StatusText(int panel) const override {
        const auto it = status.find(panel);
        return it == status.end() ? "" : it->second;
    }
    void SetLinkIndicator(bool on) override { linkOn = on; }
    void SetChannelText(int channel, const std::string& text) override { cells[channel] = text; }
    void SetRelay(int relayIndex, bool on) override { relays[relayIndex] = on; }
    bool ChartUpdating() const override { return chartUpdating; }
    void AddChartPoints(const TReadTransaction& record) override {
        chartPoints.push_back(record.registers[0]);
    }

    std::map<int, std::string> status;
    std::map<int, std::string> cells;
    bool linkOn = false;
    bool relays[3] = {true, true, true};
    bool chartUpdating = false;
    std::vector<std::uint16_t> chartPoints;
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

TEST_F(PollCycleTest, LiveReadoutsOfBothChannelCounts) {
    struct Case {
        int type;
        std::uint16_t first;
        int channels;
    };
    for (const Case c : {Case{209, 21, 15}, Case{215, 512, 30}, Case{220, 512, 30}}) {
        SCOPED_TRACE(c.type);
        simulator->SetTypeCode(c.type);
        for (int k = 0; k < c.channels; ++k) {
            simulator->SetRegister(static_cast<std::uint16_t>(c.first + k), 14950);
        }
        simulator->SetRegister(static_cast<std::uint16_t>(c.first + 2), 0);
        simulator->SetRegister(11, 0x0005);
        link.SetIdentified(false);
        view.cells.clear();
        poll.Poll();
        EXPECT_EQ(link.ChannelCount(), c.channels);
        EXPECT_EQ(view.cells.size(), static_cast<std::size_t>(c.channels));
        EXPECT_EQ(view.cells[1], "25.85");
        EXPECT_EQ(view.cells[3], "---.-");
        EXPECT_EQ(view.cells[c.channels], "25.85");
        EXPECT_EQ(view.status[0], "МОДУЛЬ НА СВЯЗИ");
        EXPECT_EQ(view.status[1],
                  "Метрологическая версия ПО  " + std::to_string(simulator->Register(146)));
        EXPECT_TRUE(view.linkOn);
        EXPECT_TRUE(view.relays[0]);
        EXPECT_FALSE(view.relays[1]);
        EXPECT_TRUE(view.relays[2]);
    }
}

TEST_F(PollCycleTest, IdentifiesOncePerConnection) {
    poll.Poll();
    const std::size_t first = simulator->RequestCount();
    EXPECT_EQ(first, 4u);  // type, version, measurements, relays
    poll.Poll();
    EXPECT_EQ(simulator->RequestCount() - first, 2u);
}

TEST_F(PollCycleTest, UnpluggedAdapterAndItsReturn) {
    poll.Poll();
    ASSERT_TRUE(view.linkOn);
    simulator->Unplug();
    poll.Poll();
    EXPECT_EQ(view.status[0], "Нет связи с портом");
    EXPECT_FALSE(view.linkOn);
    poll.Poll();
    EXPECT_EQ(view.status[0], "Ошибка открытия порта");
    for (const auto& [channel, text] : view.cells) EXPECT_EQ(text, "---.-") << channel;
    for (const bool relay : view.relays) EXPECT_FALSE(relay);
    ASSERT_TRUE(simulator->Plug());
    poll.Poll();
    EXPECT_EQ(view.status[0], "МОДУЛЬ НА СВЯЗИ");
    EXPECT_TRUE(view.linkOn);
    EXPECT_NE(view.cells[1], "---.-");
}

TEST_F(PollCycleTest, FailedRelayReadAfterGoodMeasurementsShowsLinkLost) {
    poll.Poll();
    // The module answers the measurement read, then refuses the relay read.
    simulator->SetRegister(21, 14950);
    view.chartUpdating = true;
    // Arm the fault as soon as the measurements have been shown.
    class Arming : public TPollView {
      public:
        Arming(RecordingView& inner, sim::Simulator& s) : inner_(inner), sim_(s) {}
        void SetStatusText(int p, const std::string& t) override { inner_.SetStatusText(p, t); }
        std::string StatusText(int p) const override { return inner_.StatusText(p); }
        void SetLinkIndicator(bool on) override {
            inner_.SetLinkIndicator(on);
            if (on) sim_.SetFault(sim::Fault::Exception, 4);
        }
        void SetChannelText(int c, const std::string& t) override { inner_.SetChannelText(c, t); }
        void SetRelay(int i, bool on) override { inner_.SetRelay(i, on); }
        bool ChartUpdating() const override { return inner_.ChartUpdating(); }
        void AddChartPoints(const TReadTransaction& r) override { inner_.AddChartPoints(r); }

      private:
        RecordingView& inner_;
        sim::Simulator& sim_;
    } arming(view, *simulator);
    TPollCycle armed(link, ini, arming, dir.Path().string());
    armed.Poll();
    EXPECT_EQ(view.chartPoints.back(), 14950);  // the chart got this poll's measurements
    EXPECT_EQ(view.cells[1], "---.-");
    EXPECT_EQ(view.status[0], "Ошибка модуля: код 4");
    EXPECT_FALSE(view.linkOn);
    EXPECT_FALSE(link.Identified());
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
