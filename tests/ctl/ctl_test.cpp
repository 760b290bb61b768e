#include "ctl/ctl.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "kvel_version.h"
#include "link/message_sink.h"
#include "link/serial_port.h"
#include "sim/pty_device.h"
#include "sim/simulator.h"
#include "tests/common/as_nobody.h"
#include "tests/common/temp_dir.h"
#include "tests/ctl/ctl_fixture.h"

namespace kvel {
namespace {

namespace fs = std::filesystem;

// kvelctl against a 15-channel module whose mem.ini names the simulator's port and channel 2.
class CtlTest : public test::CtlFixture {
  protected:
    CtlTest() : CtlFixture(209) {}
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(CtlFixture::SetUp());
        std::ofstream("mem.ini") << "[connect]\nport=" << Tty()
                                 << "\nspeed=4\n[sensors]\n2=Шина А\n";
    }
};

TEST_F(CtlTest, InfoAndRegs) {
    ASSERT_EQ(Run({"info"}), 0) << err.str();
    EXPECT_EQ(out.str(), "type\t209\ngeneration\t2\nchannels\t15\nversion\t" +
                             std::to_string(simulator->registerValue(146)) + "\n");
    simulator->setRegister(300, 4242);
    ASSERT_EQ(Run({"regs", "299", "2"}), 0) << err.str();
    EXPECT_EQ(out.str(), "299\t" + std::to_string(simulator->registerValue(299)) + "\n300\t4242\n");
}

TEST_F(CtlTest, ReadShowsChannelsAsTheGridDoesAndTheRelays) {
    simulator->setRegister(21, 14950);
    simulator->setRegister(22, 0);
    simulator->setRegister(11, 0x0005);
    ASSERT_EQ(Run({"read"}), 0) << err.str();
    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) all.push_back(line);
    ASSERT_EQ(all.size(), 15u + 3u);
    EXPECT_EQ(all[0], "1\t25.85");
    EXPECT_EQ(all[1], "Шина А\t---.-");
    EXPECT_EQ(all[15], "relay 1\ton");
    EXPECT_EQ(all[16], "relay 2\toff");
    EXPECT_EQ(all[17], "relay 3\ton");
}

TEST_F(CtlTest, ExitStatusOfFailuresAndBadUsage) {
    EXPECT_EQ(Run({"--address", "7", "info"}), 1);
    EXPECT_EQ(err.str(), "Ошибка получения результата из модуля\n");
    EXPECT_EQ(Run({"--port", (folder / "absent").string(), "read"}), 1);
    EXPECT_NE(err.str().find("Ошибка открытия порта"), std::string::npos);
    // The argument at fault and what it may be, then the usage.
    const std::pair<std::vector<std::string>, std::string> bad[] = {
        {{}, "no command: info, read, watch, alarms, regs or cabinet"},
        {{"frobnicate"},
         "unknown command 'frobnicate': info, read, watch, alarms, regs or cabinet"},
        {{"--speed", "5", "info"}, "--speed: '5' is not an integer in 0..4"},
        {{"--address", "x", "info"}, "--address: 'x' is not an integer in 0..255"},
        {{"info", "--parity"}, "--parity needs a value in 0..2"},
        {{"regs", "1"}, "regs needs FIRST (0..65535) and COUNT (1..125)"},
        {{"regs", "65536", "1"}, "regs FIRST: '65536' is not an integer in 0..65535"},
        {{"regs", "1", "126"}, "regs COUNT: '126' is not an integer in 1..125"},
        {{"info", "extra"}, "info takes no operand: 'extra'"},
        {{"--bogus", "info"}, "unknown option '--bogus'"},
        {{"read", "--times", "2"}, "--times is for watch only"},
        {{"alarms", "--alarms"}, "--alarms is for watch only"},
    };
    for (const auto& [args, message] : bad) {
        EXPECT_EQ(Run(args), 2) << message;
        EXPECT_EQ(err.str().rfind("kvelctl: " + message + "\nUsage: kvelctl", 0), 0u) << err.str();
    }
}

TEST_F(CtlTest, AlarmsExitStatusAndWatchEvents) {
    std::ofstream("mem.ini", std::ios::app) << "[alarms]\nhigh1=30\nlow2=-100\ndelay=60\n";
    simulator->setRegister(21, 14950);  // 25.85
    EXPECT_EQ(Run({"alarms"}), 0) << err.str();
    EXPECT_EQ(out.str(), "");
    // One read waits for no delay.
    simulator->setRegister(21, 15450);  // 35.85
    simulator->setRegister(22, 0);
    EXPECT_EQ(Run({"alarms"}), 3) << err.str();
    EXPECT_EQ(out.str(), "1\t1\thigh\t35.85\t30.00\n2\tШина А\tsensor\t---\t\n");
    simulator->setFault(sim::Fault::Silence);
    EXPECT_EQ(Run({"alarms"}), 3);
    EXPECT_EQ(out.str(), "-\t\tlink\t\t\n");
    std::ofstream("mem.ini", std::ios::app) << "link=0\n";
    EXPECT_EQ(Run({"alarms"}), 1);
    EXPECT_NE(err.str().find("Ошибка"), std::string::npos);

    simulator->setFault(sim::Fault::None);
    std::ofstream("mem.ini") << "[connect]\nport=" << Tty() << "\nspeed=4\n[alarms]\nhigh1=30\n";
    ASSERT_EQ(Run({"watch", "--alarms", "--times", "1"}), 0) << err.str();
    EXPECT_NE(out.str().find("\t1\t1\thigh\t35.85\t30.00\traised\t\n"), std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find("relay"), std::string::npos);  // events, not readings
}

// An exception reply is named as the Modbus standard names it; a code without a name stays a
// number (in hexadecimal, as the program shows it).
TEST_F(CtlTest, ModuleExceptionIsNamed) {
    const std::pair<int, std::string> codes[] = {
        {2, "Ошибка модуля: код 2 (недопустимый адрес данных)"},
        {10, "Ошибка модуля: код A (путь шлюза недоступен)"},
        {7, "Ошибка модуля: код 7"},
    };
    for (const auto& [code, text] : codes) {
        simulator->setFault(sim::Fault::Exception, code);
        EXPECT_EQ(Run({"info"}), 1);
        EXPECT_EQ(err.str(), text + "\n");
    }
}

TEST_F(CtlTest, WatchRecoversAfterTheDeviceComesBack) {
    std::ofstream("mem.ini", std::ios::app) << "[measure]\nperiod=1\n";
    simulator->unplug();
    std::thread plugLater([this] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        simulator->plug();
    });
    const int status = Run({"watch", "--times", "2"});
    plugLater.join();
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_NE(err.str().find("Ошибка открытия порта"), std::string::npos);
    EXPECT_NE(out.str().find("relay 3"), std::string::npos);
}

TEST_F(CtlTest, HelpListsEveryCommandAndOptionAndVersionIsTheProjects) {
    ASSERT_EQ(Run({"--help"}), 0);
    EXPECT_TRUE(err.str().empty());
    const std::string help = out.str();
    for (const char* line :
         {"\n  info ", "\n  read ", "\n  watch [--times N] ", "\n  regs FIRST COUNT ",
          "\n  cabinet NAME command K | signal S | status\n", "\n  --port DEV ", "\n  --address A ",
          "\n  --speed I ", "\n  --parity I ", "\n  --times N ", "\n  --trace ", "\n  --help ",
          "\n  --version "}) {
        EXPECT_NE(help.find(line), std::string::npos) << line;
    }
    ASSERT_EQ(Run({"info", "--version"}), 0);
    EXPECT_EQ(out.str(), std::string("kvelctl ") + KVEL_VERSION + "\n");
}

// The reason follows the status text: "Ошибка открытия порта: PATH: reason".
TEST_F(CtlTest, OpenFailureSaysWhy) {
    setMessageSink([](const std::string&, const std::string&) {});
    const std::string file = (folder / "somefile").string();
    std::ofstream(file) << "keep";
    EXPECT_EQ(Run({"--port", file, "info"}), 1);
    EXPECT_EQ(err.str(), "Ошибка открытия порта: " + file + ": не последовательный порт (" +
                             std::strerror(ENOTTY) + ")\n");
    std::ifstream in(file);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "keep");

    // A second master on the line: the program holds the port, kvelctl watch is refused.
    SerialPort port;
    ASSERT_TRUE(port.open(simulator->devicePath(), 4, 0));
    std::string holder;
    std::getline(std::ifstream("/proc/self/comm"), holder);
    holder += ", PID " + std::to_string(::getpid());
    EXPECT_EQ(Run({"watch", "--times", "1"}), 1);
    EXPECT_EQ(err.str(), "Ошибка открытия порта: " + simulator->devicePath() +
                             ": порт занят другой программой (" + holder + ")\n");
    port.close();
    EXPECT_EQ(Run({"info"}), 0) << err.str();
    setMessageSink(nullptr);
}

// A device node of group dialout that the user may not open: the message names the group and
// the fix. Run by an unprivileged child, as root may open anything.
TEST(CtlPermission, RefusedDeviceNamesTheGroupAndTheFix) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to change the device's owner";
    sim::PtyDevice pty;
    std::string error;
    ASSERT_TRUE(pty.openPty("", &error)) << error;
    ASSERT_EQ(::chown(pty.slavePath().c_str(), 0, 20), 0);
    ASSERT_EQ(::chmod(pty.slavePath().c_str(), 0660), 0);
    test::TempDir dir;
    ::chmod(dir.Path().c_str(), 0755);
    const std::string message = test::RunAsNobody([&] {
        if (::chdir(dir.Path().c_str()) != 0) return std::string("child: chdir");
        std::ostringstream out, err;
        std::atomic<bool> stop{false};
        const int status = runCtl({"--port", pty.slavePath(), "info"}, out, err, stop);
        return std::to_string(status) + " " + err.str();
    });
    EXPECT_EQ(message, "1 Ошибка открытия порта: " + pty.slavePath() + ": " +
                           std::strerror(EACCES) +
                           ". Доступ к порту даёт группа dialout: добавьте в неё пользователя "
                           "(sudo usermod -aG dialout nobody) и войдите в систему заново\n");
}

// Lines of a text, without their line ends.
std::vector<std::string> lines(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> fields;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1) {
        fields.push_back(line.substr(start, tab - start));
    }
    fields.push_back(line.substr(start));
    return fields;
}

TEST_F(CtlTest, TraceShowsEveryTransactionAndWatchEndsWithTheCounters) {
    ASSERT_EQ(Run({"--trace", "watch", "--times", "1"}), 0) << err.str();
    // Identification, measurements, relays: one line each on stderr.
    const std::vector<std::string> trace = lines(err.str());
    ASSERT_EQ(trace.size(), 3u) << err.str();
    const std::vector<std::string> first = fields(trace[0]);
    ASSERT_EQ(first.size(), 10u);
    EXPECT_EQ(first[1], "3");
    EXPECT_EQ(first[2], "145");
    EXPECT_EQ(first[3], "2");
    EXPECT_EQ(first[5].rfind("64 03 00 91 00 02 ", 0), 0u) << first[5];
    EXPECT_EQ(first[6].rfind("64 03 04 00 D1 ", 0), 0u) << first[6];  // type 209
    EXPECT_EQ(first[9], "Успешно");
    EXPECT_EQ(fields(trace[2])[2], "11");
    const std::vector<std::string> outLines = lines(out.str());
    EXPECT_EQ(
        outLines.back().rfind("# Запросов: 3, Ответов: 3, Без ответа: 0, Поздних ответов: 0, ", 0),
        0u)
        << outLines.back();

    simulator->setFault(sim::Fault::BadCrc);
    EXPECT_EQ(Run({"--trace", "regs", "300", "1"}), 1);
    const std::vector<std::string> failed = lines(err.str());
    ASSERT_EQ(failed.size(), 2u) << err.str();
    EXPECT_EQ(fields(failed[0]).back(), "Ошибочный CRC в ответе от модуля");
    EXPECT_EQ(failed[1], "Ошибочный CRC в ответе от модуля");
    EXPECT_EQ(out.str(), "");  // only a watch prints counters
}

TEST_F(CtlTest, WatchStoppedByCtrlCStillPrintsTheCounters) {
    stop = true;
    EXPECT_EQ(Run({"watch"}), 0);
    EXPECT_EQ(err.str(), "");
    EXPECT_EQ(lines(out.str()).back().rfind("# Запросов: 0, ", 0), 0u) << out.str();
}

}  // namespace
}  // namespace kvel
