// Every read group of the module against the simulator answering with one register fewer or
// more than asked: the read fails with the data error and nothing of that reply is taken.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "link/module_link.h"
#include "sim/command.h"
#include "sim/simulator.h"

namespace kvel {
namespace {

struct Group {
    const char* name;
    int typeCode;  // a module on which the group exists
    int count;
    std::function<bool(TModuleLink&)> read;
};

std::vector<Group> Groups() {
    return {
        {"type code", 215, 1, [](TModuleLink& l) { return l.ReadModuleType(100) != 0; }},
        {"version", 215, 1, [](TModuleLink& l) { return l.ReadSoftwareVersion(100) != 100; }},
        {"measurements", 215, 30, [](TModuleLink& l) { return l.ReadMeasurements(100); }},
        {"relays", 215, 1, [](TModuleLink& l) { return l.ReadRelayStates(100); }},
        {"coefficients", 215, 30, [](TModuleLink& l) { return l.ReadChannelCoeffs(100); }},
        {"relay 2 settings", 215, 8, [](TModuleLink& l) { return l.ReadRelaySettings(2, 100); }},
        {"communication", 215, 8, [](TModuleLink& l) { return l.ReadCommParams(100); }},
        {"measurements of 15", 150, 15, [](TModuleLink& l) { return l.ReadMeasurements(100); }},
        {"settings block", 150, 18, [](TModuleLink& l) { return l.ReadSettingsBlock(100); }},
    };
}

TEST(ReadGroups, AReplyOfAnotherRegisterCountIsAFailedRead) {
    sim::SimOptions options;
    options.drift = false;
    options.link = "/tmp/kvel-test-" + std::to_string(::getpid()) + "-count";
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.Start()) << simulator.Error();
    TModuleLink link;
    link.SetTiming({5, 5, 5, 500, 10});
    link.OpenPort(simulator.DevicePath(), 4, 0);
    ASSERT_FALSE(link.PortNeedsOpening());

    for (const Group& g : Groups()) {
        SCOPED_TRACE(g.name);
        ASSERT_EQ(sim::Execute(simulator, "type " + std::to_string(g.typeCode)), "ok");
        link.SetModuleType(g.typeCode);
        ASSERT_EQ(sim::Execute(simulator, "fault none"), "ok");
        ASSERT_TRUE(g.read(link)) << link.First().errorText;
        EXPECT_EQ(link.First().registerCount, g.count);
        for (const int wrong : {g.count - 1, g.count + 1, 0}) {
            SCOPED_TRACE(wrong);
            TReadTransaction& record = link.First();
            std::fill_n(record.registers, 130, 4242);
            record.registerCount = 99;
            ASSERT_EQ(sim::Execute(simulator, "fault count " + std::to_string(wrong)), "ok");
            EXPECT_FALSE(g.read(link));
            EXPECT_STREQ(record.errorText, "Ошибка в данных в ответе от модуля");
            EXPECT_EQ(record.registerCount, 99);
            EXPECT_EQ(std::count(record.registers, record.registers + 130, 4242), 130);
        }
    }
    // Writes are not touched by the fault.
    TWriteTransaction& w = link.WriteRecords()[0];
    w.moduleAddress = 100;
    w.firstRegister = 85;
    w.values[0] = 60000;
    EXPECT_TRUE(link.WriteRegister(w)) << w.errorText;
    EXPECT_EQ(simulator.Register(85), 60000);
}

// What the master is shown can be checked against what the simulator says it served.
TEST(ReadGroups, TheSimulatorReportsWhatItServed) {
    sim::SimOptions options;
    options.link = "/tmp/kvel-test-" + std::to_string(::getpid()) + "-served";
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.Start()) << simulator.Error();
    TModuleLink link;
    link.SetTiming({5, 5, 5, 500, 10});
    link.OpenPort(simulator.DevicePath(), 4, 0);
    link.SetModuleType(215);
    ASSERT_TRUE(link.ReadMeasurements(100)) << link.First().errorText;
    const std::vector<std::uint16_t> block(link.First().registers, link.First().registers + 30);
    ASSERT_TRUE(link.ReadRelayStates(100)) << link.First().errorText;
    simulator.SetFault(sim::Fault::Exception, 2);
    EXPECT_FALSE(link.ReadRelayStates(100));
    const std::vector<sim::ServedRead> served = simulator.TakeServedReads();
    ASSERT_EQ(served.size(), 2u) << "an exception reply serves no registers";
    EXPECT_EQ(served[0].first, 512);
    EXPECT_EQ(served[0].values, block);
    EXPECT_EQ(served[1].first, 11);
    EXPECT_EQ(served[1].values, std::vector<std::uint16_t>{link.First().registers[0]});
    EXPECT_TRUE(simulator.TakeServedReads().empty());
    EXPECT_TRUE(simulator.Idle());
}

TEST(ReadGroups, TheCountFaultCommand) {
    sim::Simulator simulator;
    EXPECT_EQ(sim::Execute(simulator, "fault count 0"), "ok");
    EXPECT_EQ(sim::Execute(simulator, "fault count 127"), "ok");
    for (const char* bad : {"fault count 128", "fault count -1", "fault count", "fault count x"}) {
        EXPECT_EQ(sim::Execute(simulator, bad).rfind("error:", 0), 0u) << bad;
    }
}

}  // namespace
}  // namespace kvel
