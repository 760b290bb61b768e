// The register map: plausible defaults, drift, re-laying, and the module's own address.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "link/module_map.h"
#include "sim/modbus_slave.h"
#include "sim/simulator.h"
#include "tests/sim/modbus_client.h"

namespace kvel::sim {
namespace {

using test::ModbusClient;

std::int16_t Signed(std::uint16_t v) {
    return static_cast<std::int16_t>(v);
}

// The ranges the program's settings dialogs accept: a default outside them could not be
// written back unchanged.
TEST(SimMap, DefaultsPassTheSettingsValidations) {
    for (const int type : {150, 205, 215, 220}) {
        SCOPED_TRACE(type);
        Simulator sim(test::Module(type));
        const int n = type >= 210 ? 30 : 15;
        const bool first = type < 200 || type == 220;
        for (int k = 0; k < n; ++k) EXPECT_GT(sim.registerValue(85 + k), 0) << "coefficient " << k;
        if (first) {
            EXPECT_EQ(sim.registerValue(0), 100);
            EXPECT_LE(sim.registerValue(1), 4);
            EXPECT_LE(sim.registerValue(2), 2);
            for (int r : {5, 6})
                EXPECT_TRUE(sim.registerValue(r) >= 1 && sim.registerValue(r) <= 255) << r;
            for (int r : {8, 9, 10})
                EXPECT_TRUE(sim.registerValue(r) >= 1 && sim.registerValue(r) <= 22) << r;
            for (int r : {14, 15, 16}) EXPECT_LE(sim.registerValue(r), 500) << r;
            EXPECT_LE(sim.registerValue(17), 100);
            EXPECT_EQ(sim.registerValue(12) & 0x8000, 0);
        } else {
            EXPECT_EQ(sim.registerValue(256), 100);
            for (int r : {257, 262}) EXPECT_LE(sim.registerValue(r), 4) << r;
            for (int r : {258, 263}) EXPECT_LE(sim.registerValue(r), 2) << r;
            EXPECT_TRUE(sim.registerValue(261) >= 1 && sim.registerValue(261) <= 247);
            for (int b : {266, 282, 298}) {
                EXPECT_TRUE(sim.registerValue(b) >= 1 && sim.registerValue(b) <= 22) << b;
                EXPECT_LE(sim.registerValue(b + 1), 1) << b;
                for (int d : {2, 3})
                    EXPECT_TRUE(sim.registerValue(b + d) >= 1 && sim.registerValue(b + d) <= 255);
                for (int t : {5, 6}) {
                    EXPECT_TRUE(Signed(sim.registerValue(b + t)) >= -40 &&
                                Signed(sim.registerValue(b + t)) <= 500);
                }
            }
        }
        if (type == 220) {
            EXPECT_EQ((sim.registerValue(640) | sim.registerValue(641)) & 0x8000, 0);
        }
    }
}

TEST(SimMap, TemperaturesDriftUnlessPinnedOrStopped) {
    Simulator sim(test::Module(215));
    const auto snapshot = [&] {
        std::vector<std::uint16_t> v;
        for (int k = 0; k < 30; ++k) v.push_back(sim.registerValue(512 + k));
        return v;
    };
    sim.setRegister(515, 0);  // channel 4 has no sensor
    const auto a = snapshot();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto b = snapshot();
    EXPECT_NE(a, b);
    EXPECT_EQ(b[3], 0) << "a pinned channel does not drift";
    int hot = 0;
    for (int k = 0; k < 30; ++k) {
        if (k == 3) continue;
        const double celsius = temperature(b[k]);
        EXPECT_TRUE(celsius > 15 && celsius < 140) << k << ": " << celsius;
        hot += celsius > 40 ? 1 : 0;
    }
    EXPECT_GE(hot, 2) << "a few channels run hot";

    sim.setDrift(false);
    const auto c = snapshot();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(c, snapshot());
}

TEST(SimMap, TypeCodeReLaysTheMapAndKeepsTheAddress) {
    Simulator sim(test::Module(215, 17));
    ASSERT_TRUE(sim.start()) << sim.errorText();
    ModbusClient client(sim.devicePath(), 115200, 17);
    ASSERT_TRUE(client.Connected());
    EXPECT_EQ(client.read(512, 30).size(), 30u);
    sim.setTypeCode(150);
    EXPECT_EQ(client.read(145, 1), std::vector<std::uint16_t>{150});
    EXPECT_EQ(client.read(21, 15).size(), 15u);
    EXPECT_EQ(client.read(768, 15).size(), 15u);
    int error = 0;
    EXPECT_TRUE(client.read(512, 30, &error).empty());
    EXPECT_EQ(error, EMBXILADD);
    EXPECT_TRUE(client.read(256, 8, &error).empty()) << "the first generation has no block at 256";
    EXPECT_EQ(sim.registerValue(0), 17);
}

TEST(SimMap, NewAddressSpeedAndParityTakeEffectAfterTheReply) {
    struct Case {
        int type;
        int addressRegister;
    };
    for (const Case c : {Case{150, 0}, Case{215, 256}}) {
        SCOPED_TRACE(c.type);
        Simulator sim(test::Module(c.type));
        ASSERT_TRUE(sim.start()) << sim.errorText();
        {
            ModbusClient client(sim.devicePath(), 115200, 100, 200);
            ASSERT_TRUE(client.Connected());
            // Confirmed from the old address at the old speed, as the link write expects.
            EXPECT_EQ(client.WriteMany(c.addressRegister, {42, 1, 2}), 0);
            EXPECT_EQ(sim.moduleAddress(), 42);
            int error = 0;
            EXPECT_TRUE(client.read(145, 1, &error).empty()) << "the old address is gone";
            EXPECT_EQ(error, ETIMEDOUT);
            client.SetSlave(42);
            EXPECT_TRUE(client.read(145, 1, &error).empty()) << "115200 is not its speed now";
            EXPECT_EQ(error, ETIMEDOUT);
        }
        {
            ModbusClient client(sim.devicePath(), 19200, 42, 200);
            ASSERT_TRUE(client.Connected());
            int error = 0;
            EXPECT_TRUE(client.read(145, 1, &error).empty()) << "no parity is not its parity now";
            EXPECT_EQ(error, ETIMEDOUT);
        }
        // The master reopens the port with the new settings, as the program does.
        ModbusClient client(sim.devicePath(), 19200, 42, 400, 'O');
        ASSERT_TRUE(client.Connected());
        int err = 0;
        EXPECT_EQ(client.read(c.addressRegister, 3, &err), (std::vector<std::uint16_t>{42, 1, 2}))
            << modbus_strerror(err) << " at " << sim.lineSpeed() << " bit/s";
        sim.setTypeCode(c.type);
        EXPECT_EQ(client.read(145, 1).size(), 1u) << "a new layout keeps the address";
    }
}

TEST(SimMap, BroadcastWritesAreCarriedOutWithoutReply) {
    Simulator sim(test::Module(150));
    ASSERT_TRUE(sim.start()) << sim.errorText();
    ModbusClient client(sim.devicePath(), 115200, 0);
    ASSERT_TRUE(client.Connected());
    EXPECT_EQ(client.write(768, 55), ETIMEDOUT) << "a broadcast is never answered";
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(sim.registerValue(768), 55);
    EXPECT_EQ(sim.requestCount(), 1u);
}

// Writes bytes on a raw descriptor and returns what comes back within the time.
std::vector<std::uint8_t> Exchange(int fd, const std::vector<std::uint8_t>& bytes, int waitMs) {
    if (!bytes.empty() &&
        write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
        return {};
    }
    std::vector<std::uint8_t> got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    while (std::chrono::steady_clock::now() < end) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 20) == 1) {
            std::uint8_t buf[256];
            const ssize_t n = read(fd, buf, sizeof buf);
            if (n > 0) got.insert(got.end(), buf, buf + n);
        }
    }
    return got;
}

std::vector<std::uint8_t> WithCrc(std::vector<std::uint8_t> frame) {
    appendCrc(frame);
    return frame;
}

TEST(SimMap, LineGarbageIsIgnoredAndTheNextRequestAnswered) {
    Simulator sim(test::Module(205, 100, {}, false));
    ASSERT_TRUE(sim.start()) << sim.errorText();
    const int fd = open(sim.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios tio{};
    tcgetattr(fd, &tio);
    cfmakeraw(&tio);
    cfsetspeed(&tio, B115200);
    tcsetattr(fd, TCSANOW, &tio);

    const auto request = WithCrc({100, 3, 0x00, 0x91, 0x00, 0x01});
    auto badCrc = request;
    badCrc[7] ^= 1;
    const std::vector<std::vector<std::uint8_t>> garbage = {
        {0xFF, 0x00, 0x13, 0x37, 0x42},                 // noise
        {100, 3, 0x00, 0x91, 0x00},                     // a request cut short
        badCrc,                                         // a corrupted request
        WithCrc({7, 3, 0x00, 0x91, 0x00, 0x01}),        // another slave's request
        {100, 16, 0x00, 0x00, 0x00, 0x01, 0x02, 0x00},  // a write cut short
    };
    for (const auto& bytes : garbage) {
        EXPECT_TRUE(Exchange(fd, bytes, 60).empty());
        const auto reply = Exchange(fd, request, 100);
        EXPECT_EQ(reply, WithCrc({100, 3, 2, 0, 205}));
    }
    EXPECT_EQ(sim.lastRequest(), request);
    close(fd);
}

}  // namespace
}  // namespace kvel::sim
