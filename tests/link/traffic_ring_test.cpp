// The tap's ring and counters, and the one-line form of a transaction, without a line.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "link/traffic_format.h"
#include "link/traffic_tap.h"
#include "tests/link/traffic_feed.h"

namespace kvel {
namespace {

using test::Transact;

// Keeps the sequence number of the last record it was told of.
struct LastHeard final : TrafficListener {
    void transactionRecorded(const TrafficRecord& r) override { sequence = r.sequence; }
    std::uint64_t sequence = 0;
};

TEST(TrafficTap, RingKeepsExactlyTheLastTransactionsInOrder) {
    TrafficTap tap;
    LastHeard heard;
    LastHeard leaves;
    tap.addListener(&heard);
    tap.addListener(&heard);  // still told once per record
    tap.addListener(&leaves);
    Transact(tap, 0);
    tap.removeListener(&leaves);
    for (std::uint16_t i = 1; i < 10050; ++i) Transact(tap, i);
    EXPECT_EQ(heard.sequence, 10050u);
    EXPECT_EQ(leaves.sequence, 1u);
    ASSERT_EQ(tap.size(), TrafficTap::kCapacity);
    ASSERT_EQ(TrafficTap::kCapacity, 10000u);
    for (std::size_t i = 0; i < tap.size(); ++i) {
        ASSERT_EQ(tap.at(i).sequence, 51 + i) << i;
        ASSERT_EQ(tap.at(i).firstRegister, 50 + i) << i;
    }
    EXPECT_EQ(tap.counters().requests, 10050u);
    EXPECT_EQ(tap.counters().good, 10050u);

    tap.clear();
    EXPECT_EQ(tap.size(), 0u);
    EXPECT_EQ(tap.counters().requests, 0u);
    EXPECT_EQ(tap.counters().good, 0u);
    Transact(tap, 7, TrafficVerdict::BadCrc);
    ASSERT_EQ(tap.size(), 1u);
    EXPECT_EQ(tap.at(0).firstRegister, 7);
    EXPECT_EQ(tap.counters().badCrc, 1u);
    EXPECT_EQ(tap.counters().requests, 1u);
}

// "Очистить" pressed while a transaction is on the line: what is kept afterwards is that
// transaction (it ends after the clearing) and what follows, never an older record.
TEST(TrafficTap, ClearingDuringATransactionKeepsOnlyWhatEndsAfterIt) {
    TrafficTap tap(4);
    for (std::uint16_t i = 0; i < 6; ++i) Transact(tap, i);
    const std::uint8_t request[8] = {0x64, 0x03, 0x00, 0x63, 0x00, 0x01, 0, 0};
    tap.beginTransaction(request, sizeof request);
    tap.clear();
    tap.endTransaction(nullptr, 0, TrafficVerdict::NoReply, {LinkError::ReadNoReply});
    Transact(tap, 100);
    ASSERT_EQ(tap.size(), 2u);
    EXPECT_EQ(tap.at(0).firstRegister, 0x63);
    EXPECT_EQ(tap.at(0).verdict, TrafficVerdict::NoReply);
    EXPECT_EQ(tap.at(1).firstRegister, 100);
    EXPECT_EQ(tap.counters().requests, 2u);
    EXPECT_EQ(tap.counters().noReply, 1u);
}

TEST(TrafficTap, PortOpeningsAfterTheFirstAreReopenings) {
    TrafficTap tap;
    tap.portOpened();
    EXPECT_EQ(tap.counters().reopenings, 0u);
    tap.portOpened();
    tap.portOpened();
    EXPECT_EQ(tap.counters().reopenings, 2u);
    tap.clear();  // a reset does not make the next open a first one
    tap.portOpened();
    EXPECT_EQ(tap.counters().reopenings, 1u);
}

class TrafficFormat : public ::testing::Test {
  protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        savedTz = tz ? tz : "";
        hadTz = tz != nullptr;
        setenv("TZ", "UTC", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz) {
            setenv("TZ", savedTz.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    std::string savedTz;
    bool hadTz = false;
};

TEST_F(TrafficFormat, OneLinePerTransaction) {
    TrafficRecord r;
    r.sentAtMs = 1796636725123;  // 07.12.26 09:45:25.123 UTC
    r.function = 3;
    r.firstRegister = 512;
    r.count = 10;
    r.request = {0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD};
    r.reply = {0x01, 0x83, 0x0A, 0x00, 0x0F};
    r.firstByteUs = 12345;
    r.replyUs = 112345;
    r.verdict = TrafficVerdict::Exception;
    r.failure = {LinkError::ModuleException, 0xA};
    EXPECT_EQ(trafficLine(r),
              "07.12.26 09:45:25.123\t3\t512\t10\t-\t01 03 00 00 00 0A C5 CD\t01 83 0A 00 0F\t"
              "12.3\t112.3\tОшибка модуля: код A");

    r.verdict = TrafficVerdict::Good;
    r.reply.clear();
    r.firstByteUs = -1;
    r.replyUs = -1;
    r.discarded = {0xAB, 0x01};
    r.discardedTotal = 2;
    const TrafficFields fields = trafficFieldsOf(r);
    EXPECT_EQ(fields[4], "AB 01");
    EXPECT_EQ(fields[6], "-");
    EXPECT_EQ(fields[7], "-");
    EXPECT_EQ(fields[8], "-");
    EXPECT_EQ(fields[9], "Успешно");
}

TEST_F(TrafficFormat, DiscardedBeyondWhatIsKeptIsCounted) {
    TrafficTap tap;
    const std::uint8_t request[8] = {0x64, 0x03, 0, 0, 0, 1, 0, 0};
    const std::vector<std::uint8_t> noise(1500, 0xEE);
    tap.beginTransaction(request, sizeof request);
    tap.inputDiscarded(noise.data(), 1000);
    tap.inputDiscarded(noise.data(), 500);
    tap.requestSent();
    tap.endTransaction(nullptr, 0, TrafficVerdict::NoReply, {LinkError::ReadNoReply});
    const TrafficRecord& r = tap.at(0);
    EXPECT_EQ(r.discarded.size(), TrafficTap::kDiscardKept);
    EXPECT_EQ(r.discardedTotal, 1500u);
    const std::string shown = trafficFieldsOf(r)[4];
    EXPECT_EQ(shown.substr(0, 6), "EE EE ");
    EXPECT_NE(shown.find(" ... (1500 байт)"), std::string::npos);
}

TEST(TrafficCountersText, AllCountersAndReplyTimes) {
    TrafficCounters c;
    c.requests = 12;
    c.good = 8;
    c.noReply = 1;
    c.lateReplies = 1;
    c.badCrc = 1;
    c.wrongAddress = 1;
    c.exceptions = 1;
    c.otherFaults = 0;
    c.reopenings = 2;
    c.timedReplies = 11;
    c.replyUsTotal = 11 * 112'340;
    c.replyUsMax = 130'060;
    EXPECT_EQ(trafficCountersText(c),
              "Запросов: 12, Ответов: 8, Без ответа: 1, Поздних ответов: 1, Ошибок CRC: 1, "
              "Чужой адрес: 1, "
              "Исключений: 1, Прочих ошибок: 0, Переоткрытий порта: 2, "
              "Время ответа: ср. 112.3 мс, макс. 130.1 мс");
    EXPECT_EQ(trafficToolTip(TrafficCounters{}),
              "Обмен с модулем: Ctrl+T или двойной щелчок\nЗапросов: 0\nОтветов: 0\n"
              "Без ответа: 0\nПоздних ответов: 0\nОшибок CRC: 0\nЧужой адрес: 0\nИсключений: "
              "0\nПрочих ошибок: 0\n"
              "Переоткрытий порта: 0\nВремя ответа: -");
}

}  // namespace
}  // namespace kvel
