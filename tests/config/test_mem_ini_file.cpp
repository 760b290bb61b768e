// mem.ini on disk: encodings, hostile content, where it is written and flushes that fail.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "config/mem_ini.h"
#include "tests/common/as_nobody.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

namespace fs = std::filesystem;
using test::ReadBytes;
using test::TempDir;
using test::WriteBytes;

// "[sensors]", "1=Печь №2", "2=" in code page 1251, as the Windows program leaves it.
const std::string kCp1251File =
    "[sensors]\r\n1=\xCF\xE5\xF7\xFC \xB9"
    "2\r\n2=\r\n\r\n[panels]\r\n\xDF\xF7\xE5\xE9\xEA\xE0=1\r\n\r\n";

TEST(MemIniFile, Cp1251FileIsWrittenBackAsCp1251UntilItHoldsTextCp1251Lacks) {
    TempDir dir;
    WriteBytes(dir.File("mem.ini"), kCp1251File);
    MemIni ini(dir.File("mem.ini"));
    EXPECT_EQ(ini.fileEncoding(), MemIni::Encoding::Cp1251);
    EXPECT_EQ(ini.readString("sensors", "1", ""), "Печь №2");
    EXPECT_EQ(ini.readSection("panels"), std::vector<std::string>{"Ячейка"});
    EXPECT_EQ(ini.readInteger("PANELS", "ЯЧЕЙКА", -1), 1);

    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ReadBytes(dir.File("mem.ini")), kCp1251File) << "unchanged image, same bytes";

    ini.writeString("sensors", "2", "Ёмкость");
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ReadBytes(dir.File("mem.ini")),
              "[sensors]\r\n1=\xCF\xE5\xF7\xFC \xB9"
              "2\r\n2=\xA8\xEC\xEA\xEE\xF1\xF2\xFC\r\n\r\n"
              "[panels]\r\n\xDF\xF7\xE5\xE9\xEA\xE0=1\r\n\r\n");

    // Text code page 1251 cannot hold is kept: the file goes on in UTF-8, line ends unchanged.
    ini.writeString("file", "name", "/home/u/温度 °C Ő.txt");
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ini.fileEncoding(), MemIni::Encoding::Utf8);
    EXPECT_EQ(ReadBytes(dir.File("mem.ini")),
              "[sensors]\r\n1=Печь №2\r\n2=Ёмкость\r\n\r\n[panels]\r\nЯчейка=1\r\n\r\n"
              "[file]\r\nname=/home/u/温度 °C Ő.txt\r\n\r\n");
    const MemIni again(dir.File("mem.ini"));
    EXPECT_EQ(again.fileEncoding(), MemIni::Encoding::Utf8);
    EXPECT_EQ(again.readString("file", "name", ""), "/home/u/温度 °C Ő.txt");
}

TEST(MemIniFile, Utf8FileKeepsItsEncodingBomAndLineEnds) {
    struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"plain LF", "[sensors]\n1=Печь\n\n"},
        {"BOM and CR LF", "\xEF\xBB\xBF[sensors]\r\n1=Печь\r\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteBytes(dir.File("mem.ini"), c.bytes);
        MemIni ini(dir.File("mem.ini"));
        EXPECT_EQ(ini.fileEncoding(), MemIni::Encoding::Utf8);
        EXPECT_EQ(ini.readString("sensors", "1", ""), "Печь");
        EXPECT_EQ(ini.readSection("sensors"), std::vector<std::string>{"1"}) << "BOM not in name";
        ASSERT_TRUE(ini.updateFile()) << ini.lastError();
        EXPECT_EQ(ReadBytes(dir.File("mem.ini")), c.bytes);
    }
}

TEST(MemIniFile, NewFileIsUtf8WithLf) {
    TempDir dir;
    MemIni ini(dir.File("mem.ini"));
    ini.writeString("sensors", "1", "Печь");
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ReadBytes(dir.File("mem.ini")), "[sensors]\n1=Печь\n\n");
    EXPECT_EQ(fs::status(dir.File("mem.ini")).permissions() & fs::perms::owner_read,
              fs::perms::owner_read);
}

TEST(MemIniFile, HostileContentLoadsAndFlushes) {
    std::mt19937 rng(12345);
    std::string random(10 * 1024 * 1024, '\0');
    for (char& c : random) c = static_cast<char>(rng());
    struct Case {
        const char* name;
        std::string bytes;
        int shift;  // what diag/shift reads as
    } cases[] = {
        {"10 MB of random bytes", random, 20},
        // control characters around a line's text count as blanks
        {"NUL bytes",
         std::string("\0[diag]\0\nshift=\0"
                     "30\n[\0]\n=\0\n",
                     25),
         30},
        {"one 4 MB line", "[diag]\nshift=" + std::string(4 << 20, '7'), 20},
        {"brackets only", "[\n]\n[]\n[[]]\n=\n==\n[]]\n", 20},
        {"invalid UTF-8", "[diag]\nshift=\xC0\x80\xED\xA0\x80\xF4\x90\x80\x80\xE2\x82\n", 20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteBytes(dir.File("mem.ini"), c.bytes);
        MemIni ini(dir.File("mem.ini"));
        EXPECT_EQ(ini.lastError(), "");
        EXPECT_EQ(ini.readInteger("diag", "shift", 20), c.shift);
        ini.writeInteger("diag", "window_check", 1);
        ASSERT_TRUE(ini.updateFile()) << ini.lastError();
        const MemIni again(dir.File("mem.ini"));
        EXPECT_EQ(again.fileEncoding(), ini.fileEncoding());
        EXPECT_EQ(again.readInteger("diag", "window_check", 0), 1);
    }
}

// The program passes the relative "mem.ini": it means the current folder at each use.
TEST(MemIniFile, RelativeNameFollowsTheCurrentFolderAtEachFlush) {
    TempDir start, other;
    WriteBytes(start.File("mem.ini"), "[measure]\nperiod=9\n\n");
    const fs::path old = fs::current_path();
    fs::current_path(start.Path());
    MemIni ini("mem.ini");
    EXPECT_EQ(ini.readInteger("measure", "period", 5), 9);
    fs::current_path(other.Path());
    const bool written = ini.updateFile();
    fs::current_path(old);
    ASSERT_TRUE(written) << ini.lastError();
    EXPECT_EQ(ReadBytes(other.File("mem.ini")), "[measure]\nperiod=9\n\n");
}

// Tests run as root, so permissions cannot stop a write: a child process gets a file size limit
// below the new content, which makes the write fail like a full disk.
TEST(MemIniFile, FailedFlushLeavesTheOldFileAsItWas) {
    TempDir dir;
    const std::string path = dir.File("mem.ini");
    const std::string old = "[diag]\nshift=20\n\n[connect]\nport=COM1\n\n";
    WriteBytes(path, old);
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(pipeFds[0]);
        MemIni ini(path);
        ini.writeString("sensors", "1", std::string(200, 'x'));
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        const bool ok = ini.updateFile();
        const std::string report = (ok ? "ok:" : "failed:") + ini.lastError();
        (void)!::write(pipeFds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string report;
    char buf[512];
    for (ssize_t n; (n = ::read(pipeFds[0], buf, sizeof buf)) > 0;) report.append(buf, n);
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));

    EXPECT_EQ(report, "failed:Ошибка записи файла настроек " + path + ": " + std::strerror(EFBIG));
    EXPECT_EQ(ReadBytes(path), old);
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.Path())) ++files;
    EXPECT_EQ(files, 1) << "the temporary file is removed";
}

TEST(MemIniFile, FailedFlushKeepsTheImageForALaterFlush) {
    TempDir dir;
    const std::string folder = dir.File("conf");
    const std::string path = folder + "/mem.ini";
    fs::create_directory(folder);
    WriteBytes(path, "[measure]\nperiod=9\n\n");
    MemIni ini(path);
    ini.writeInteger("connect", "adr", 17);
    fs::remove_all(folder);

    EXPECT_FALSE(ini.updateFile());
    EXPECT_EQ(ini.lastError(),
              "Ошибка записи файла настроек " + path + ": " + std::strerror(ENOENT));
    EXPECT_EQ(ini.readInteger("connect", "adr", 100), 17);

    fs::create_directory(folder);
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ini.lastError(), "");
    EXPECT_EQ(ReadBytes(path), "[measure]\nperiod=9\n\n[connect]\nadr=17\n\n");
}

// A mem.ini that exists but cannot be read must not be replaced by the defaults at the next flush.
TEST(MemIniFile, UnreadableFileIsNeverOverwritten) {
    TempDir dir;
    const std::string path = dir.File("mem.ini");
    fs::create_directory(path);  // opens, but every read fails
    WriteBytes(path + "/keep", "x");
    MemIni ini(path);
    EXPECT_EQ(ini.lastError(),
              "Ошибка чтения файла настроек " + path + ": " + std::strerror(EISDIR));
    EXPECT_EQ(ini.readInteger("measure", "period", 5), 5);
    ini.writeInteger("measure", "period", 7);
    EXPECT_FALSE(ini.updateFile());
    EXPECT_NE(ini.lastError().find(std::strerror(EISDIR)), std::string::npos) << ini.lastError();
    EXPECT_EQ(ReadBytes(path + "/keep"), "x");
}

// The case that matters: a file the program may write but not read (mode 0222, another user's
// settings). Replacing it would swap every setting for the defaults.
TEST(MemIniFile, FileWritableButUnreadableIsNeverReplaced) {
    TempDir dir;
    ::chmod(dir.Path().c_str(), 0777);  // the folder lets the unprivileged user replace files
    const std::string path = dir.File("mem.ini");
    const std::string settings = "[connect]\nport=/dev/ttyUSB3\nadr=17\n\n";
    WriteBytes(path, settings);
    ::chmod(path.c_str(), 0222);
    const std::string outcome = test::RunAsNobody([&] {
        MemIni ini(path);
        if (ini.lastError().find(std::strerror(EACCES)) == std::string::npos) {
            return "no read error: " + ini.lastError();
        }
        ini.writeInteger("measure", "period", 7);
        if (ini.updateFile()) return std::string("flushed");
        return "refused: " + ini.lastError();
    });
    EXPECT_EQ(outcome.rfind("refused: ", 0), 0u) << outcome;
    EXPECT_EQ(ReadBytes(path), settings);
}

// Plain text before the first section (notes typed by hand) is no settings text: it is kept
// in mem.ini.bak before the first flush drops it.
TEST(MemIniFile, TextBeforeTheFirstSectionIsKeptAsBak) {
    TempDir dir;
    const std::string path = dir.File("mem.ini");
    const std::string text = "Настроено 12.03 Ивановым\n[connect]\nadr=17\n";
    WriteBytes(path, text);
    MemIni ini(path);
    ini.writeInteger("measure", "period", 3);
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ReadBytes(path + ".bak"), text);
    EXPECT_EQ(MemIni(path).readInteger("connect", "adr", 0), 17);
}

TEST(MemIniFile, FlushKeepsPermissionsAndFollowsALink) {
    TempDir dir;
    const std::string real = dir.File("real.ini");
    WriteBytes(real, "[measure]\nperiod=9\n\n");
    ::chmod(real.c_str(), 0640);
    fs::create_symlink(real, dir.File("mem.ini"));
    MemIni ini(dir.File("mem.ini"));
    ini.writeInteger("measure", "period", 3);
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_TRUE(fs::is_symlink(dir.File("mem.ini")));
    EXPECT_EQ(ReadBytes(real), "[measure]\nperiod=3\n\n");
    struct stat st {};
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A mem.ini that may not be written is not replaced: no write bit at all stops even root, and
// another user's file in a folder open to all is no one else's to replace.
TEST(MemIniFile, ReadOnlyFileIsNotReplaced) {
    TempDir dir;
    const std::string path = dir.File("mem.ini");
    const std::string old = "[measure]\nperiod=9\n\n";
    const std::string refused =
        "Ошибка записи файла настроек " + path + ": " + std::strerror(EACCES);
    WriteBytes(path, old);
    ::chmod(path.c_str(), 0444);
    MemIni ini(path);
    ini.writeInteger("measure", "period", 3);
    EXPECT_FALSE(ini.updateFile());
    EXPECT_EQ(ini.lastError(), refused);
    EXPECT_EQ(ReadBytes(path), old);

    ::chmod(path.c_str(), 0644);
    ::chmod(dir.Path().c_str(), 0777);
    EXPECT_EQ(test::RunAsNobody([&] {
                  MemIni mine(path);
                  mine.writeInteger("measure", "period", 3);
                  return mine.updateFile() ? std::string("replaced") : mine.lastError();
              }),
              refused);
    EXPECT_EQ(ReadBytes(path), old);
}

// What an interrupted flush left beside mem.ini goes at the next start; a flush under way (a
// fresh file) and files of other names stay.
TEST(MemIniFile, StaleTemporariesAreRemovedAtStart) {
    TempDir dir;
    WriteBytes(dir.File("mem.ini"), "[measure]\nperiod=9\n\n");
    const timespec anHourAgo[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
    for (const char* name : {"mem.ini.a1B2c3", "mem.ini.XaBcDe", "mem.ini.fresh7", "mem.ini.bak",
                             "mem.ini.backup", "mem.ini.Backup", "other.ini.a1B2c3"}) {
        WriteBytes(dir.File(name), "[measure]\n");
        if (std::string(name) != "mem.ini.fresh7") {
            ::utimensat(AT_FDCWD, dir.File(name).c_str(), anHourAgo, 0);
        }
    }
    const MemIni ini(dir.File("mem.ini"));
    EXPECT_EQ(ini.readInteger("measure", "period", 0), 9);
    std::set<std::string> left;
    for (const auto& e : fs::directory_iterator(dir.Path())) left.insert(e.path().filename());
    EXPECT_EQ(left,
              (std::set<std::string>{"mem.ini", "mem.ini.fresh7", "mem.ini.bak", "mem.ini.backup",
                                     "mem.ini.Backup", "other.ini.a1B2c3"}));
}

// A file that is no INI file at all is kept as mem.ini.bak before the first flush replaces
// it; when the copy cannot be made, mem.ini is not replaced either.
TEST(MemIniFile, FileThatIsNoIniIsKeptAsBakBeforeTheFirstFlush) {
    const std::string junk("PK\x03\x04\0\0\x08\x00[diag]\nshift=30\n\xFF\xFE", 26);
    TempDir dir;
    const std::string path = dir.File("mem.ini");
    WriteBytes(path, junk);
    MemIni ini(path);
    ini.writeInteger("measure", "period", 3);
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ReadBytes(path + ".bak"), junk);
    ASSERT_TRUE(ini.updateFile()) << ini.lastError();
    EXPECT_EQ(ReadBytes(path + ".bak"), junk) << "the copy of the first content stays";
    EXPECT_EQ(MemIni(path).readInteger("measure", "period", 0), 3);

    TempDir blocked;
    WriteBytes(blocked.File("mem.ini"), junk);
    fs::create_directory(blocked.File("mem.ini.bak"));
    MemIni kept(blocked.File("mem.ini"));
    EXPECT_FALSE(kept.updateFile());
    EXPECT_NE(kept.lastError().find(blocked.File("mem.ini.bak")), std::string::npos)
        << kept.lastError();
    EXPECT_EQ(ReadBytes(blocked.File("mem.ini")), junk);

    TempDir plain;
    WriteBytes(plain.File("mem.ini"), "; by hand\n\n[measure]\nperiod=9\n");
    MemIni good(plain.File("mem.ini"));
    ASSERT_TRUE(good.updateFile());
    EXPECT_FALSE(fs::exists(plain.File("mem.ini.bak")));
}

}  // namespace
}  // namespace kvel
