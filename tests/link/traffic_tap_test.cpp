// The traffic tap against the simulator: every transaction's bytes, verdict and counter.
#include <gtest/gtest.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <thread>
#include <vector>

#include "link/crc16.h"
#include "link/module_link.h"
#include "link/traffic_format.h"
#include "sim/simulator.h"
#include "tests/link/sim_link_fixture.h"

namespace kvel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The bytes with their CRC appended, low byte first.
Bytes Frame(std::initializer_list<std::uint8_t> bytes) {
    Bytes frame(bytes);
    appendCrc(frame);
    return frame;
}

TrafficRecord Newest(const ModuleLink& link) {
    return link.traffic().at(link.traffic().size() - 1);
}

class TrafficWithSimulator : public test::SimLinkFixture {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(SimLinkFixture::SetUp());
        link.setTiming({20, 20, 20, 300, 10});
        simulator->setRegister(11, 0x0005);  // the relay word the reads below ask for
    }
};

TEST_F(TrafficWithSimulator, GoodReadThenEachFaultGivesItsBytesVerdictAndCounter) {
    const Bytes request = Frame({0x64, 0x03, 0x00, 0x0B, 0x00, 0x01});
    const Bytes good = Frame({0x64, 0x03, 0x02, 0x00, 0x05});
    Bytes badCrc = good;
    badCrc.back() ^= 0x5A;
    struct Case {
        sim::Fault fault;
        Bytes reply;
        TrafficVerdict verdict;
        const char* text;
        std::uint64_t TrafficCounters::*counter;
    };
    const Case cases[] = {
        {sim::Fault::None, good, TrafficVerdict::Good, "Успешно", &TrafficCounters::good},
        {sim::Fault::Silence,
         {},
         TrafficVerdict::NoReply,
         "Ошибка получения результата из модуля",
         &TrafficCounters::noReply},
        {sim::Fault::BadCrc, badCrc, TrafficVerdict::BadCrc, "Ошибочный CRC в ответе от модуля",
         &TrafficCounters::badCrc},
        {sim::Fault::WrongAddress, Frame({0x65, 0x03, 0x02, 0x00, 0x05}),
         TrafficVerdict::WrongAddress, "Ошибочный адрес модуля в ответе от модуля",
         &TrafficCounters::wrongAddress},
        {sim::Fault::Exception, Frame({0x64, 0x83, 0x0B}), TrafficVerdict::Exception,
         "Ошибка модуля: код B", &TrafficCounters::exceptions},
    };
    std::uint64_t done = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        simulator->setFault(c.fault, 0x0B);
        const TrafficCounters before = link.traffic().counters();
        EXPECT_EQ(link.readRelayStates(100).ok(), c.verdict == TrafficVerdict::Good);
        ++done;
        ASSERT_EQ(link.traffic().size(), done);
        const TrafficRecord& r = Newest(link);
        EXPECT_EQ(r.sequence, done);
        EXPECT_EQ(r.request, request);
        EXPECT_EQ(r.reply, c.reply);
        EXPECT_TRUE(r.discarded.empty());
        EXPECT_EQ(r.verdict, c.verdict);
        EXPECT_EQ(trafficFieldsOf(r).back(), c.text);
        EXPECT_EQ(r.exceptionCode, c.verdict == TrafficVerdict::Exception ? 0x0B : 0);
        EXPECT_EQ(r.function, 3);
        EXPECT_EQ(r.firstRegister, 11);
        EXPECT_EQ(r.count, 1);
        // Reply time counts from the end of the send, so it holds the 20 ms pause.
        EXPECT_GE(r.replyUs, 20'000);
        const TrafficCounters& after = link.traffic().counters();
        EXPECT_EQ(after.*c.counter, before.*c.counter + 1);
        EXPECT_EQ(after.requests, done);
    }
    const TrafficCounters& c = link.traffic().counters();
    EXPECT_EQ(c.lateReplies, 0u);
    EXPECT_EQ(c.good + c.noReply + c.badCrc + c.wrongAddress + c.exceptions + c.otherFaults,
              c.requests);
    // Four complete replies are timed (silence is not).
    EXPECT_EQ(c.timedReplies, 4u);
    EXPECT_GT(c.meanReplyMs(), 0.0);
    EXPECT_GE(c.maxReplyMs(), c.meanReplyMs());

    link.traffic().clear();
    EXPECT_EQ(link.traffic().size(), 0u);
    EXPECT_EQ(link.traffic().counters().requests, 0u);
    EXPECT_EQ(link.traffic().counters().timedReplies, 0u);
}

// The program's final verdict: a read it rejects for its register count is no good reply.
TEST_F(TrafficWithSimulator, ReadRejectedForItsRegisterCountCountsAsAFault) {
    simulator->setReplyRegisterCount(2);
    EXPECT_FALSE(link.readRelayStates(100).ok());
    const TrafficRecord& r = Newest(link);
    EXPECT_EQ(r.verdict, TrafficVerdict::Other);
    EXPECT_EQ(r.failure.error, LinkError::WrongData);
    EXPECT_EQ(trafficFieldsOf(r).back(), "Ошибка в данных в ответе от модуля");
    EXPECT_EQ(link.traffic().counters().good, 0u);
    EXPECT_EQ(link.traffic().counters().otherFaults, 1u);
}

// The module's time runs from the end of the request to the first byte of its reply; the
// program's own pause before it reads the reply shows only in the total.
TEST_F(TrafficWithSimulator, ReplyTimeEndsAtTheFirstByteOfTheReply) {
    link.setTiming({150, 20, 20, 500, 10});
    ASSERT_EQ(errorText(link.readRelayStates(100)), "");
    const TrafficFields fields = trafficFieldsOf(Newest(link));
    EXPECT_LT(std::stod(fields[7]), 100.0) << fields[7];
    EXPECT_GE(std::stod(fields[8]), 150.0) << fields[8];
    EXPECT_LT(link.traffic().counters().meanReplyMs(), 100.0);
}

// A reply that comes after its read gave up is read away before the next request is sent,
// and shown there as discarded.
TEST_F(TrafficWithSimulator, LateReplyShowsAsDiscardedBeforeTheNextRequest) {
    simulator->setFault(sim::Fault::LateReply, 2, 400);  // the read gives up after 320 ms
    EXPECT_FALSE(link.readRelayStates(100).ok());
    EXPECT_EQ(Newest(link).verdict, TrafficVerdict::NoReply);
    EXPECT_TRUE(Newest(link).reply.empty());
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));  // the late reply lands
    simulator->setFault(sim::Fault::None);
    ASSERT_EQ(errorText(link.readRelayStates(100)), "");
    const TrafficRecord& r = Newest(link);
    EXPECT_EQ(r.discarded, Frame({0x64, 0x03, 0x02, 0x00, 0x05}));
    EXPECT_EQ(r.discardedTotal, 7u);
    EXPECT_EQ(r.reply, Frame({0x64, 0x03, 0x02, 0x00, 0x05}));
    EXPECT_EQ(r.verdict, TrafficVerdict::Good);
    EXPECT_EQ(link.traffic().counters().noReply, 1u);
    EXPECT_EQ(link.traffic().counters().lateReplies, 1u);
    EXPECT_EQ(link.traffic().counters().good, 1u);
}

TEST_F(TrafficWithSimulator, UnplugAndReplugCountAsAPortReopening) {
    ASSERT_TRUE(link.readRelayStates(100).ok());
    simulator->unplug();
    EXPECT_FALSE(link.readRelayStates(100).ok());
    const TrafficRecord& refused = Newest(link);
    EXPECT_EQ(trafficFieldsOf(refused).back(), "Нет связи с портом");
    EXPECT_EQ(refused.verdict, TrafficVerdict::Other);
    EXPECT_EQ(refused.request, Frame({0x64, 0x03, 0x00, 0x0B, 0x00, 0x01}));
    EXPECT_TRUE(refused.reply.empty());
    EXPECT_EQ(refused.replyUs, -1);  // nothing went out, so there is no reply time
    EXPECT_EQ(link.traffic().counters().otherFaults, 1u);

    link.openPort(simulator->devicePath(), 4, 0);  // the device is gone: no open
    EXPECT_TRUE(link.portNeedsOpening());
    EXPECT_EQ(link.traffic().counters().reopenings, 0u);

    ASSERT_TRUE(simulator->plug()) << simulator->errorText();
    link.openPort(simulator->devicePath(), 4, 0);
    ASSERT_FALSE(link.portNeedsOpening());
    EXPECT_EQ(link.traffic().counters().reopenings, 1u);
    ASSERT_EQ(errorText(link.readRelayStates(100)), "");
    EXPECT_EQ(link.traffic().counters().good, 2u);
    EXPECT_EQ(link.traffic().counters().requests, 3u);
}

TEST_F(TrafficWithSimulator, WritesAreRecordedWithTheirFunctionAndCount) {
    WriteTransaction& w = ThreeRegisterWrite();
    ASSERT_TRUE(link.writeRegisters(w)) << errorText(w);
    const TrafficRecord& many = Newest(link);
    EXPECT_EQ(many.function, 16);
    EXPECT_EQ(many.firstRegister, 85);
    EXPECT_EQ(many.count, 3);
    EXPECT_EQ(many.request, Frame({0x64, 0x10, 0x00, 0x55, 0x00, 0x03, 0x06, 0x03, 0xE8, 0x03, 0xB6,
                                   0x03, 0x84}));
    EXPECT_EQ(many.reply, Frame({0x64, 0x10, 0x00, 0x55, 0x00, 0x03}));
    EXPECT_EQ(many.verdict, TrafficVerdict::Good);

    w.firstRegister = 87;
    w.values[0] = 777;
    simulator->setFault(sim::Fault::Exception, 3);
    EXPECT_FALSE(link.writeRegister(w));
    const TrafficRecord& single = Newest(link);
    EXPECT_EQ(single.function, 6);
    EXPECT_EQ(single.count, 1);
    EXPECT_EQ(single.request, Frame({0x64, 0x06, 0x00, 0x57, 0x03, 0x09}));
    EXPECT_EQ(single.reply, Frame({0x64, 0x86, 0x03}));
    EXPECT_EQ(single.verdict, TrafficVerdict::Exception);
    EXPECT_EQ(trafficFieldsOf(single).back(), "Ошибка модуля: код 3");
    EXPECT_EQ(link.traffic().counters().exceptions, 1u);
}

}  // namespace
}  // namespace kvel
