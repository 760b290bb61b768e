#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "link/module_link.h"
#include "sim/simulator.h"
#include "tests/link/sim_link_fixture.h"

namespace kvel {
namespace {

using LinkWithSimulator = test::SimLinkFixture;

TEST_F(LinkWithSimulator, UnpluggedDeviceClosesThePortAndComesBack) {
    link.setTiming({20, 20, 20, 500, 10});
    ASSERT_EQ(link.readModuleType(100), 215);

    simulator->unplug();
    link.setModuleType(215);
    EXPECT_EQ(errorText(link.readMeasurements(100)), "Нет связи с портом");
    EXPECT_EQ(link.port().getState(), SerialPort::State::Closed);

    EXPECT_FALSE(link.openPort(simulator->devicePath(), 4, 0));
    EXPECT_EQ(link.port().getState(), SerialPort::State::OpenFailed);

    ASSERT_TRUE(simulator->plug()) << simulator->errorText();
    EXPECT_TRUE(link.openPort(simulator->devicePath(), 4, 0));
    EXPECT_EQ(link.port().getState(), SerialPort::State::open);
    simulator->setRegister(512, 14950);
    const ReadTransaction measurements = link.readMeasurements(100);
    ASSERT_TRUE(measurements.ok()) << errorText(measurements);
    EXPECT_EQ(link.takeMeasurements(measurements).at(0), "25.85");
}

// With the real pauses: a reply that comes after its read gave up must not be taken as the
// answer to the next read.
TEST_F(LinkWithSimulator, LateReplyIsNotTheAnswerToTheNextRequest) {
    simulator->setFault(sim::Fault::LateReply, 0, 750);
    ReadTransaction type;
    EXPECT_FALSE(link.readGroup(type, 100, reg::kModuleType, 1));
    EXPECT_EQ(errorText(type), "Ошибка получения результата из модуля");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // the late reply lands now
    simulator->setFault(sim::Fault::None);
    for (int k = 0; k < 30; ++k) simulator->setRegister(static_cast<std::uint16_t>(512 + k), 15000);
    link.setModuleType(215);
    const ReadTransaction measurements = link.readMeasurements(100);
    ASSERT_TRUE(measurements.ok()) << errorText(measurements);
    EXPECT_EQ(measurements.registerCount, 30);
    EXPECT_EQ(measurements.registers[29], 15000);
}

TEST_F(LinkWithSimulator, FaultsOfTheSimulatedModule) {
    link.setTiming({20, 20, 20, 300, 10});
    struct Case {
        sim::Fault fault;
        const char* error;
    };
    const Case cases[] = {
        {sim::Fault::Silence, "Ошибка получения результата из модуля"},
        {sim::Fault::BadCrc, "Ошибочный CRC в ответе от модуля"},
        {sim::Fault::WrongAddress, "Ошибочный адрес модуля в ответе от модуля"},
        {sim::Fault::Exception, "Ошибка модуля: код B"},
    };
    for (const Case& c : cases) {
        simulator->setFault(c.fault, 0x0B);
        const ReadTransaction relays = link.readRelayStates(100);
        EXPECT_FALSE(relays.ok());
        EXPECT_EQ(errorText(relays), c.error);
    }
    simulator->setFault(sim::Fault::None);
    simulator->setRegister(11, 0x0005);
    const ReadTransaction relays = link.readRelayStates(100);
    ASSERT_TRUE(relays.ok());
    EXPECT_EQ(relays.registers[0], 0x0005);
}

TEST_F(LinkWithSimulator, WritesAreKeptByTheModule) {
    link.setTiming({20, 20, 20, 300, 10});
    WriteTransaction& w = ThreeRegisterWrite();
    ASSERT_TRUE(link.writeRegisters(w)) << errorText(w);
    w.firstRegister = 87;
    w.values[0] = 777;
    ASSERT_TRUE(link.writeRegister(w)) << errorText(w);
    EXPECT_EQ(simulator->registerValue(85), 1000);
    EXPECT_EQ(simulator->registerValue(86), 950);
    EXPECT_EQ(simulator->registerValue(87), 777);
}

}  // namespace
}  // namespace kvel
