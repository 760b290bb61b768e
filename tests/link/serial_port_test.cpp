#include "link/serial_port.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "link/message_sink.h"
#include "tests/link/pty_peer.h"

namespace kvel {
namespace {

struct Shown {
    std::vector<std::pair<std::string, std::string>> boxes;
    Shown() {
        setMessageSink(
            [this](const std::string& t, const std::string& c) { boxes.emplace_back(t, c); });
    }
    ~Shown() { setMessageSink(nullptr); }
};

// The line settings as they are now, read through the far end's own descriptor: the port
// holds the device exclusively.
termios Settings(const test::PtyPeer& peer) {
    termios tio{};
    EXPECT_EQ(::tcgetattr(peer.slaveFd(), &tio), 0);
    return tio;
}

TEST(SerialPort, NamesOfDevices) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"COM1", "/dev/ttyS0"},
        {"COM12", "/dev/ttyS11"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {"ttyACM0", "/dev/ttyACM0"},
        {"", ""},
        {"COM", "/dev/COM"},
        {"COM0", "/dev/COM0"},
    };
    for (const auto& [name, device] : cases) EXPECT_EQ(SerialPort::deviceForName(name), device);
}

TEST(SerialPort, OpenStates) {
    Shown shown;
    SerialPort port;
    EXPECT_EQ(port.getState(), SerialPort::State::Closed);
    EXPECT_FALSE(port.open("", 0, 0));
    EXPECT_EQ(port.getState(), SerialPort::State::OpenFailed);
    EXPECT_FALSE(port.open("/dev/kvel-no-such-port", 0, 0));
    EXPECT_EQ(port.getState(), SerialPort::State::OpenFailed);
    test::PtyPeer peer;
    EXPECT_TRUE(port.open(peer.slavePath(), 0, 0));
    EXPECT_EQ(port.getState(), SerialPort::State::open);
    port.close();
    EXPECT_EQ(port.getState(), SerialPort::State::Closed);
    EXPECT_TRUE(shown.boxes.empty());
    EXPECT_TRUE(port.takeNotices().empty());
}

TEST(SerialPort, SpeedTableAndOutOfTableIndices) {
    Shown shown;
    test::PtyPeer peer;
    const std::vector<std::pair<int, speed_t>> table = {
        {0, B9600}, {1, B19200}, {2, B38400}, {3, B57600}, {4, B115200}};
    SerialPort port;
    for (const auto& [index, speed] : table) {
        ASSERT_TRUE(port.open(peer.slavePath(), index, 0));
        const termios tio = Settings(peer);
        EXPECT_EQ(::cfgetospeed(&tio), speed) << index;
    }
    // Indices outside the table leave the speed the device had.
    port.close();
    termios before = Settings(peer);
    ::cfsetspeed(&before, B57600);
    ASSERT_EQ(::tcsetattr(peer.slaveFd(), TCSANOW, &before), 0);
    for (const int index : {5, -1}) {
        ASSERT_TRUE(port.open(peer.slavePath(), index, 0));
        const termios tio = Settings(peer);
        EXPECT_EQ(::cfgetospeed(&tio), B57600) << index;
    }
    const termios tio = Settings(peer);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO), 0u);
}

// Closing puts back what the port found, so the next program on it finds it as it was.
TEST(SerialPort, CloseRestoresTheLineSettingsFoundAtOpen) {
    Shown shown;
    test::PtyPeer peer;
    termios found = Settings(peer);
    ::cfsetspeed(&found, B1200);
    found.c_lflag |= ICANON | ECHO;
    found.c_cflag &= ~CSTOPB;
    ASSERT_EQ(::tcsetattr(peer.slaveFd(), TCSANOW, &found), 0);
    found = Settings(peer);
    SerialPort port;
    ASSERT_TRUE(port.open(peer.slavePath(), 4, 0));
    const termios open = Settings(peer);
    EXPECT_EQ(::cfgetospeed(&open), B115200);
    EXPECT_NE(open.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(open.c_lflag & ICANON, 0u);
    port.close();
    const termios after = Settings(peer);
    EXPECT_EQ(::cfgetospeed(&after), B1200);
    EXPECT_EQ(after.c_cflag, found.c_cflag);
    EXPECT_EQ(after.c_lflag, found.c_lflag);
    EXPECT_EQ(after.c_iflag, found.c_iflag);
}

TEST(SerialPort, ParityNoneHasTwoStopBits) {
    Shown shown;
    test::PtyPeer peer;
    SerialPort port;
    ASSERT_TRUE(port.open(peer.slavePath(), 0, 0));
    const termios tio = Settings(peer);
    EXPECT_EQ(tio.c_cflag & PARENB, 0u);
    EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
    // An index outside the table leaves parity and stop bits as the device had them.
    port.close();
    // (A pseudo-terminal keeps no PARENB: the odd flag and the stop bits tell.)
    termios odd = Settings(peer);
    odd.c_cflag |= PARODD | CSTOPB;
    ASSERT_EQ(::tcsetattr(peer.slaveFd(), TCSANOW, &odd), 0);
    ASSERT_TRUE(port.open(peer.slavePath(), 1, 3));
    EXPECT_EQ(Settings(peer).c_cflag & (PARODD | CSTOPB), static_cast<tcflag_t>(PARODD | CSTOPB));
}

// A device that is no terminal is refused: the status shows the failure, its reason is shown
// once under "GetLastError", not again at every retry of the poll.
TEST(SerialPort, DeviceThatIsNoTerminalIsRefusedOnce) {
    Shown shown;
    SerialPort port;
    std::vector<std::string> notices;
    for (int retry = 0; retry < 3; ++retry) {
        EXPECT_FALSE(port.open("/dev/null", 0, 0));
        EXPECT_EQ(port.getState(), SerialPort::State::OpenFailed);
        for (const MarkedText& n : port.takeNotices()) notices.push_back(n.text());
    }
    EXPECT_EQ(port.lastFailure().reason, PortOpenFailure::Reason::NotTerminal);
    EXPECT_TRUE(shown.boxes.empty());  // the port shows no box itself
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0],
              "/dev/null: не последовательный порт (" + std::string(std::strerror(ENOTTY)) + ")");
    // Another refused device is news again.
    EXPECT_FALSE(port.open("zero", 0, 0));
    EXPECT_EQ(port.takeNotices().size(), 1u);
    EXPECT_EQ(port.lastFailure().device, "/dev/zero");
}

}  // namespace
}  // namespace kvel
