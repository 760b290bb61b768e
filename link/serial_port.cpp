#include "link/serial_port.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <iterator>
#include <thread>
#include <utility>

#include "link/message_sink.h"

namespace kvel {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds until the deadline, rounded up so that a poll never wakes before it.
int msLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>((left + 999) / 1000) : 0;
}

// The speed table: index 0..4 of `connect`/`speed`.
struct LineSpeed {
    speed_t constant;
    int bitsPerSecond;
};
constexpr LineSpeed kSpeeds[] = {
    {B9600, 9600}, {B19200, 19200}, {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};

const LineSpeed* speedOfTable(int speedIndex) {
    return speedIndex >= 0 && speedIndex < static_cast<int>(std::size(kSpeeds))
               ? &kSpeeds[speedIndex]
               : nullptr;
}

}  // namespace

SerialPort::SerialPort() = default;

SerialPort::~SerialPort() {
    close();
}

int SerialPort::wakeFd() const {
    return closing_ ? closing_->wakeFd() : -1;
}

int SerialPort::waitFor(short events, int timeoutMs, short& revents, bool& interrupted) {
    const int wake = wakeFd();
    pollfd p[2] = {{fd_, events, 0}, {wake, POLLIN, 0}};
    const int ready = ::poll(p, wake >= 0 ? 2 : 1, timeoutMs);
    revents = p[0].revents;
    interrupted = ready > 0 && (p[1].revents & POLLIN) != 0;
    if (interrupted && p[0].revents == 0) return 0;
    return ready;
}

int SerialPort::speedOfIndex(int speedIndex) {
    const LineSpeed* speed = speedOfTable(speedIndex);
    return speed ? speed->bitsPerSecond : 0;
}

std::string SerialPort::deviceForName(const std::string& name) {
    if (name.size() > 3 && name.compare(0, 3, "COM") == 0) {
        const std::string digits = name.substr(3);
        if (digits.find_first_not_of("0123456789") == std::string::npos && digits.size() < 6) {
            const int number = std::stoi(digits);
            if (number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
        }
    }
    if (!name.empty() && name.find('/') == std::string::npos) return "/dev/" + name;
    return name;
}

bool SerialPort::fail(PortOpenFailure failure) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    state_ = State::OpenFailed;
    failure_ = std::move(failure);
    // The poll retries every period: a refusal is news once, not at every retry.
    const std::string text = portOpenFailureText(failure_);
    if (failure_.reason == PortOpenFailure::Reason::NotTerminal && text != lastRefusal_) {
        notices_.push_back(portOpenFailureMessage(failure_));
    }
    lastRefusal_ = failure_.reason == PortOpenFailure::Reason::NotTerminal ? text : "";
    return false;
}

bool SerialPort::failInUse(const std::string& device) {
    PortOpenFailure failure = PortOpenFailure::of(PortOpenFailure::Reason::InUse, device, EBUSY);
    failure.holder = lockHolderOf(device);
    return fail(std::move(failure));
}

bool SerialPort::open(const std::string& name, int speedIndex, int parityIndex) {
    close();
    using Reason = PortOpenFailure::Reason;
    const std::string device = deviceForName(name);
    if (device.empty()) return fail(PortOpenFailure::of(Reason::NoName, device));
    // A regular file, a pipe or a folder is never opened: the requests would be appended to a
    // file, and some devices act on being opened at all.
    struct stat node {};
    if (::stat(device.c_str(), &node) == 0 && !S_ISCHR(node.st_mode)) {
        return fail(PortOpenFailure::of(Reason::NotTerminal, device, ENOTTY));
    }
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
        const int error = errno;
        if (error == EBUSY) return failInUse(device);
        return fail(withPermissionAdvice(PortOpenFailure::of(Reason::System, device, error)));
    }
    // A character device that is no terminal (/dev/zero, /dev/urandom) never answers as a
    // module does and never runs dry.
    if (!::isatty(fd_)) return fail(PortOpenFailure::of(Reason::NotTerminal, device, ENOTTY));
    // The only master on the line: an advisory lock as other serial programs take it, and
    // the terminal's exclusive mode against openers that do not look at locks.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
        return failInUse(device);
    }
    ::ioctl(fd_, TIOCEXCL);
    failure_ = {};
    lastRefusal_.clear();
    state_ = State::open;
    if (observer_) observer_->portOpened();

    termios tio{};
    if (::tcgetattr(fd_, &tio) == 0) {
        const termios before = tio;
        found_ = tio;
        restore_ = true;
        // Raw 8-bit data: no line editing, echo, translation or flow control of the terminal;
        // cfmakeraw also sets the 8 data bits.
        ::cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        tio.c_cflag &= ~CRTSCTS;
        tio.c_iflag &= ~(IXON | IXOFF | IXANY);
        tio.c_cc[VMIN] = 0;
        tio.c_cc[VTIME] = 0;
        if (const LineSpeed* speed = speedOfTable(speedIndex)) {
            ::cfsetispeed(&tio, speed->constant);
            ::cfsetospeed(&tio, speed->constant);
        }
        switch (parityIndex) {
            case 0:
                tio.c_cflag = (tio.c_cflag & ~(PARENB | PARODD)) | CSTOPB;
                break;
            case 1:
                tio.c_cflag = (tio.c_cflag & ~(PARODD | CSTOPB)) | PARENB;
                break;
            case 2:
                tio.c_cflag = (tio.c_cflag & ~CSTOPB) | PARENB | PARODD;
                break;
            default:
                tio.c_cflag = (tio.c_cflag & ~(PARENB | PARODD | CSTOPB)) |
                              (before.c_cflag & (PARENB | PARODD | CSTOPB));
                break;
        }
        if (std::memcmp(&tio, &before, sizeof tio) != 0 && ::tcsetattr(fd_, TCSANOW, &tio) != 0) {
            notices_.push_back({"%1", {std::strerror(errno)}});
        }
    } else {
        notices_.push_back({"%1", {std::strerror(errno)}});
    }
    return true;
}

std::vector<MarkedText> SerialPort::takeNotices() {
    return std::exchange(notices_, {});
}

void SerialPort::close() {
    if (fd_ >= 0) {
        // The exclusive mode outlives the descriptor while anyone else holds the terminal (the
        // simulator keeps its own end open): leave the port as it was found.
        if (state_ == State::open) ::ioctl(fd_, TIOCNXCL);
        // The next program on the port finds it as this one did. A device that has gone
        // refuses, which is no matter.
        if (restore_) ::tcsetattr(fd_, TCSANOW, &found_);
        ::close(fd_);
    }
    fd_ = -1;
    restore_ = false;
    state_ = State::Closed;
    failure_ = {};
}

std::size_t SerialPort::drainInput(int fd, TrafficObserver* observer) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(kDiscardMaxMs);
    std::uint8_t sink[256];
    std::size_t drained = 0;
    while (drained < kDiscardMaxBytes && Clock::now() < deadline) {
        const ssize_t n = ::read(fd, sink, std::min(sizeof sink, kDiscardMaxBytes - drained));
        if (n <= 0) break;
        if (observer) observer->inputDiscarded(sink, static_cast<std::size_t>(n));
        drained += static_cast<std::size_t>(n);
    }
    return drained;
}

void SerialPort::discardInput() {
    if (fd_ < 0) return;
    // An observer of the line is shown what is thrown away: read it before the flush drops it.
    if (observer_) drainInput(fd_, observer_);
    ::tcflush(fd_, TCIFLUSH);
    // A driver may still hold bytes that tcflush did not reach; read them away too.
    drainInput(fd_, observer_);
}

Transport::SendResult SerialPort::send(const std::uint8_t* data, std::size_t length, int waitMs) {
    if (fd_ < 0) return SendResult::Refused;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    std::size_t sent = 0;
    while (sent < length) {
        const ssize_t n = ::write(fd_, data + sent, length - sent);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            // Refused part-way, the send can no longer complete either.
            return sent == 0 ? SendResult::Refused : SendResult::NotCompleted;
        }
        const int left = msLeft(deadline);
        short revents = 0;
        bool interrupted = false;
        if (left == 0 || waitFor(POLLOUT, left, revents, interrupted) <= 0) {
            return SendResult::NotCompleted;
        }
    }
    return SendResult::Done;
}

void SerialPort::awaitReply(int ms) {
    if (!observer_ || fd_ < 0) {
        sleepFor(ms);
        return;
    }
    // The module's own time ends with the first byte of its reply, which may come well inside
    // the pause: watch the line for it, reading nothing. The program's end cuts it short.
    const auto end = Clock::now() + std::chrono::milliseconds(ms);
    for (int left = msLeft(end); left > 0; left = msLeft(end)) {
        short revents = 0;
        bool interrupted = false;
        const int ready = waitFor(POLLIN, left, revents, interrupted);
        if (interrupted) return;
        if (ready < 0 && errno == EINTR) continue;
        if (ready > 0 && (revents & POLLIN)) observer_->replyStarted();
        if (ready != 0) break;  // the reply has begun, or the line has gone: pause out the rest
    }
    sleepFor(msLeft(end));
}

void SerialPort::sleepFor(int ms) {
    if (ms <= 0) return;
    const int wake = wakeFd();
    if (wake < 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return;
    }
    pollfd p{wake, POLLIN, 0};
    ::poll(&p, 1, ms);
}

bool SerialPort::receive(std::uint8_t* buffer, std::size_t maxLength, std::size_t& received,
                         int waitMs, int quietMs) {
    received = 0;
    if (fd_ < 0) return false;
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    auto quietEnd = deadline;
    while (received < maxLength) {
        const auto now = Clock::now();
        if (now >= deadline) return false;
        const int timeout = msLeft(received > 0 ? std::min(quietEnd, deadline) : deadline);
        short revents = 0;
        bool interrupted = false;
        const int ready = waitFor(POLLIN, timeout, revents, interrupted);
        // The program ends: what has come is all there will be.
        if (interrupted && !(revents & POLLIN)) return received > 0;
        if (ready < 0 && errno == EINTR) continue;
        if (ready == 0) {
            if (received > 0 && Clock::now() >= quietEnd) return Clock::now() < deadline;
            continue;
        }
        if (ready < 0) return false;
        if (revents & POLLIN) {
            const ssize_t n = ::read(fd_, buffer + received, maxLength - received);
            if (n > 0) {
                if (received == 0 && observer_) observer_->replyStarted();
                received += static_cast<std::size_t>(n);
                quietEnd = Clock::now() + std::chrono::milliseconds(quietMs);
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EINTR)) continue;
        }
        // Hang-up or error: the device went away, nothing more can arrive.
        return false;
    }
    return true;
}

}  // namespace kvel
