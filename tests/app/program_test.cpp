// The program as a user starts it: `./run --screenshot FILE` on the built tree (the program
// against the simulator under a virtual display, a PNG of its window with live values), and
// the end of a session by a signal.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QImage>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include "sim/pty_device.h"
#include "tests/common/shell.h"

#if !defined(KVEL_SOURCE_DIR) || !defined(KVEL_BINARY_DIR)
#error "KVEL_SOURCE_DIR and KVEL_BINARY_DIR must name the source and the build tree"
#endif

namespace {

namespace fs = std::filesystem;

TEST(RunScript, ScreenshotShowsTheWindowWithLiveValues) {
    const fs::path demo = fs::temp_directory_path() / ("kvel-shot-" + std::to_string(::getpid()));
    kvel::test::RemoveTree(demo);
    const fs::path shot = demo / "window.png";
    const std::string command = "KVEL_SKIP_SETUP=1 KVEL_BUILD_DIR='" +
                                std::string(KVEL_BINARY_DIR) + "' KVEL_DEMO_DIR='" + demo.string() +
                                "' '" + std::string(KVEL_SOURCE_DIR) + "/run' --screenshot '" +
                                shot.string() + "' > /dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    const QImage image(QString::fromStdString(shot.string()));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), 1292);
    EXPECT_EQ(image.height(), 778);
    // The link lamp in the right column is lit only after a successful poll; the chart's
    // white field holds the curves of the demo's channels.
    int lit = 0, curves = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (x > 1076 && c.green() > 150 && c.red() < 120 && c.blue() < 120) ++lit;
            if (x > 185 && x < 1076 && c == QColor(0, 0, 0x80)) ++curves;  // slot 1, navy
        }
    }
    EXPECT_GT(lit, 200);
    EXPECT_GT(curves, 0);
    // The demo's settings put the two marker lines over the chart, besides its two axis lines:
    // black columns running down most of the field.
    int blackColumns = 0;
    for (int x = 186; x < 1076; ++x) {
        int black = 0;
        for (int y = 100; y < 600; ++y) black += image.pixelColor(x, y) == QColor(Qt::black);
        if (black > 400) ++blackColumns;
    }
    EXPECT_EQ(blackColumns, 4);
    kvel::test::RemoveTree(demo);
}

// Without a display the installed program says what works instead, as ./run does.
TEST(Program, WithoutADisplayItNamesTheWaysOnAndExitsWithTwo) {
    const kvel::test::ShellOutput out =
        kvel::test::Shell("env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM '" +
                          std::string(KVEL_BINARY_DIR) + "/app/kvelview' 2>&1");
    EXPECT_EQ(out.status, 2) << out.text;
    for (const char* way : {"QT_QPA_PLATFORM=offscreen", "QT_QPA_PLATFORM=vnc", "--screenshot"}) {
        EXPECT_NE(out.text.find(way), std::string::npos) << way << "\n" << out.text;
    }
}

// A session that ends with SIGTERM closes the window as the user would: the settings that
// closing stores reach mem.ini.
TEST(Program, TerminationClosesTheWindowAndStoresTheSettings) {
    const fs::path folder = fs::temp_directory_path() / ("kvel-term-" + std::to_string(::getpid()));
    kvel::test::RemoveTree(folder);
    fs::create_directories(folder);
    const std::string command = "cd '" + folder.string() + "' && QT_QPA_PLATFORM=offscreen '" +
                                std::string(KVEL_BINARY_DIR) +
                                "/app/kvelview' > /dev/null 2>&1 & sleep 2; kill -TERM $!; wait $!";
    EXPECT_EQ(std::system(command.c_str()), 0);
    std::ifstream in(folder / "mem.ini");
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(saved.find("update=0"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ch14=1"), std::string::npos) << saved;
    kvel::test::RemoveTree(folder);
}

// CPU time of a running process, all its threads, in milliseconds; -1 when unreadable.
long CpuMsOf(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t end = stat.rfind(')');
    if (end == std::string::npos) return -1;
    std::istringstream fields(stat.substr(end + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) utime = std::stol(field);
        if (i == 15) stime = std::stol(field);
    }
    return (utime + stime) * 1000 / ::sysconf(_SC_CLK_TCK);
}

long MsOf(const timeval& t) {
    return t.tv_sec * 1000 + t.tv_usec / 1000;
}

// A module that never answers keeps a poll on the line nearly all the time: the signal ends
// the program within 200 ms, its waits asleep rather than turning (a spinning wait burns a
// core until its deadline), and the settings are stored.
TEST(Program, TerminationWhileAPollWaitsOnASilentLineEndsAtOnce) {
    const fs::path folder =
        fs::temp_directory_path() / ("kvel-silent-" + std::to_string(::getpid()));
    kvel::test::RemoveTree(folder);
    fs::create_directories(folder);
    kvel::sim::PtyDevice line;  // nobody answers on its far end
    std::string error;
    ASSERT_TRUE(line.openPty((folder / "tty").string(), &error)) << error;
    std::ofstream(folder / "mem.ini")
        << "[connect]\nport=" << (folder / "tty").string() << "\n\n[measure]\nperiod=1\n";
    const std::string program = std::string(KVEL_BINARY_DIR) + "/app/kvelview";
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::chdir(folder.c_str()) != 0) ::_exit(9);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::seconds(3));
    const long cpuBefore = CpuMsOf(pid);
    const auto start = std::chrono::steady_clock::now();
    ::kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    ASSERT_EQ(::wait4(pid, &status, 0, &usage), pid);
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_LT(ms, 200);
    ASSERT_GE(cpuBefore, 0);
    EXPECT_LT(MsOf(usage.ru_utime) + MsOf(usage.ru_stime) - cpuBefore, 150)
        << "CPU time spent ending";
    std::ifstream in(folder / "mem.ini");
    const std::string saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(saved.find("update=0"), std::string::npos) << saved;
    kvel::test::RemoveTree(folder);
}

using Output = kvel::test::ShellOutput;
using kvel::test::Shell;

std::string RunCommand(const fs::path& demo) {
    return "KVEL_SKIP_SETUP=1 KVEL_BUILD_DIR='" + std::string(KVEL_BINARY_DIR) +
           "' KVEL_DEMO_DIR='" + demo.string() + "' '" + std::string(KVEL_SOURCE_DIR) + "/run'";
}

// Instead of Qt's abort: what to do, and exit status 2.
TEST(RunScript, WithoutADisplayNamesTheWaysOnAndExitsTwo) {
    const fs::path demo = fs::temp_directory_path() / ("kvel-nodisp-" + std::to_string(::getpid()));
    const Output out =
        Shell("env -u DISPLAY -u WAYLAND_DISPLAY KVEL_VNC_PORT=5917 " + RunCommand(demo));
    EXPECT_EQ(out.status, 2) << out.text;
    for (const char* words : {"neither DISPLAY nor WAYLAND_DISPLAY", "./run --screenshot FILE",
                              "./run --vnc", "port 5917"}) {
        EXPECT_NE(out.text.find(words), std::string::npos) << words << "\n" << out.text;
    }
    EXPECT_FALSE(fs::exists(demo));  // nothing was started
}

int FreeTcpPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof a;
    int port = 0;
    if (::bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr*>(&a), &length) == 0) {
        port = ntohs(a.sin_port);
    }
    ::close(s);
    return port;
}

// The first bytes a VNC server sends to a viewer, or "" when none answers.
std::string VncGreeting(int port) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string greeting;
    if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        timeval wait{10, 0};
        ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
        char bytes[12];
        const ssize_t n = ::recv(s, bytes, sizeof bytes, MSG_WAITALL);
        if (n > 0) greeting.assign(bytes, static_cast<std::size_t>(n));
    }
    ::close(s);
    return greeting;
}

TEST(RunScript, VncServesTheWindowToAViewer) {
    const fs::path demo = fs::temp_directory_path() / ("kvel-vnc-" + std::to_string(::getpid()));
    kvel::test::RemoveTree(demo);
    const int port = FreeTcpPort();
    ASSERT_GT(port, 0);
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                std::string("KVEL_VNC_PORT=") + std::to_string(port) + " " +
                                RunCommand(demo) + " --vnc > /dev/null 2>&1";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::setpgid(0, 0);  // the script, the simulator and the program end together
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(child, child);
    std::string greeting;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (greeting.empty() && std::chrono::steady_clock::now() < giveUp) {
        greeting = VncGreeting(port);
        if (greeting.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    ::kill(-child, SIGTERM);
    int status = 0;
    ::waitpid(child, &status, 0);
    // The simulator and the program end on their own time and remove what they made in the
    // folder: wait for the whole group, and let nothing of it outlive the test.
    const auto ended = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::kill(-child, 0) == 0 && std::chrono::steady_clock::now() < ended) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(-child, SIGKILL);
    EXPECT_EQ(greeting.rfind("RFB 003.", 0), 0u) << greeting;
    kvel::test::RemoveTree(demo);
}

TEST(Program, HelpAndVersionWithoutADisplay) {
    const std::string bin = KVEL_BINARY_DIR;
    const std::string bare = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
    const Output view = Shell(bare + "'" + bin + "/app/kvelview' --help");
    EXPECT_EQ(view.status, 0) << view.text;
    for (const char* line : {"\n  --desktop ", "\n  -platform NAME ", "\n  --version "}) {
        EXPECT_NE(view.text.find(line), std::string::npos) << line << "\n" << view.text;
    }
    const Output sim = Shell(bare + "'" + bin + "/sim/kvel-sim' --help");
    EXPECT_EQ(sim.status, 0) << sim.text;
    for (const char* line :
         {"\n  --type CODE ", "\n  --link PATH ", "\n  --address A ", "\n  --no-drift ",
          "\n  unplug ", "\n  plug ", "\n  fault none", "\n  set REG VALUE ", "\n  get REG ",
          "\n  type CODE ", "\n  drift on|off "}) {
        EXPECT_NE(sim.text.find(line), std::string::npos) << line << "\n" << sim.text;
    }
    EXPECT_EQ(Shell(bare + "'" + bin + "/sim/kvel-sim' --version").status, 0);
}

// From the desktop menu the program works in ~/KvelView, whatever folder it was started in:
// its settings are stored there on closing.
TEST(Program, DesktopStartWorksInTheUsersFolder) {
    const fs::path home = fs::temp_directory_path() / ("kvel-home-" + std::to_string(::getpid()));
    kvel::test::RemoveTree(home);
    fs::create_directories(home / "elsewhere");
    const std::string command = "cd '" + (home / "elsewhere").string() + "' && HOME='" +
                                home.string() + "' QT_QPA_PLATFORM=offscreen '" +
                                std::string(KVEL_BINARY_DIR) +
                                "/app/kvelview' --desktop > /dev/null 2>&1 & "
                                "i=0; while [ ! -d '" +
                                (home / "KvelView").string() +
                                "' ] && [ $i -lt 300 ]; do sleep 0.1; i=$((i+1)); done; "
                                "sleep 2; kill -TERM $!; wait $!";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_TRUE(fs::exists(home / "KvelView" / "mem.ini"));
    EXPECT_FALSE(fs::exists(home / "elsewhere" / "mem.ini"));
    kvel::test::RemoveTree(home);
}

}  // namespace
