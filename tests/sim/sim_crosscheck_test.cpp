// The simulator against libmodbus: reads, writes and exception replies as an independent
// Modbus RTU master sees them.
#include <gtest/gtest.h>

#include "link/module_map.h"
#include "sim/modbus_slave.h"
#include "sim/simulator.h"
#include "tests/sim/modbus_client.h"

namespace kvel::sim {
namespace {

using test::ModbusClient;

struct ModuleCase {
    int typeCode;
    int channels;
    int measurements;  // first register of the block
    int otherBlock;    // the other generation's block, which this module does not have
};

// Names each case by its type code in the test listing.
void PrintTo(const ModuleCase& c, std::ostream* os) {
    *os << c.typeCode;
}

class ModuleMap : public ::testing::TestWithParam<ModuleCase> {};

TEST_P(ModuleMap, ServesIdentificationAndMeasurementBlock) {
    const ModuleCase c = GetParam();
    Simulator sim(test::Module(c.typeCode));
    ASSERT_TRUE(sim.start()) << sim.errorText();
    ModbusClient client(sim.devicePath());
    ASSERT_TRUE(client.Connected());

    const auto ident = client.read(145, 2);
    ASSERT_EQ(ident.size(), 2u);
    EXPECT_EQ(ident[0], c.typeCode);
    EXPECT_EQ(ident[1], 103);

    const auto temps = client.read(c.measurements, c.channels);
    ASSERT_EQ(temps.size(), static_cast<std::size_t>(c.channels));
    for (int k = 0; k < c.channels; ++k) {
        EXPECT_GT(temperature(temps[k]), 10.0) << "channel " << k + 1;
        EXPECT_LT(temperature(temps[k]), 150.0) << "channel " << k + 1;
    }
    // One register past the block, and the other generation's block, do not exist.
    int error = 0;
    EXPECT_TRUE(client.read(c.measurements, c.channels + 1, &error).empty());
    EXPECT_EQ(error, EMBXILADD);
    EXPECT_TRUE(client.read(c.otherBlock, 15, &error).empty());
    EXPECT_EQ(error, EMBXILADD);

    const auto relays = client.read(11, 1);
    ASSERT_EQ(relays.size(), 1u);
    EXPECT_EQ(relays[0] & ~0x7, 0) << "only the three relay bits are used";
}

INSTANTIATE_TEST_SUITE_P(Generations, ModuleMap,
                         ::testing::Values(ModuleCase{215, 30, 512, 21},
                                           ModuleCase{205, 15, 21, 512},
                                           ModuleCase{150, 15, 21, 512},
                                           ModuleCase{220, 30, 512, 21}));

TEST(SimCrossCheck, KeepsWhatIsWritten) {
    Simulator sim(test::Module(215));
    ASSERT_TRUE(sim.start()) << sim.errorText();
    ModbusClient client(sim.devicePath());
    ASSERT_TRUE(client.Connected());

    // A negative relay threshold goes out as its two's complement.
    EXPECT_EQ(client.write(271, 0xFFD8), 0);
    const std::vector<std::uint16_t> block = {7, 0, 12, 34, 0x0001, 250, 3, 0x0001};
    EXPECT_EQ(client.WriteMany(282, block), 0);
    EXPECT_EQ(client.read(271, 1), std::vector<std::uint16_t>{0xFFD8});
    EXPECT_EQ(client.read(282, 8), block);
    EXPECT_EQ(sim.registerValue(289), 0x0001);
    // The cabinet registers of the host controller at the same address.
    EXPECT_EQ(client.write(1026, 1), 0);
    EXPECT_EQ(client.WriteMany(1542 + 16, {1, 0, 1, 0, 1}), 0);
    EXPECT_EQ(client.read(1542 + 16, 5), (std::vector<std::uint16_t>{1, 0, 1, 0, 1}));
    EXPECT_EQ(sim.registerValue(1026), 1);
}

struct BadRequest {
    const char* what;
    std::vector<std::uint8_t> request;  // without CRC
    std::uint8_t code;
};

TEST(SimCrossCheck, AnswersBadRequestsWithExceptions) {
    const BadRequest cases[] = {
        {"read of no registers", {100, 3, 0x02, 0x00, 0x00, 0x00}, 3},
        {"read of 126 registers", {100, 3, 0x02, 0x00, 0x00, 126}, 3},
        {"read where nothing is", {100, 3, 0x07, 0xD0, 0x00, 0x02}, 2},
        {"read running past the map", {100, 3, 0xFF, 0xFF, 0x00, 0x02}, 2},
        {"write to the type code", {100, 6, 0x00, 0x91, 0x00, 0x01}, 2},
        {"write to a measurement", {100, 6, 0x02, 0x00, 0x00, 0x01}, 2},
        {"write of address 0", {100, 6, 0x01, 0x00, 0x00, 0x00}, 3},
        {"write of baud index 65535", {100, 6, 0x01, 0x01, 0xFF, 0xFF}, 3},
        {"write of parity index 3 on MB2", {100, 6, 0x01, 0x07, 0x00, 0x03}, 3},
        {"multiple write with a byte count that does not match",
         {100, 16, 0x01, 0x0A, 0x00, 0x02, 0x02, 0x00, 0x01},
         3},
        {"multiple write of no registers", {100, 16, 0x01, 0x0A, 0x00, 0x00, 0x00}, 3},
        {"read input registers", {100, 4, 0x00, 0x00, 0x00, 0x01}, 1},
        {"unknown function", {100, 0x41, 0x01}, 1},
    };
    Simulator sim(test::Module(215));
    ASSERT_TRUE(sim.start()) << sim.errorText();
    ModbusClient client(sim.devicePath());
    ASSERT_TRUE(client.Connected());
    for (const auto& c : cases) {
        const auto reply = client.Raw(c.request);
        ASSERT_EQ(reply.size(), 3u) << c.what;
        EXPECT_EQ(reply[0], 100) << c.what;
        EXPECT_EQ(reply[1], c.request[1] | 0x80) << c.what;
        EXPECT_EQ(reply[2], c.code) << c.what;
    }
    EXPECT_EQ(sim.registerValue(256), 100) << "a refused write changes nothing";
    EXPECT_EQ(sim.registerValue(257), 0);
}

// Longer than an RTU frame may be, so no master library sends it; the slave still refuses it.
TEST(SimSlave, RefusesAWriteOfMoreThan123Registers) {
    RegisterMap map(215);
    for (const std::uint16_t count : {123, 124}) {
        std::vector<std::uint8_t> request{100,
                                          16,
                                          0x05,
                                          0xF0,
                                          0,
                                          static_cast<std::uint8_t>(count),
                                          static_cast<std::uint8_t>(2 * count)};
        request.resize(request.size() + 2 * count, 0);
        appendCrc(request);
        const auto reply = answer(map, request);
        EXPECT_EQ(reply[1], count == 123 ? 16 : 0x90) << count;
    }
}

}  // namespace
}  // namespace kvel::sim
