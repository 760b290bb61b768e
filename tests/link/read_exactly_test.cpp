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
    // The read, and the record it returned.
    std::function<ReadTransaction(ModuleLink&)> read;
};

// The reads that return a number: their record says whether the number is the failure's.
ReadTransaction NumberRead(int value, int ifFailed) {
    ReadTransaction t;
    if (value == ifFailed) {
        t.failure = LinkFailure{LinkError::WrongData, 0};
    } else {
        t.registerCount = 1;
        t.registers[0] = static_cast<std::uint16_t>(value);
    }
    return t;
}

std::vector<Group> Groups() {
    return {
        {"type code", 215, 1, [](ModuleLink& l) { return NumberRead(l.readModuleType(100), 0); }},
        {"version", 215, 1,
         [](ModuleLink& l) { return NumberRead(l.readSoftwareVersion(100), 100); }},
        {"measurements", 215, 30, [](ModuleLink& l) { return l.readMeasurements(100); }},
        {"relays", 215, 1, [](ModuleLink& l) { return l.readRelayStates(100); }},
        {"coefficients", 215, 30, [](ModuleLink& l) { return l.readChannelCoeffs(100); }},
        {"relay 2 settings", 215, 8, [](ModuleLink& l) { return l.readRelaySettings(2, 100); }},
        {"communication", 215, 8, [](ModuleLink& l) { return l.readCommParams(100); }},
        {"measurements of 15", 150, 15, [](ModuleLink& l) { return l.readMeasurements(100); }},
        {"settings block", 150, 18,
         [](ModuleLink& l) {
             SettingsBlockRead settings;
             l.readSettingsBlock(100, settings);
             return settings.block;
         }},
    };
}

TEST(ReadGroups, AReplyOfAnotherRegisterCountIsAFailedRead) {
    sim::SimOptions options;
    options.drift = false;
    options.link = "/tmp/kvel-test-" + std::to_string(::getpid()) + "-count";
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.start()) << simulator.errorText();
    ModuleLink link;
    link.setTiming({5, 5, 5, 500, 10});
    link.openPort(simulator.devicePath(), 4, 0);
    ASSERT_FALSE(link.portNeedsOpening());

    for (const Group& g : Groups()) {
        SCOPED_TRACE(g.name);
        ASSERT_EQ(sim::execute(simulator, "type " + std::to_string(g.typeCode)), "ok");
        link.setModuleType(g.typeCode);
        ASSERT_EQ(sim::execute(simulator, "fault none"), "ok");
        const ReadTransaction good = g.read(link);
        ASSERT_TRUE(good.ok()) << errorText(good);
        EXPECT_EQ(good.registerCount, g.count);
        for (const int wrong : {g.count - 1, g.count + 1, 0}) {
            SCOPED_TRACE(wrong);
            ASSERT_EQ(sim::execute(simulator, "fault count " + std::to_string(wrong)), "ok");
            const ReadTransaction record = g.read(link);
            EXPECT_FALSE(record.ok());
            EXPECT_EQ(errorText(record), "Ошибка в данных в ответе от модуля");
            // Nothing of the wrong reply is taken as registers.
            EXPECT_EQ(record.registerCount, 0);
            EXPECT_EQ(std::count(record.registers, record.registers + 130, 0), 130);
        }
    }
    // Writes are not touched by the fault.
    WriteTransaction w;
    w.moduleAddress = 100;
    w.firstRegister = 85;
    w.values[0] = 60000;
    EXPECT_TRUE(link.writeRegister(w)) << errorText(w);
    EXPECT_EQ(simulator.registerValue(85), 60000);
}

// What the master is shown can be checked against what the simulator says it served.
TEST(ReadGroups, TheSimulatorReportsWhatItServed) {
    sim::SimOptions options;
    options.link = "/tmp/kvel-test-" + std::to_string(::getpid()) + "-served";
    sim::Simulator simulator(options);
    ASSERT_TRUE(simulator.start()) << simulator.errorText();
    ModuleLink link;
    link.setTiming({5, 5, 5, 500, 10});
    link.openPort(simulator.devicePath(), 4, 0);
    link.setModuleType(215);
    const ReadTransaction measurements = link.readMeasurements(100);
    ASSERT_TRUE(measurements.ok()) << errorText(measurements);
    const std::vector<std::uint16_t> block(measurements.registers, measurements.registers + 30);
    const ReadTransaction relays = link.readRelayStates(100);
    ASSERT_TRUE(relays.ok()) << errorText(relays);
    simulator.setFault(sim::Fault::Exception, 2);
    EXPECT_FALSE(link.readRelayStates(100).ok());
    const std::vector<sim::ServedRead> served = simulator.takeServedReads();
    ASSERT_EQ(served.size(), 2u) << "an exception reply serves no registers";
    EXPECT_EQ(served[0].first, 512);
    EXPECT_EQ(served[0].values, block);
    EXPECT_EQ(served[1].first, 11);
    EXPECT_EQ(served[1].values, std::vector<std::uint16_t>{relays.registers[0]});
    EXPECT_TRUE(simulator.takeServedReads().empty());
    EXPECT_TRUE(simulator.idle());
}

TEST(ReadGroups, TheCountFaultCommand) {
    sim::Simulator simulator;
    EXPECT_EQ(sim::execute(simulator, "fault count 0"), "ok");
    EXPECT_EQ(sim::execute(simulator, "fault count 127"), "ok");
    for (const char* bad : {"fault count 128", "fault count -1", "fault count", "fault count x"}) {
        EXPECT_EQ(sim::execute(simulator, bad).rfind("error:", 0), 0u) << bad;
    }
}

}  // namespace
}  // namespace kvel
