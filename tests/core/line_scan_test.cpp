// The scan of the line against the simulator at settings the test chooses.
#include "core/line_scan.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <set>
#include <thread>
#include <tuple>

#include "link/traffic_format.h"
#include "link/traffic_tap.h"
#include "sim/simulator.h"

namespace kvel {
namespace {

using Clock = std::chrono::steady_clock;

std::tuple<int, int, int> key(const LineSetting& at) {
    return {at.address, at.speedIndex, at.parityIndex};
}

TEST(ScanOrder, WholeSpaceOnceMostLikelyFirst) {
    const LineSetting stored{100, 2, 1};
    const std::vector<LineSetting> order = scanOrder(ScanSpace{}, stored);
    ASSERT_EQ(order.size(), 3705u);
    std::set<std::tuple<int, int, int>> seen;
    for (const LineSetting& at : order) seen.insert(key(at));
    EXPECT_EQ(seen.size(), 3705u);
    EXPECT_EQ(order[0], stored);
    // Then every other address at the stored speed and parity, in address order.
    for (int i = 1; i <= 246; ++i) {
        const LineSetting& at = order[static_cast<std::size_t>(i)];
        EXPECT_EQ(at.address, i < 100 ? i : i + 1);
        EXPECT_EQ(at.speedIndex, 2);
        EXPECT_EQ(at.parityIndex, 1);
    }
    // Then the stored address at the 14 other speeds and parities, then the rest by speed.
    for (int i = 247; i < 261; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)].address, 100);
    EXPECT_EQ(order[261], (LineSetting{1, 0, 0}));
    EXPECT_EQ(order.back(), (LineSetting{247, 4, 2}));

    // A narrowed space holds only its own settings; a stored one outside it is not tried.
    const ScanSpace narrow{10, 12, {0, 3}, {2}};
    const std::vector<LineSetting> part = scanOrder(narrow, stored);
    ASSERT_EQ(part.size(), 6u);
    EXPECT_EQ(part.front(), (LineSetting{10, 0, 2}));

    // The floor: 15 characters of 11 bits plus the margin.
    EXPECT_NEAR(probeFloorMs(0, 20), 20 + 165000.0 / 9600, 1e-9);
    EXPECT_NEAR(probeFloorMs(4, 0), 165000.0 / 115200, 1e-9);
}

class LineScanTest : public ::testing::Test {
  protected:
    void Start(int address, int speed, int parity, sim::Fault fault = sim::Fault::None) {
        sim::SimOptions options;
        options.address = static_cast<std::uint8_t>(address);
        options.speedIndex = speed;
        options.parityIndex = parity;
        options.drift = false;
        options.link = "/tmp/kvel-scan-" + std::to_string(::getpid());
        simulator = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(simulator->start()) << simulator->errorText();
        simulator->setFault(fault);
        port.setTrafficObserver(&tap);
    }
    ScanRequest Request(ScanSpace space, bool stopAtFirst = true) {
        ScanRequest r;
        r.port = simulator->devicePath();
        r.stored = {12, 0, 0};
        r.space = std::move(space);
        r.stopAtFirst = stopAtFirst;
        return r;
    }

    std::unique_ptr<sim::Simulator> simulator;
    TrafficTap tap;
    SerialPort port;
};

TEST_F(LineScanTest, FindsModuleAtOtherSettingsWithReadsOnly) {
    Start(17, 3, 2);
    LineScan scan(Request({10, 20, {0, 3}, {0, 2}}));
    const ScanProgress result = scan.run(port);
    EXPECT_EQ(result.state, ScanProgress::State::Finished);
    ASSERT_EQ(result.findings.size(), 1u);
    const ScanFinding& found = result.findings[0];
    EXPECT_TRUE(found.module) << found.answer;
    EXPECT_EQ(found.at, (LineSetting{17, 3, 2}));
    EXPECT_EQ(found.typeCode, 215);
    EXPECT_EQ(found.version, 103);
    // It stops at the module: the probes after it are never sent.
    EXPECT_LT(result.done, result.total);
    EXPECT_FALSE(port.isOpen());
    // Nothing but reads went over the line, and the module heard only those at its settings.
    EXPECT_EQ(tap.counters().requests, result.done + 2);
    for (const TrafficRecord& r : tap.records()) EXPECT_EQ(r.function, 3);
    EXPECT_EQ(trafficFieldsOf(tap.records().front()).back(),
              "Ошибка получения результата из модуля");
    const auto heard = simulator->requests();
    EXPECT_GE(heard.size(), 3u);
    for (const auto& frame : heard) EXPECT_EQ(frame.at(1), 3);
}

TEST_F(LineScanTest, GarbledAnswerIsReportedButNotFound) {
    Start(5, 1, 1, sim::Fault::BadCrc);
    LineScan scan(Request({4, 6, {1}, {1}}));
    const ScanProgress result = scan.run(port);
    EXPECT_EQ(result.done, 3u);
    ASSERT_EQ(result.findings.size(), 1u);
    EXPECT_FALSE(result.findings[0].module);
    EXPECT_EQ(result.findings[0].at, (LineSetting{5, 1, 1}));
    EXPECT_EQ(result.findings[0].answer, "ошибочный CRC");

    simulator->setFault(sim::Fault::Exception, 2);
    const ScanProgress refused = LineScan(Request({4, 6, {1}, {1}})).run(port);
    ASSERT_EQ(refused.findings.size(), 1u);
    EXPECT_FALSE(refused.findings[0].module);
    EXPECT_EQ(refused.findings[0].answer, "ошибка модуля: код 2");
}

// A module that answers after the probe's margin answers into the next address's probe: it is
// found at its own address, and the next address is not listed for its reply.
TEST_F(LineScanTest, LateAnswerIsTheSlowModuleNotTheNextAddress) {
    Start(17, 0, 0, sim::Fault::LateReply);
    simulator->setFault(sim::Fault::LateReply, 2, 60);
    const ScanProgress result = LineScan(Request({16, 19, {0}, {0}}, false)).run(port);
    ASSERT_EQ(result.findings.size(), 1u) << result.findings.back().answer;
    EXPECT_TRUE(result.findings[0].module) << result.findings[0].answer;
    EXPECT_EQ(result.findings[0].at, (LineSetting{17, 0, 0}));
    EXPECT_EQ(result.findings[0].version, 103);
}

TEST_F(LineScanTest, CancelEndsWithinOneProbe) {
    Start(100, 0, 0, sim::Fault::Silence);
    ScanRequest request = Request(ScanSpace{});
    request.marginMs = 100;  // probes long enough to tell one from several
    LineScan scan(request);
    auto running = std::async(std::launch::async, [&] { return scan.run(port); });
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    const auto cancelled = Clock::now();
    scan.cancel();
    ASSERT_EQ(running.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    const auto took = Clock::now() - cancelled;
    const ScanProgress result = running.get();
    EXPECT_EQ(result.state, ScanProgress::State::Cancelled);
    // The probe under way ends at its floor; scheduling may add a little on a busy machine.
    EXPECT_LT(took, std::chrono::milliseconds(static_cast<int>(probeFloorMs(0, 100)) + 150));
    EXPECT_GE(result.done, 1u);
}

TEST_F(LineScanTest, PortThatCannotOpenFailsTheScan) {
    Start(100, 0, 0);
    ScanRequest request = Request({1, 2, {0}, {0}});
    request.port = "/nonexistent/tty";
    const ScanProgress result = LineScan(request).run(port);
    EXPECT_EQ(result.state, ScanProgress::State::Failed);
    EXPECT_EQ(result.done, 0u);
    EXPECT_NE(result.failure.find("Ошибка открытия порта: /nonexistent/tty"), std::string::npos)
        << result.failure;
}

}  // namespace
}  // namespace kvel
