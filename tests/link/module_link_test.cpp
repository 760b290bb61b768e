#include "link/module_link.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "link/module_map.h"
#include "tests/link/pty_peer.h"

namespace kvel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::WithCrc;

// A read reply of module 100 carrying `registers` registers, each of `value`.
Bytes Reply(int registers, std::uint16_t value = 1) {
    Bytes frame{100, 3, static_cast<std::uint8_t>(2 * registers)};
    for (int i = 0; i < registers; ++i) {
        frame.push_back(static_cast<std::uint8_t>(value >> 8));
        frame.push_back(static_cast<std::uint8_t>(value & 0xFF));
    }
    return WithCrc(frame);
}

TEST(ModuleMap, TemperatureTexts) {
    const std::vector<std::pair<std::uint16_t, std::string>> cases = {
        {0, "---.-"},         {14950, "25.85"},  {13658, "0.01"},
        {13657, "-0.01"},     {1, "-273.13"},    {65535, "1037.55"},
        {13657 + 50, "0.99"}, {18660, "100.05"}, {12345, "-26.25"},
    };
    for (const auto& [raw, text] : cases) EXPECT_EQ(temperatureText(raw), text) << raw;
}

TEST(ModuleMap, TypeCodeDecidesLayoutAndGeneration) {
    struct Case {
        int type, channels, first, relayLength;
        bool firstGeneration;
    };
    const std::vector<Case> cases = {
        {0, 15, 21, 7, true},    {199, 15, 21, 7, true},   {200, 15, 21, 7, false},
        {209, 15, 21, 7, false}, {210, 30, 512, 8, false}, {215, 30, 512, 8, false},
        {220, 30, 512, 8, true}, {221, 30, 512, 8, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        EXPECT_EQ(channelCountForType(c.type), c.channels);
        EXPECT_EQ(measurementFirstRegister(c.type), c.first);
        EXPECT_EQ(relaySettingsLength(c.type), c.relayLength);
        EXPECT_EQ(isFirstGeneration(c.type), c.firstGeneration);
    }
}

TEST(ModuleMap, RelayBits) {
    EXPECT_TRUE(relayOn(0x0005, 0));
    EXPECT_FALSE(relayOn(0x0005, 1));
    EXPECT_TRUE(relayOn(0x0005, 2));
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(relayOn(0xFFF8, i));
    EXPECT_FALSE(relayOn(0xFFFF, 3));
}

class ModuleLinkTest : public ::testing::Test {
  protected:
    void SetUp() override {
        link.setTiming({10, 10, 10, 200, 10});
        link.openPort(peer.slavePath(), 0, 0);
        ASSERT_FALSE(link.portNeedsOpening());
    }
    // (first register, count) of every request seen.
    std::vector<std::pair<int, int>> Requested() {
        std::vector<std::pair<int, int>> out;
        for (const Bytes& r : peer.requests()) out.emplace_back(r[2] << 8 | r[3], r[4] << 8 | r[5]);
        return out;
    }
    test::PtyPeer peer;
    ModuleLink link;
};

TEST_F(ModuleLinkTest, IdentificationFallsBackWhenTheModuleDoesNotAnswer) {
    peer.Script({WithCrc({100, 3, 2, 0, 215}), WithCrc({100, 3, 2, 0, 103}), {}, {}});
    EXPECT_EQ(link.readModuleType(100), 215);
    EXPECT_EQ(link.readSoftwareVersion(100), 103);
    EXPECT_EQ(link.readModuleType(100), 0);
    EXPECT_EQ(link.readSoftwareVersion(100), 100);
    EXPECT_EQ(Requested(),
              (std::vector<std::pair<int, int>>{{145, 1}, {146, 1}, {145, 1}, {146, 1}}));
}

// The program closes while the module is silent: setting the link's flag from another thread
// wakes the port's wait for the reply at once; further reads send nothing; once cleared, the
// pauses are whole again.
TEST_F(ModuleLinkTest, TheClosingFlagEndsTheWaitForAReplyAtOnce) {
    link.setTiming({10, 10, 10, 10000, 10});
    peer.Script({{}});
    const auto start = std::chrono::steady_clock::now();
    std::thread closer([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        link.closing().set();
    });
    const ReadTransaction silent = link.readRelayStates(100);
    closer.join();
    EXPECT_FALSE(silent.ok());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(link.readRelayStates(100).failure.error, LinkError::Interrupted);
    EXPECT_EQ(peer.requests().size(), 1u);

    link.closing().clear();
    const auto paused = std::chrono::steady_clock::now();
    link.pause(60);
    EXPECT_GE(std::chrono::steady_clock::now() - paused, std::chrono::milliseconds(55));
}

TEST_F(ModuleLinkTest, AddressIsCutToEightBits) {
    peer.Script({WithCrc({100, 3, 2, 0, 209})});
    EXPECT_EQ(link.readModuleType(256 + 100), 209);
    EXPECT_EQ(peer.requests().at(0).at(0), 100);
}

TEST_F(ModuleLinkTest, MeasurementsFollowTheTypeCode) {
    Bytes block{100, 3, 60};
    for (int k = 0; k < 30; ++k) {
        const int raw = k == 1 ? 0 : 14950 + k;
        block.push_back(static_cast<std::uint8_t>(raw >> 8));
        block.push_back(static_cast<std::uint8_t>(raw & 0xFF));
    }
    peer.Script({WithCrc(block), Reply(15, 14950)});
    link.setModuleType(215);
    const ReadTransaction measurements = link.readMeasurements(100);
    ASSERT_TRUE(measurements.ok());
    std::vector<std::string> texts = link.takeMeasurements(measurements);
    ASSERT_EQ(texts.size(), 30u);
    EXPECT_EQ(texts[0], "25.85");
    EXPECT_EQ(texts[1], "---.-");
    EXPECT_TRUE(link.channelValid(0));
    EXPECT_FALSE(link.channelValid(1));
    EXPECT_TRUE(link.channelValid(29));

    link.setModuleType(209);
    const ReadTransaction fifteen = link.readMeasurements(100);
    ASSERT_TRUE(fifteen.ok());
    EXPECT_EQ(link.takeMeasurements(fifteen).size(), 15u);
    EXPECT_EQ(Requested(), (std::vector<std::pair<int, int>>{{512, 30}, {21, 15}}));
}

TEST_F(ModuleLinkTest, RelaySettingsOfAnUnknownRelayFailWithoutTraffic) {
    link.setModuleType(209);
    EXPECT_FALSE(link.readRelaySettings(0, 100).ok());
    EXPECT_FALSE(link.readRelaySettings(4, 100).ok());
    EXPECT_TRUE(peer.requests().empty());
    peer.Script({Reply(7), Reply(8)});
    EXPECT_EQ(link.readRelaySettings(2, 100).registerCount, 7);
    link.setModuleType(215);
    EXPECT_EQ(link.readRelaySettings(3, 100).registerCount, 8);
    EXPECT_EQ(Requested(), (std::vector<std::pair<int, int>>{{282, 7}, {298, 8}}));
}

TEST_F(ModuleLinkTest, SettingsBlockReadsInOrderAndStopsAtTheFirstFailure) {
    link.setModuleType(220);
    peer.Script({Reply(18), Reply(30), Reply(30), Reply(2), Reply(2)});
    SettingsBlockRead read;
    EXPECT_TRUE(link.readSettingsBlock(100, read));
    EXPECT_EQ(Requested(), (std::vector<std::pair<int, int>>{
                               {0, 18}, {768, 30}, {800, 30}, {640, 2}, {656, 2}}));

    test::PtyPeer other;
    link.openPort(other.slavePath(), 0, 0);
    link.setModuleType(209);
    other.Script({Reply(18), {}, Reply(15)});
    EXPECT_FALSE(link.readSettingsBlock(100, read));
    EXPECT_EQ(read.thresholds1.failure.error, LinkError::ReadNoReply);
    ASSERT_EQ(other.requests().size(), 2u);
}

// Each read of the settings operation takes only a reply of exactly its own count: one
// register fewer or more stops the operation there, with the data error, and the record
// keeps what it held.
TEST_F(ModuleLinkTest, SettingsBlockFailsOnAReplyOfAnotherCount) {
    const int counts[] = {18, 30, 30, 2, 2};
    link.setModuleType(220);
    for (int wrong = 0; wrong < 5; ++wrong) {
        for (const int delta : {-1, +1}) {
            SCOPED_TRACE(std::to_string(wrong) + (delta < 0 ? " fewer" : " more"));
            test::PtyPeer line;
            link.openPort(line.slavePath(), 0, 0);
            SettingsBlockRead read;
            ReadTransaction* records[] = {&read.block, &read.thresholds1, &read.thresholds2,
                                          &read.linkPair, &read.thresPair};
            for (ReadTransaction* r : records) r->registers[0] = 4242;
            std::vector<Bytes> replies;
            for (int i = 0; i <= wrong; ++i) {
                replies.push_back(Reply(counts[i] + (i == wrong ? delta : 0), 7));
            }
            line.Script(replies);
            EXPECT_FALSE(link.readSettingsBlock(100, read));
            EXPECT_EQ(line.requests().size(), static_cast<std::size_t>(wrong + 1));
            const ReadTransaction& failed = *records[wrong];
            EXPECT_EQ(errorText(failed), "Ошибка в данных в ответе от модуля");
            EXPECT_EQ(failed.registers[0], 4242);
        }
    }
}

TEST_F(ModuleLinkTest, FailedOpenShowsInTheStatus) {
    EXPECT_FALSE(link.openPort("/dev/kvel-absent", 0, 0));
    EXPECT_TRUE(link.portNeedsOpening());
    EXPECT_EQ(link.port().getState(), SerialPort::State::OpenFailed);
}

}  // namespace
}  // namespace kvel
