#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <chrono>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/cabinet_host.h"
#include "link/message_sink.h"
#include "sim/simulator.h"
#include "tests/common/link_thread_drain.h"
#include "tests/common/sim_on_pty.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

using Clock = std::chrono::steady_clock;

// A command register held at 1 on the wire: from the write of 1 to the write of 0.
struct Pulse {
    std::uint16_t reg;
    double seconds;  // < 0: never released
};

std::vector<Pulse> PulsesOnTheWire(const sim::Simulator& simulator) {
    std::vector<Pulse> pulses;
    std::map<std::uint16_t, Clock::time_point> on;
    for (const sim::TimedRequest& r : simulator.timedRequests()) {
        const std::vector<std::uint8_t>& f = r.frame;
        if (f.size() != 8 || f[1] != 6) continue;
        const auto reg = static_cast<std::uint16_t>(f[2] << 8 | f[3]);
        if (reg < 1024 || reg > 1029) continue;  // the commands; signals are toggles
        if ((f[4] << 8 | f[5]) != 0) {
            on[reg] = r.at;
        } else if (const auto it = on.find(reg); it != on.end()) {
            pulses.push_back({reg, std::chrono::duration<double>(r.at - it->second).count()});
            on.erase(it);
        }
    }
    for (const auto& [reg, at] : on) pulses.push_back({reg, -1});
    return pulses;
}

// The cabinet exchanges as the window runs them: jobs of the link thread, with the real
// pauses and the real pulse length, against the simulated host controller ("Мнемо"
// addressing: commands on 1024.., signals on 1030..).
class CabinetPulseTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setMessageSink(
            [this](const std::string& text, const std::string&) { boxes.push_back(text); });
        simulator = test::StartedSimulator(dir.File("tty"));
        test::WriteBytes(dir.File("mem.ini"), "[connect]\nhost=0\n[panels]\nШкаф 1=1\n");
        ini = std::make_unique<MemIni>(dir.File("mem.ini"));
        thread = std::make_unique<LinkThread>(link.closing());
        host = std::make_unique<CabinetHost>(link, *ini, *thread);
        host->setCabinetName("Шкаф 1");
        thread->post([this] { link.openPort(dir.File("tty"), 4, 0); });
        ASSERT_TRUE(test::DrainLinkThread(*thread));
    }
    void TearDown() override {
        thread.reset();  // first: a pulse's end it still holds refers to the host
        host.reset();
        setMessageSink(nullptr);
    }
    void Pump(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    bool WaitForQuiet() {
        QElapsedTimer clock;
        clock.start();
        // A pulse is timed once its command's job has run: drained, then no pulse left.
        while (clock.elapsed() < 20000) {
            if (!test::DrainLinkThread(*thread)) return false;
            if (!host->pulseTimed()) return true;
            Pump(20);
        }
        return false;
    }

    test::TempDir dir;
    std::vector<std::string> boxes;
    std::unique_ptr<sim::Simulator> simulator;
    ModuleLink link;
    std::unique_ptr<MemIni> ini;
    std::unique_ptr<LinkThread> thread;
    std::unique_ptr<CabinetHost> host;
};

// Clicks around a pulse neither cut it nor a later one short: "Включить выключатель", S41
// a dozen times quickly (the line stays busy past the pulse's end), then "Отключить
// выключатель" 2 s after the first. Each pulse is on the wire for its 2 s, late by one
// transaction at most (its end runs in the pauses of an exchange under way).
TEST_F(CabinetPulseTest, EveryPulseIsHeldItsFullLengthWhateverIsClickedAroundIt) {
    host->pressCommand(1);
    for (int k = 0; k < 12; ++k) host->toggleSignal(0);
    Pump(2000);
    host->pressCommand(2);
    ASSERT_TRUE(WaitForQuiet());
    EXPECT_TRUE(boxes.empty());

    const std::vector<Pulse> pulses = PulsesOnTheWire(*simulator);
    ASSERT_EQ(pulses.size(), 2u);
    EXPECT_EQ(pulses[0].reg, 1024);
    EXPECT_EQ(pulses[1].reg, 1025);
    for (const Pulse& p : pulses) {
        EXPECT_GE(p.seconds, 1.99) << p.reg;
        EXPECT_LE(p.seconds, 2.25) << p.reg;
    }
}

// A command clicked while another pulse is on ends that pulse first; the first pulse's end,
// due later, never ends the second one early.
TEST_F(CabinetPulseTest, ACommandDuringAPulseEndsItAndGetsItsOwnFullPulse) {
    host->pressCommand(3);
    Pump(1000);
    host->pressCommand(4);
    ASSERT_TRUE(WaitForQuiet());

    const std::vector<Pulse> pulses = PulsesOnTheWire(*simulator);
    // The module's 500 ms after each command write: the release, then the next command.
    const std::vector<sim::TimedRequest> writes = simulator->timedRequests();
    ASSERT_EQ(writes.size(), 4u);
    for (std::size_t i = 1; i < writes.size(); ++i) {
        EXPECT_GE(writes[i].at - writes[i - 1].at, std::chrono::milliseconds(495)) << i;
    }
    ASSERT_EQ(pulses.size(), 2u);
    EXPECT_EQ(pulses[0].reg, 1026);
    EXPECT_GE(pulses[0].seconds, 0.9);
    EXPECT_LE(pulses[0].seconds, 1.3);
    EXPECT_EQ(pulses[1].reg, 1027);
    EXPECT_GE(pulses[1].seconds, 1.99);
    EXPECT_LE(pulses[1].seconds, 2.25);
}

}  // namespace
}  // namespace kvel
