#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "sim/simulator.h"
#include "tests/ctl/ctl_fixture.h"

namespace kvel {
namespace {

// `kvelctl cabinet …` whose mem.ini names the simulator's port and the cabinets, with the
// real pauses of the link and of a command pulse.
class CtlCabinetTest : public test::CtlFixture {
  protected:
    void WriteIni(const std::string& host) {
        std::ofstream("mem.ini") << "[connect]\nport=" << Tty() << "\nspeed=4\nhost=" << host
                                 << "\n[panels]\nШкаф 1=1\nШкаф 2=2\nНулевой=0\n";
    }
};

TEST_F(CtlCabinetTest, CommandIsAPulse) {
    WriteIni("0");
    ASSERT_EQ(Run({"cabinet", "любой", "command", "3"}), 0) << err.str();
    EXPECT_EQ(out.str(), "1026\t1\n1026\t0\n");
    EXPECT_EQ(simulator->registerValue(1026), 0);
    // On the wire: 1, then 0 its full 2 s after the write of 1 began.
    std::vector<std::chrono::steady_clock::time_point> writes;
    for (const sim::TimedRequest& r : simulator->timedRequests()) {
        if (r.frame.size() == 8 && r.frame[1] == 6 && (r.frame[2] << 8 | r.frame[3]) == 1026)
            writes.push_back(r.at);
    }
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_GE(writes[1] - writes[0], std::chrono::milliseconds(1990));
    EXPECT_LE(writes[1] - writes[0], std::chrono::milliseconds(2250));
}

TEST_F(CtlCabinetTest, SignalTogglesWhatIsReadAndStatusShowsIt) {
    WriteIni("1");
    simulator->setRegister(1521, 1);
    simulator->setRegister(1559, 1);
    ASSERT_EQ(Run({"cabinet", "Шкаф 2", "signal", "S43"}), 0) << err.str();
    EXPECT_EQ(out.str(), "1560\t1\nonline\ton\nS41\toff\nS42\ton\nS43\ton\nS51\toff\nS52\toff\n");
    ASSERT_EQ(Run({"cabinet", "Шкаф 2", "signal", "1"}), 0) << err.str();
    EXPECT_EQ(simulator->registerValue(1559), 0);
    simulator->setRegister(1521, 0);
    ASSERT_EQ(Run({"cabinet", "Шкаф 2", "status"}), 0) << err.str();
    EXPECT_EQ(out.str(), "online\toff\nS41\toff\nS42\toff\nS43\ton\nS51\toff\nS52\toff\n");

    WriteIni("0");
    simulator->setRegister(1034, 1);
    ASSERT_EQ(Run({"cabinet", "x", "status"}), 0) << err.str();
    EXPECT_EQ(out.str(), "online\t-\nS41\toff\nS42\toff\nS43\toff\nS51\toff\nS52\ton\n");
}

TEST_F(CtlCabinetTest, RefusalsFailuresAndBadUsage) {
    WriteIni("1");
    for (const char* name : {"Шкаф 9", "Нулевой"}) {
        EXPECT_EQ(Run({"cabinet", name, "command", "1"}), 2) << name;
        EXPECT_EQ(err.str(), "Не выбран шкаф из списка шкафов\n") << name;
    }
    simulator->setFault(sim::Fault::Silence);
    EXPECT_EQ(Run({"cabinet", "Шкаф 1", "status"}), 1);
    EXPECT_EQ(err.str(), "Ошибка получения результата из модуля\n");
    EXPECT_EQ(Run({"cabinet", "Шкаф 1", "signal", "S41"}), 1);
    EXPECT_EQ(simulator->registerValue(1542), 0);
    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{"cabinet"}, "cabinet needs NAME and then command K (1..6), signal S"},
        {{"cabinet", "Шкаф 1"}, "cabinet needs NAME and then command K (1..6), signal S"},
        {{"cabinet", "Шкаф 1", "command", "7"},
         "cabinet command K: '7' is not a command number 1..6"},
        {{"cabinet", "Шкаф 1", "command", "0"}, "cabinet command K: '0' is not"},
        {{"cabinet", "Шкаф 1", "signal", "S44"}, "cabinet signal S: 'S44' is not a signal S41"},
        {{"cabinet", "Шкаф 1", "status", "extra"}, "cabinet status takes nothing more: 'extra'"},
        {{"cabinet", "Шкаф 1", "open"}, "cabinet: unknown action 'open'"},
    };
    for (const auto& [args, message] : bad) {
        EXPECT_EQ(Run(args), 2) << message;
        EXPECT_EQ(err.str().rfind("kvelctl: " + message, 0), 0u) << err.str();
        EXPECT_NE(err.str().find("\nUsage: kvelctl"), std::string::npos);
    }
}

}  // namespace
}  // namespace kvel
