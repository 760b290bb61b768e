#include "core/measurement_log.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "link/message_sink.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

using test::ReadBytes;
using test::TempDir;

struct Boxes {
    std::vector<std::string> shown;
    Boxes() {
        setMessageSink([this](const std::string& text, const std::string& caption) {
            shown.push_back(caption + ": " + text);
        });
    }
    ~Boxes() { setMessageSink(nullptr); }
};

TEST(MeasurementLog, FieldFormats) {
    const std::vector<std::pair<double, std::string>> formats = {
        {5.5, "5.50 "}, {-12.3, "-12.30"}, {100, "100.00"}, {0.01, "0.01 "}, {-0.004, "-0.00"},
    };
    for (const auto& [celsius, text] : formats) EXPECT_EQ(formatLogTemperature(celsius), text);
    const std::vector<std::pair<std::uint16_t, std::string>> raws = {
        {0, "---"}, {1, "-273.13"}, {14950, "25.85"}, {65535, "1037.55"}};
    for (const auto& [raw, text] : raws) EXPECT_EQ(logTemperature(raw), text) << raw;
}

TEST(MeasurementLog, HeaderAndDataLine) {
    std::string header = "Дата\tВремя\t";
    for (int i = 1; i <= 15; ++i) header += "Канал " + std::to_string(i) + "\t";
    EXPECT_EQ(logHeaderLine(), header + "\r\n");

    std::uint16_t registers[30] = {};
    registers[0] = 14730;   // 21.45
    registers[14] = 15408;  // 35.01
    registers[15] = 18600;  // channel 16 is never logged
    std::tm when{};
    when.tm_mday = 6;
    when.tm_mon = 11;
    when.tm_year = 126;
    when.tm_hour = 13;
    when.tm_min = 5;
    when.tm_sec = 9;
    std::string expected = "06.12.26\t13:05:09\t21.45\t";
    for (int c = 2; c <= 14; ++c) expected += "---\t";
    expected += "35.01\t\r\n";
    EXPECT_EQ(logDataLine(registers, when), expected);
}

class LogFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ini.writeInteger("file", "save", 1);
        record.registers[0] = 14658;
    }
    int lines(const std::string& text) {
        int n = 0;
        for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++n;
        return n;
    }
    TempDir dir;
    MemIni ini{dir.File("mem.ini")};
    ReadTransaction record;
    Boxes boxes;
};

TEST_F(LogFileTest, NewFileGetsTheHeaderAnExistingOneIsAppended) {
    const std::string name = dir.File("log.txt");
    writeLogLine(record, name, ini, 0);
    std::string text = ReadBytes(name);
    EXPECT_EQ(text.rfind(logHeaderLine(), 0), 0u);
    EXPECT_EQ(lines(text), 2);
    writeLogLine(record, name, ini, 0);
    text = ReadBytes(name);
    EXPECT_EQ(lines(text), 3);
    EXPECT_EQ(text.find("Дата", 1), std::string::npos);

    std::remove(name.c_str());  // deleted while logging: a new file with its header
    writeLogLine(record, name, ini, 0);
    EXPECT_EQ(ReadBytes(name).rfind(logHeaderLine(), 0), 0u);
    EXPECT_EQ(lines(ReadBytes(name)), 2);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(ini.readInteger("file", "save", 0), 1);
}

TEST_F(LogFileTest, FailuresAreShownAndTurnSavingOff) {
    struct Case {
        std::string name;
        const char* box;
    };
    const std::vector<Case> cases = {
        {dir.File("no-such-folder/log.txt"), "Ошибка: Ошибка создания нового файла"},
        {"", "Ошибка: Ошибка создания нового файла"},
        {dir.Path().string(), "Ошибка: Ошибка открытия файла"},  // a folder, not a file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.shown.clear();
        ini.writeInteger("file", "save", 1);
        writeLogLine(record, c.name, ini, 0);
        EXPECT_EQ(boxes.shown, std::vector<std::string>{c.box});
        EXPECT_EQ(ini.readInteger("file", "save", 1), 0);
    }
}

// A disk that takes only part of a line (here a file size limit): the failure is shown, and
// the file keeps whole lines only.
TEST_F(LogFileTest, PartlyRefusedLineLeavesOnlyWholeLines) {
    const std::string name = dir.File("log.txt");
    writeLogLine(record, name, ini, 0);
    const std::string before = ReadBytes(name);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{before.size() + 20, before.size() + 20};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::vector<std::string> shown;
        setMessageSink([&](const std::string& text, const std::string&) { shown.push_back(text); });
        writeLogLine(record, name, ini, 0);
        const bool ok = shown == std::vector<std::string>{"Ошибка открытия файла"} &&
                        ini.readInteger("file", "save", 1) == 0;
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadBytes(name), before);
}

}  // namespace
}  // namespace kvel
