#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include "link/module_link.h"
#include "sim/simulator.h"
#include "tests/link/sim_link_fixture.h"

namespace kvel {
namespace {

class LinkWithSimulator : public test::SimLinkFixture {
  protected:
    void SetUp() override {
        link.SetStatusSink([this](const std::string& text) { status = text; });
        SimLinkFixture::SetUp();
    }
    std::string status;
};

TEST_F(LinkWithSimulator, UnpluggedDeviceClosesThePortAndComesBack) {
    link.SetTiming({20, 20, 20, 500, 10});
    ASSERT_EQ(link.ReadModuleType(100), 215);

    simulator->Unplug();
    link.SetModuleType(215);
    EXPECT_FALSE(link.ReadMeasurements(100));
    EXPECT_STREQ(link.First().errorText, "Нет связи с портом");
    EXPECT_EQ(link.Port().GetState(), SerialPort::State::Closed);

    link.OpenPort(simulator->DevicePath(), 4, 0);
    EXPECT_EQ(status, "Ошибка открытия порта");
    EXPECT_EQ(link.Port().GetState(), SerialPort::State::OpenFailed);

    ASSERT_TRUE(simulator->Plug()) << simulator->Error();
    status.clear();
    link.OpenPort(simulator->DevicePath(), 4, 0);
    EXPECT_EQ(link.Port().GetState(), SerialPort::State::Open);
    EXPECT_TRUE(status.empty());
    simulator->SetRegister(512, 14950);
    ASSERT_TRUE(link.ReadMeasurements(100)) << link.First().errorText;
    EXPECT_EQ(link.TakeMeasurements().at(0), "25.85");
}

// With the real pauses: a reply that comes after its read gave up must not be taken as the
// answer to the next read.
TEST_F(LinkWithSimulator, LateReplyIsNotTheAnswerToTheNextRequest) {
    simulator->SetFault(sim::Fault::LateReply, 0, 750);
    EXPECT_EQ(link.ReadModuleType(100), 0);
    EXPECT_STREQ(link.First().errorText, "Ошибка получения результата из модуля");
    std::this_thread::sleep_for(std::chrono::milliseconds(400));  // the late reply lands now
    simulator->SetFault(sim::Fault::None);
    for (int k = 0; k < 30; ++k) simulator->SetRegister(static_cast<std::uint16_t>(512 + k), 15000);
    link.SetModuleType(215);
    ASSERT_TRUE(link.ReadMeasurements(100)) << link.First().errorText;
    EXPECT_EQ(link.First().registerCount, 30);
    EXPECT_EQ(link.First().registers[29], 15000);
}

TEST_F(LinkWithSimulator, FaultsOfTheSimulatedModule) {
    link.SetTiming({20, 20, 20, 300, 10});
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
        simulator->SetFault(c.fault, 0x0B);
        EXPECT_FALSE(link.ReadRelayStates(100));
        EXPECT_STREQ(link.First().errorText, c.error);
    }
    simulator->SetFault(sim::Fault::None);
    simulator->SetRegister(11, 0x0005);
    ASSERT_TRUE(link.ReadRelayStates(100));
    EXPECT_TRUE(link.RelayOn(0));
    EXPECT_FALSE(link.RelayOn(1));
    EXPECT_TRUE(link.RelayOn(2));
}

TEST_F(LinkWithSimulator, WritesAreKeptByTheModule) {
    link.SetTiming({20, 20, 20, 300, 10});
    TWriteTransaction& w = ThreeRegisterWrite();
    ASSERT_TRUE(link.WriteRegisters(w)) << w.errorText;
    w.firstRegister = 87;
    w.values[0] = 777;
    ASSERT_TRUE(link.WriteRegister(w)) << w.errorText;
    EXPECT_EQ(simulator->Register(85), 1000);
    EXPECT_EQ(simulator->Register(86), 950);
    EXPECT_EQ(simulator->Register(87), 777);
}

}  // namespace
}  // namespace kvel
