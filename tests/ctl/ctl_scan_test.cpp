// kvelctl scan against the simulator at line settings the test chooses.
#include <gtest/gtest.h>

#include "tests/ctl/ctl_fixture.h"

namespace kvel {
namespace {

class CtlScanTest : public test::CtlFixture {
  protected:
    // The module moves to its own address, speed and parity.
    void Restart(int address, int speed, int parity) {
        simulator.reset();
        sim::SimOptions options;
        options.address = static_cast<std::uint8_t>(address);
        options.speedIndex = speed;
        options.parityIndex = parity;
        options.drift = false;
        options.link = Tty();
        simulator = std::make_unique<sim::Simulator>(options);
        ASSERT_TRUE(simulator->start()) << simulator->errorText();
    }
};

TEST_F(CtlScanTest, FindsModuleAwayFromStoredSettings) {
    Restart(17, 3, 2);  // mem.ini holds none: address 100, 9600 bit/s, no parity
    EXPECT_EQ(Run({"scan", "--port", Tty(), "--addresses", "10-20", "--speeds", "0,3", "--parities",
                   "0,2"}),
              0)
        << err.str();
    EXPECT_EQ(out.str(), "17\t3\t57600\t2\t215\t103\n");

    // The first guess from the command line: found at the first probe of the whole line, so
    // the module hears that probe and the two confirming reads only.
    const std::size_t heard = simulator->requests().size();
    EXPECT_EQ(
        Run({"--port", Tty(), "--address", "17", "--speed", "3", "scan", "--parity=2", "--json"}),
        0)
        << err.str();
    EXPECT_EQ(simulator->requests().size(), heard + 3);
    EXPECT_EQ(out.str(),
              "[\n  {\"address\": 17, \"speed\": 3, \"bps\": 57600, \"parity\": 2, \"type\": 215, "
              "\"version\": 103}\n]\n");
    for (const auto& frame : simulator->requests()) EXPECT_EQ(frame.at(1), 3);
}

TEST_F(CtlScanTest, NothingThereAfterTheWholeSpace) {
    Restart(100, 1, 0);
    EXPECT_EQ(Run({"scan", "--port", Tty(), "--addresses", "1-4", "--speeds", "0,4", "--parities",
                   "0,1", "--margin", "2", "--json"}),
              1);
    EXPECT_EQ(out.str(), "[]\n");
    EXPECT_NE(err.str().find("no module found in 16 probes"), std::string::npos) << err.str();
}

TEST_F(CtlScanTest, GarbledAnswerIsNoModule) {
    Restart(3, 0, 1);
    simulator->setFault(sim::Fault::BadCrc);
    EXPECT_EQ(Run({"scan", "--port", Tty(), "--addresses", "2-4", "--speeds", "0", "--parities",
                   "1", "--all"}),
              1);
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("something answers at address 3, 9600 bit/s, parity 1: ошибочный CRC"),
              std::string::npos)
        << err.str();
}

TEST_F(CtlScanTest, BadUsage) {
    const std::vector<std::vector<std::string>> cases = {{"scan", "--addresses", "0-5"},
                                                         {"scan", "--addresses", "9-3"},
                                                         {"scan", "--addresses", "1-"},
                                                         {"scan", "--speeds", "5"},
                                                         {"scan", "--speeds", "0,,1"},
                                                         {"scan", "--parities", "3"},
                                                         {"scan", "--margin", "-1"},
                                                         {"scan", "--margin", "1001"},
                                                         {"scan", "extra"},
                                                         {"scan", "--bogus"},
                                                         {"scan", "--port"},
                                                         {"--speed", "5", "scan"}};
    for (const auto& args : cases) {
        EXPECT_EQ(Run(args), 2) << args.back();
        EXPECT_EQ(out.str(), "") << args.back();
        EXPECT_NE(err.str().find("Usage: kvelctl scan"), std::string::npos) << args.back();
    }
    EXPECT_EQ(simulator->requestCount(), 0u);
}

}  // namespace
}  // namespace kvel
