#include "link/transactions.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "link/crc16.h"
#include "link/serial_port.h"
#include "tests/link/pty_peer.h"

namespace kvel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::WithCrc;

// Short pauses so that a table of exchanges runs quickly; the timing test keeps the real ones.
constexpr LinkTiming kFast{20, 20, 20, 300, 10};

TEST(Crc16, CheckValues) {
    const std::string digits = "123456789";
    EXPECT_EQ(crc16(reinterpret_cast<const std::uint8_t*>(digits.data()), 9), 0x4B37);
    const Bytes request{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A};
    EXPECT_EQ(crc16(request.data(), 6), 0xCDC5);
    EXPECT_EQ(WithCrc(request), (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD}));
    EXPECT_EQ(crc16(nullptr, 0), 0xFFFF);
}

class TransactionTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(port.open(peer.slavePath(), 0, 0)); }
    test::PtyPeer peer;
    SerialPort port;
};

TEST_F(TransactionTest, ReadRequestFrameAndDecoding) {
    peer.Script({WithCrc({0x01, 0x03, 0x04, 0x12, 0x34, 0xFF, 0xFE})});
    ReadTransaction t;
    t.moduleAddress = 1;
    t.firstRegister = 0;
    t.count = 10;
    ASSERT_TRUE(readRegisters(port, t, kFast)) << errorText(t);
    EXPECT_EQ(peer.requests().at(0), (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD}));
    EXPECT_EQ(t.registerCount, 2);
    EXPECT_EQ(t.registers[0], 0x1234);
    EXPECT_EQ(t.registers[1], 0xFFFE);
}

struct ReadCase {
    const char* name;
    Bytes reply;  // empty: the module stays silent
    bool ok;
    const char* error;
    int registerCount;
    int exceptionCode;
};

TEST_F(TransactionTest, ReadReplyChecks) {
    const std::vector<ReadCase> cases = {
        {"exact", WithCrc({100, 3, 6, 0, 1, 0, 2, 0, 3}), true, "", 3, -1},
        {"fewer registers than asked", WithCrc({100, 3, 2, 0, 9}), true, "", 1, -1},
        {"odd byte count drops the last byte", WithCrc({100, 3, 5, 0, 7, 0, 8, 9}), true, "", 2,
         -1},
        {"wrong address, checked before the function", WithCrc({101, 0x83, 2}), false,
         "Ошибочный адрес модуля в ответе от модуля", -1, -1},
        {"exception code in upper-case hex", WithCrc({100, 0x83, 10}), false,
         "Ошибка модуля: код A", -1, 10},
        // Line noise in the function byte is no refusal of the module.
        {"exception with a bad CRC",
         {100, 0x83, 2, 0xDE, 0xAD},
         false,
         "Ошибочный CRC в ответе от модуля",
         -1,
         -1},
        {"bad CRC",
         {100, 3, 2, 0, 1, 0x12, 0x34},
         false,
         "Ошибочный CRC в ответе от модуля",
         -1,
         -1},
        {"cut short before its CRC",
         {100, 3, 6, 0, 1},
         false,
         "Ошибочный CRC в ответе от модуля",
         -1,
         -1},
        {"silence", {}, false, "Ошибка получения результата из модуля", -1, -1},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        peer.Script({c.reply});
        ReadTransaction t;
        t.moduleAddress = 100;
        t.firstRegister = 21;
        t.count = 3;
        t.registers[2] = 0xAAAA;                          // what an earlier reply left
        const LinkFailure earlier{LinkError::NoPort, 0};  // what an earlier exchange left
        t.failure = earlier;
        const bool ok = readRegisters(port, t, kFast);
        EXPECT_EQ(ok, c.ok);
        if (c.ok) {
            EXPECT_EQ(t.failure, earlier);
        } else {
            EXPECT_EQ(errorText(t), c.error);
        }
        if (c.registerCount >= 0) {
            EXPECT_EQ(t.registerCount, c.registerCount);
        }
        if (c.exceptionCode >= 0) {
            EXPECT_EQ(t.exceptionCode, c.exceptionCode);
        }
        if (c.ok && c.registerCount < 3) {
            EXPECT_EQ(t.registers[2], 0xAAAA);
        }
        EXPECT_TRUE(port.isOpen());
    }
}

struct WriteCase {
    const char* name;
    bool many;
    Bytes reply;
    const char* error;  // nullptr: success
};

TEST_F(TransactionTest, WriteReplyChecks) {
    const Bytes echo6 = WithCrc({100, 6, 0x01, 0x0A, 0x12, 0x34});
    const Bytes echo16 = WithCrc({100, 0x10, 0x00, 0x55, 0x00, 0x03});
    const std::vector<WriteCase> cases = {
        {"single echoed", false, echo6, nullptr},
        {"many confirmed", true, echo16, nullptr},
        {"single echoes another value", false, WithCrc({100, 6, 0x01, 0x0A, 0x12, 0x35}),
         "Ошибка в данных в ответе от модуля"},
        {"many confirms another count", true, WithCrc({100, 0x10, 0x00, 0x55, 0x00, 0x02}),
         "Ошибка в данных в ответе от модуля"},
        {"wrong address", false, WithCrc({7, 6, 0x01, 0x0A, 0x12, 0x34}),
         "Ошибочный адрес модуля в ответе от модуля при записи"},
        {"exception to function 6", false, WithCrc({100, 0x86, 2}), "Ошибка модуля: код 2"},
        {"exception to function 16", true, WithCrc({100, 0x90, 0x1F}), "Ошибка модуля: код 1F"},
        {"exception with a bad CRC",
         true,
         {100, 0x90, 0x02, 0x00, 0x00},
         "Ошибочный CRC в ответе от модуля"},
        {"bad CRC",
         false,
         {100, 6, 0x01, 0x0A, 0x12, 0x34, 0, 0},
         "Ошибочный CRC в ответе от модуля"},
        {"silence", true, {}, "Ошибка подтверждения записи из модуля"},
    };
    for (const WriteCase& c : cases) {
        SCOPED_TRACE(c.name);
        peer.Script({c.reply});
        WriteTransaction t;
        t.moduleAddress = 100;
        if (c.many) {
            t.firstRegister = 0x55;
            t.count = 3;
            t.values[0] = 1;
            t.values[1] = 0x0203;
            t.values[2] = 0xFFFF;
        } else {
            t.firstRegister = 0x10A;
            t.values[0] = 0x1234;
        }
        const bool ok = c.many ? writeRegisters(port, t, kFast) : writeRegister(port, t, kFast);
        EXPECT_EQ(ok, c.error == nullptr) << errorText(t);
        if (c.error) {
            EXPECT_EQ(errorText(t), c.error);
        }
    }
    const auto requests = peer.requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_EQ(requests[0], WithCrc({100, 6, 0x01, 0x0A, 0x12, 0x34}));
    EXPECT_EQ(requests[1], WithCrc({100, 0x10, 0x00, 0x55, 0x00, 0x03, 6, 0, 1, 2, 3, 0xFF, 0xFF}));
}

// An RTU frame holds 256 bytes: a read's reply 125 registers, a write's request 123.
TEST_F(TransactionTest, CountsAFrameCannotCarryAreRefusedBeforeTheLine) {
    WriteTransaction w;
    w.moduleAddress = 100;
    for (const std::uint16_t count : {0, 124, 128}) {
        w.count = count;
        EXPECT_FALSE(writeRegisters(port, w, kFast)) << count;
    }
    ReadTransaction r;
    r.moduleAddress = 100;
    for (const std::uint16_t count : {0, 126, 127}) {
        r.count = count;
        EXPECT_FALSE(readRegisters(port, r, kFast)) << count;
        EXPECT_EQ(errorText(r),
                  ("Недопустимое число регистров для чтения: " + std::to_string(count)).c_str());
    }
    EXPECT_TRUE(peer.requests().empty());

    std::vector<std::uint8_t> reply = {100, 3, 250};
    reply.resize(253, 0);
    peer.Script({WithCrc(reply)});
    r.count = 125;
    EXPECT_TRUE(readRegisters(port, r, kFast)) << errorText(r);
    EXPECT_EQ(r.registerCount, 125);
    peer.Script({WithCrc({100, 0x10, 0, 0, 0, 123})});
    w.count = 123;
    w.firstRegister = 0;
    EXPECT_TRUE(writeRegisters(port, w, kFast)) << errorText(w);
    ASSERT_EQ(peer.requests().size(), 2u);
    EXPECT_EQ(peer.requests()[1].size(), 255u);  // 7 + 246 + CRC
}

TEST_F(TransactionTest, StaleBytesBeforeARequestAreNotTakenAsItsReply) {
    // A reply that came after its exchange gave up waits in the input queue.
    peer.Inject(WithCrc({100, 3, 2, 0xDE, 0xAD}));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    peer.Script({WithCrc({100, 3, 2, 0x00, 0x2A})});
    ReadTransaction t;
    t.moduleAddress = 100;
    t.firstRegister = 145;
    t.count = 1;
    ASSERT_TRUE(readRegisters(port, t, kFast)) << errorText(t);
    EXPECT_EQ(t.registers[0], 0x2A);
}

TEST_F(TransactionTest, ClosedPortFailsWithoutTraffic) {
    port.close();
    ReadTransaction r;
    r.moduleAddress = 100;
    r.count = 1;
    EXPECT_FALSE(readRegisters(port, r, kFast));
    EXPECT_EQ(errorText(r), "Нет связи с портом");
    WriteTransaction w;
    w.moduleAddress = 100;
    EXPECT_FALSE(writeRegister(port, w, kFast));
    EXPECT_EQ(errorText(w), "Ошибка передачи команды записи в модуль");
    EXPECT_TRUE(peer.requests().empty());
}

// With the real pauses and waits, a module that does not answer costs a read 100 + 500 ms and
// a single write 200 + 500 ms.
TEST_F(TransactionTest, SilentModuleCostsTheSpecifiedTime) {
    using Clock = std::chrono::steady_clock;
    peer.Script({});
    ReadTransaction r;
    r.moduleAddress = 100;
    r.count = 1;
    auto start = Clock::now();
    EXPECT_FALSE(readRegisters(port, r));
    const auto readMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(readMs, 600);
    EXPECT_LE(readMs, 700);

    WriteTransaction w;
    w.moduleAddress = 100;
    start = Clock::now();
    EXPECT_FALSE(writeRegister(port, w));
    const auto writeMs =
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_GE(writeMs, 700);
    EXPECT_LE(writeMs, 800);
}

}  // namespace
}  // namespace kvel
