// Who may open the serial port, and what the user is told when it cannot be opened: devices
// that are no serial line, a second master on the same line, a permission the device's group
// would give.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "link/message_sink.h"
#include "link/serial_port.h"
#include "sim/pty_device.h"
#include "tests/common/as_nobody.h"
#include "tests/common/temp_dir.h"

namespace kvel {
namespace {

using Reason = PortOpenFailure::Reason;

struct QuietBoxes {
    std::vector<std::string> shown;
    QuietBoxes() {
        setMessageSink(
            [this](const std::string& t, const std::string& c) { shown.push_back(c + ": " + t); });
    }
    ~QuietBoxes() { setMessageSink(nullptr); }
};

// A pseudo-terminal whose far end stays open, as the simulator keeps it.
struct Pty {
    sim::PtyDevice device;
    Pty() {
        std::string error;
        EXPECT_TRUE(device.openPty("", &error)) << error;
    }
    const std::string& Path() const { return device.slavePath(); }
};

PortOpenFailure Held(std::string holder) {
    PortOpenFailure f = PortOpenFailure::of(Reason::InUse, "/dev/ttyS0", EBUSY);
    f.holder = std::move(holder);
    return f;
}

// "NAME, PID N" of this process, as the lock list names a holder.
std::string ThisProcess() {
    std::string name;
    std::getline(std::ifstream("/proc/self/comm"), name);
    return name + ", PID " + std::to_string(::getpid());
}

PortOpenFailure Denied(bool memberSinceLogin) {
    PortOpenFailure f = PortOpenFailure::of(Reason::System, "/dev/ttyUSB0", EACCES);
    f.group = "dialout";
    f.user = "ivan";
    f.memberSinceLogin = memberSinceLogin;
    return f;
}

TEST(PortAccess, FailureTexts) {
    const std::string denied = std::strerror(EACCES);
    const std::vector<std::pair<PortOpenFailure, std::string>> cases = {
        {PortOpenFailure{}, ""},
        {PortOpenFailure::of(Reason::NoName, ""),
         "порт не задан (ключ port в разделе [connect] файла mem.ini)"},
        {PortOpenFailure::of(Reason::System, "/dev/ttyUSB7", ENOENT),
         "/dev/ttyUSB7: " + std::string(std::strerror(ENOENT))},
        {PortOpenFailure::of(Reason::NotTerminal, "/tmp/f", ENOTTY),
         "/tmp/f: не последовательный порт (" + std::string(std::strerror(ENOTTY)) + ")"},
        {Held(""),
         "/dev/ttyS0: порт занят другой программой (" + std::string(std::strerror(EBUSY)) + ")"},
        {Held("kvelview, PID 812"), "/dev/ttyS0: порт занят другой программой (kvelview, PID 812)"},
        {Denied(false),
         "/dev/ttyUSB0: " + denied +
             ". Доступ к порту даёт группа dialout: добавьте в неё пользователя (sudo usermod "
             "-aG dialout ivan) и войдите в систему заново"},
        {Denied(true),
         "/dev/ttyUSB0: " + denied +
             ". Доступ к порту даёт группа dialout; пользователь ivan уже в ней, но этот сеанс "
             "начат раньше: выйдите из системы и войдите заново"},
    };
    for (const auto& [failure, text] : cases) EXPECT_EQ(portOpenFailureText(failure), text);
}

// Opening is all it would take to append a request to a file, and /dev/zero or /dev/urandom
// never run dry: none of them is opened as a port.
TEST(PortAccess, NothingButATerminalIsOpened) {
    QuietBoxes boxes;
    test::TempDir dir;
    const std::string file = dir.File("somefile");
    test::WriteBytes(file, "keep");
    SerialPort port;
    std::size_t notices = 0;
    for (const std::string& name : {file, dir.Path().string(), std::string("zero"),
                                    std::string("/dev/urandom"), std::string("/dev/null")}) {
        EXPECT_FALSE(port.open(name, 0, 0)) << name;
        EXPECT_EQ(port.lastFailure().reason, Reason::NotTerminal) << name;
        const std::uint8_t request[] = {1, 3, 0, 0, 0, 1};
        EXPECT_EQ(port.send(request, sizeof request, 10), Transport::SendResult::Refused);
        notices += port.takeNotices().size();
    }
    EXPECT_EQ(test::ReadBytes(file), "keep");
    EXPECT_EQ(notices, 5u);
    // An absent device is no news for a box: the status and its tool tip say it.
    EXPECT_FALSE(port.open(dir.File("absent"), 0, 0));
    EXPECT_EQ(port.lastFailure().reason, Reason::System);
    EXPECT_EQ(port.lastFailure().error, ENOENT);
    EXPECT_TRUE(port.takeNotices().empty());
    EXPECT_TRUE(boxes.shown.empty());  // the port raises no box itself
}

TEST(PortAccess, DiscardIsBoundedOnInputThatNeverRunsDry) {
    for (const char* device : {"/dev/zero", "/dev/urandom"}) {
        const int fd = ::open(device, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(fd, 0) << device;
        EXPECT_LE(SerialPort::drainInput(fd), SerialPort::kDiscardMaxBytes) << device;
        ::close(fd);
    }
}

TEST(PortAccess, SecondOpenerOfTheLineIsRefusedUntilTheFirstCloses) {
    QuietBoxes boxes;
    Pty pty;
    SerialPort first, second;
    ASSERT_TRUE(first.open(pty.Path(), 0, 0));
    EXPECT_FALSE(second.open(pty.Path(), 0, 0));
    EXPECT_EQ(second.getState(), SerialPort::State::OpenFailed);
    EXPECT_EQ(second.lastFailure().reason, Reason::InUse);
    // The lock list names the holder: here this very process.
    EXPECT_EQ(portOpenFailureText(second.lastFailure()),
              pty.Path() + ": порт занят другой программой (" + ThisProcess() + ")");
    // A program that does not look at locks meets the terminal's exclusive mode (root would
    // pass it, so an unprivileged child tries).
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to change the device's mode";
    ASSERT_EQ(::chmod(pty.Path().c_str(), 0666), 0);
    const std::string blocked = test::RunAsNobody([&] {
        SerialPort port;
        port.open(pty.Path(), 0, 0);
        return portOpenFailureText(port.lastFailure());
    });
    EXPECT_EQ(blocked, pty.Path() + ": порт занят другой программой (" + ThisProcess() + ")");

    first.close();
    // Closing leaves no exclusive mode behind, although the far end keeps the terminal.
    const std::string afterClose = test::RunAsNobody([&] {
        SerialPort port;
        return port.open(pty.Path(), 0, 0) ? std::string("opened")
                                           : portOpenFailureText(port.lastFailure());
    });
    EXPECT_EQ(afterClose, "opened");
    EXPECT_TRUE(second.open(pty.Path(), 0, 0));
    EXPECT_EQ(second.lastFailure().reason, Reason::None);
    EXPECT_TRUE(boxes.shown.empty());
}

// The device belongs to a group that may read and write it; the user is not in it.
TEST(PortAccess, RefusedPermissionNamesTheDevicesGroupAndTheFix) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to change the device's owner";
    Pty pty;
    ASSERT_EQ(::chown(pty.Path().c_str(), 0, 20), 0);  // group dialout
    ASSERT_EQ(::chmod(pty.Path().c_str(), 0660), 0);
    const std::string text = test::RunAsNobody([&] {
        SerialPort port;
        port.open(pty.Path(), 0, 0);
        const PortOpenFailure& f = port.lastFailure();
        return std::to_string(f.error) + "|" + f.group + "|" + f.user + "|" +
               portOpenFailureText(f);
    });
    EXPECT_EQ(text, std::to_string(EACCES) + "|dialout|nobody|" + pty.Path() + ": " +
                        std::strerror(EACCES) +
                        ". Доступ к порту даёт группа dialout: добавьте в неё пользователя "
                        "(sudo usermod -aG dialout nobody) и войдите в систему заново");
    // A group that may not write the device would be no fix: the system's reason alone.
    ASSERT_EQ(::chmod(pty.Path().c_str(), 0640), 0);
    const std::string plain = test::RunAsNobody([&] {
        SerialPort port;
        port.open(pty.Path(), 0, 0);
        return portOpenFailureText(port.lastFailure());
    });
    EXPECT_EQ(plain, pty.Path() + ": " + std::strerror(EACCES));
}

}  // namespace
}  // namespace kvel
