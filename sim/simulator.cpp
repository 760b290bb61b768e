#include "sim/simulator.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>

#include "sim/modbus_slave.h"
#include "sim/pty_device.h"
#include "sim/register_map.h"

namespace kvel::sim {
namespace {

using Clock = std::chrono::steady_clock;
using Duration = std::chrono::nanoseconds;

// One character on the line: start bit, 8 data bits, parity or a second stop bit, stop bit.
constexpr int kBitsPerChar = 11;
// The master ends a reception after 10 ms of quiet; writing a reply at least every
// millisecond keeps every gap inside it far below that.
constexpr auto kMinStep = std::chrono::milliseconds(1);
// A scheduler cannot honour the 3.5-character silence of fast lines, so no less than this.
constexpr auto kMinSilence = std::chrono::milliseconds(3);
constexpr std::size_t kHistory = 4096;

Duration charDuration(long bitsPerSecond) {
    return Duration(1'000'000'000LL * kBitsPerChar / std::max(bitsPerSecond, 1L));
}

timespec toTimespec(Duration d) {
    const auto ns = std::max<std::int64_t>(d.count(), 0);
    return timespec{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
}

}  // namespace

struct Simulator::Impl {
    SimOptions options;

    mutable std::mutex mutex;  // guards everything from here to `error`
    mutable RegisterMap map;
    Fault fault = Fault::None;
    int exceptionCode = 2;
    int lateMs = 800;
    int replyRegisters = 0;
    std::vector<ServedRead> served;
    std::size_t requests = 0;
    std::vector<std::uint8_t> lastRequest;
    std::deque<TimedRequest> history;  // bounded: the simulator may run for weeks
    std::string error;

    std::mutex control;  // serialises plugging and unplugging, guards `pty`
    PtyDevice pty;
    std::thread thread;
    int wake[2] = {-1, -1};
    std::atomic<bool> stopping{false};
    std::atomic<long> speed{9600};
    std::atomic<int> parity{0};
    std::atomic<bool> busy{false};  // input taken in, or a reply on its way

    explicit Impl(SimOptions o) : options(std::move(o)), map(options.typeCode, options.address) {
        map.setDrift(options.drift);
        listenAtOwnLine();
        if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) wake[0] = wake[1] = -1;
    }

    // The speed and parity given at start are stored in the module's link settings, from which
    // the map decides what it hears.
    void listenAtOwnLine() {
        const auto speedRegister = static_cast<std::uint16_t>(map.addressRegister() + 1);
        if (options.speedIndex >= 0) {
            map.store(speedRegister, {static_cast<std::uint16_t>(options.speedIndex)});
        }
        if (options.parityIndex >= 0) {
            map.store(static_cast<std::uint16_t>(speedRegister + 1),
                      {static_cast<std::uint16_t>(options.parityIndex)});
        }
    }

    ~Impl() {
        unplug();
        if (wake[0] >= 0) close(wake[0]);
        if (wake[1] >= 0) close(wake[1]);
    }

    bool plug() {
        std::lock_guard guard(control);
        if (pty.isOpen()) return true;
        std::string reason;
        if (wake[0] < 0) {
            reason = "no wake-up pipe";
        } else if (pty.openPty(options.link, &reason)) {
            char drain[64];
            while (read(wake[0], drain, sizeof drain) > 0) {
            }
            stopping = false;
            thread = std::thread([this, m = pty.masterFd(), s = pty.slaveFd()] { serve(m, s); });
            return true;
        }
        std::lock_guard lock(mutex);
        error = reason;
        return false;
    }

    void unplug() {
        std::lock_guard guard(control);
        if (thread.joinable()) {
            stopping = true;
            [[maybe_unused]] const auto n = write(wake[1], "x", 1);
            thread.join();
        }
        pty.closePty();
    }

    // Sleeps until the deadline; false when serving is to stop.
    bool sleepUntil(Clock::time_point deadline) {
        for (;;) {
            const auto now = Clock::now();
            if (stopping) return false;
            if (now >= deadline) return true;
            pollfd fd{wake[0], POLLIN, 0};
            const timespec ts = toTimespec(deadline - now);
            if (ppoll(&fd, 1, &ts, nullptr) > 0) return false;
        }
    }

    // Writes the reply spread over its wire time from `start`: each character goes out
    // when it would have been fully received on a real line.
    void sendPaced(int master, const std::vector<std::uint8_t>& reply, Clock::time_point start,
                   Duration charTime) {
        std::size_t sent = 0;
        while (sent < reply.size()) {
            const auto now = Clock::now();
            const auto due =
                now < start
                    ? std::size_t{0}
                    : std::min(reply.size(), static_cast<std::size_t>((now - start) / charTime));
            if (due > sent) {
                const ssize_t n = write(master, reply.data() + sent, due - sent);
                if (n > 0) {
                    sent += static_cast<std::size_t>(n);
                    continue;
                }
                if (n < 0 && errno != EAGAIN && errno != EINTR) return;
            }
            const auto next = start + charTime * static_cast<std::int64_t>(sent + 1);
            if (!sleepUntil(std::max(next, now + kMinStep))) return;
        }
    }

    // One complete frame from the line. False when its CRC is bad (the stream is then out
    // of step and the caller drops what else it holds).
    bool handle(int master, std::vector<std::uint8_t> frame, Clock::time_point arrival,
                Duration charTime) {
        if (!crcValid(frame)) return false;
        std::vector<std::uint8_t> reply;
        Fault f;
        int late;
        std::uint8_t address;
        {
            std::lock_guard lock(mutex);
            // At another speed than the module's the request would be noise to it.
            if (map.requiredSpeed() != 0 && map.requiredSpeed() != speed) return true;
            if (map.requiredParity() >= 0 && map.requiredParity() != parity) return true;
            ++requests;
            lastRequest = frame;
            if (history.size() >= kHistory) history.pop_front();
            history.push_back({arrival, frame});
            address = map.slaveAddress();
            const bool broadcast = frame[0] == 0;
            if (frame[0] != address && !broadcast) return true;  // another slave's request
            f = fault;
            late = lateMs;
            if (f == Fault::Silence) return true;  // as if the request never reached us
            // A module in trouble carries nothing out; a broadcast is never answered.
            if (f != Fault::Exception) {
                map.update(Clock::now());
                reply = answer(map, frame);
                if (f == Fault::RegisterCount && frame[1] == 3 && reply[1] == 3) {
                    reply = readReply(map, frame[0],
                                      static_cast<std::uint16_t>(frame[2] << 8 | frame[3]),
                                      replyRegisters);
                }
                if (reply.size() >= 5 && reply[1] == 3) record(reply, frame);
            }
            if (broadcast) return true;
            if (f == Fault::Exception) {
                reply =
                    exceptionReply(frame[0], frame[1], static_cast<std::uint8_t>(exceptionCode));
            }
        }
        if (f == Fault::BadCrc) {
            reply.back() ^= 0x5A;
        } else if (f == Fault::WrongAddress) {
            reply[0] = static_cast<std::uint8_t>(address >= 247 ? 1 : address + 1);
            reply.resize(reply.size() - 2);
            appendCrc(reply);
        }
        // The request took its own wire time to arrive; the reply starts after it.
        auto start = arrival + charTime * static_cast<std::int64_t>(frame.size());
        if (f == Fault::LateReply) start += std::chrono::milliseconds(late);
        sendPaced(master, reply, start, charTime);
        return true;
    }

    // Keeps what a normal read reply carried; bounded, so a long run without takers stays small.
    void record(const std::vector<std::uint8_t>& reply, const std::vector<std::uint8_t>& frame) {
        constexpr std::size_t kKept = 4096;
        if (served.size() >= kKept) served.erase(served.begin(), served.begin() + kKept / 2);
        ServedRead r;
        r.first = static_cast<std::uint16_t>(frame[2] << 8 | frame[3]);
        for (std::size_t i = 0; i + 1 < reply[2] && 4 + i < reply.size(); i += 2) {
            r.values.push_back(static_cast<std::uint16_t>(reply[3 + i] << 8 | reply[4 + i]));
        }
        served.push_back(std::move(r));
    }

    void serve(int master, int slave) {
        std::vector<std::uint8_t> buffer;
        Clock::time_point first{};
        Clock::time_point last{};
        Duration charTime = charDuration(speed);
        for (;;) {
            if (buffer.empty()) busy = false;
            const Duration silence = std::max<Duration>(charTime * 7 / 2, kMinSilence);
            pollfd fds[2] = {{master, POLLIN, 0}, {wake[0], POLLIN, 0}};
            timespec ts{};
            if (!buffer.empty()) ts = toTimespec(last + silence - Clock::now());
            const int r = ppoll(fds, 2, buffer.empty() ? nullptr : &ts, nullptr);
            if (r < 0 && errno != EINTR) return;
            if (stopping || (r > 0 && fds[1].revents != 0)) return;
            if (r > 0 && (fds[0].revents & POLLIN) != 0) {
                busy = true;  // before the read, so idle() never misses the input
                std::uint8_t chunk[512];
                const ssize_t n = read(master, chunk, sizeof chunk);
                if (n > 0) {
                    const auto now = Clock::now();
                    if (buffer.empty()) first = now;
                    last = now;
                    buffer.insert(buffer.end(), chunk, chunk + n);
                    // The client may have changed the speed while we waited.
                    speed = kvel::sim::lineSpeed(slave);
                    parity = kvel::sim::lineParity(slave);
                    charTime = charDuration(speed);
                }
            } else if (r > 0) {
                // Hang-up or error on the master: wait a little instead of spinning.
                if (!sleepUntil(Clock::now() + std::chrono::milliseconds(10))) return;
            }
            while (!buffer.empty()) {
                const int length = requestLength(buffer.data(), buffer.size());
                if (length <= 0 || buffer.size() < static_cast<std::size_t>(length)) break;
                std::vector<std::uint8_t> frame(buffer.begin(), buffer.begin() + length);
                buffer.erase(buffer.begin(), buffer.begin() + length);
                if (!handle(master, std::move(frame), first, charTime)) buffer.clear();
                first = Clock::now();
                if (stopping) return;
            }
            if (r == 0 && !buffer.empty()) {
                // Silence ends a frame of a function we do not know; an incomplete frame
                // of a known one is dropped, as a real slave drops it.
                if (requestLength(buffer.data(), buffer.size()) < 0) {
                    handle(master, buffer, first, charTime);
                }
                buffer.clear();
            }
        }
    }
};

Simulator::Simulator(SimOptions options) : impl_(std::make_unique<Impl>(std::move(options))) {}

Simulator::~Simulator() = default;

bool Simulator::start() {
    return impl_->plug();
}

bool Simulator::plug() {
    return impl_->plug();
}

void Simulator::unplug() {
    impl_->unplug();
}

bool Simulator::plugged() const {
    std::lock_guard guard(impl_->control);
    return impl_->pty.isOpen();
}

std::string Simulator::errorText() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->error;
}

std::string Simulator::devicePath() const {
    if (!impl_->options.link.empty()) return impl_->options.link;
    std::lock_guard guard(impl_->control);
    return impl_->pty.slavePath();
}

void Simulator::setFault(Fault fault, int exceptionCode, int lateMs) {
    std::lock_guard lock(impl_->mutex);
    impl_->fault = fault;
    impl_->exceptionCode = exceptionCode;
    impl_->lateMs = lateMs;
}

void Simulator::setReplyRegisterCount(int count) {
    std::lock_guard lock(impl_->mutex);
    impl_->fault = Fault::RegisterCount;
    impl_->replyRegisters = std::clamp(count, 0, 127);
}

std::vector<ServedRead> Simulator::takeServedReads() {
    std::lock_guard lock(impl_->mutex);
    return std::exchange(impl_->served, {});
}

bool Simulator::idle() const {
    std::lock_guard guard(impl_->control);
    if (!impl_->pty.isOpen()) return true;
    // Input first: the serving thread marks itself busy before it takes input in.
    pollfd fd{impl_->pty.masterFd(), POLLIN, 0};
    if (poll(&fd, 1, 0) > 0 && (fd.revents & (POLLIN | POLLHUP)) == POLLIN) return false;
    return !impl_->busy;
}

std::uint16_t Simulator::registerValue(std::uint16_t number) const {
    std::lock_guard lock(impl_->mutex);
    impl_->map.update(Clock::now());
    return impl_->map.get(number);
}

void Simulator::setRegister(std::uint16_t number, std::uint16_t value) {
    std::lock_guard lock(impl_->mutex);
    impl_->map.pin(number, value);
}

void Simulator::setTypeCode(int code) {
    std::lock_guard lock(impl_->mutex);
    impl_->map.layOut(code);
    impl_->listenAtOwnLine();
}

void Simulator::setDrift(bool on) {
    std::lock_guard lock(impl_->mutex);
    impl_->map.update(Clock::now());
    impl_->map.setDrift(on);
}

std::size_t Simulator::requestCount() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->requests;
}

std::vector<std::uint8_t> Simulator::lastRequest() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->lastRequest;
}

std::vector<std::vector<std::uint8_t>> Simulator::requests() const {
    std::lock_guard lock(impl_->mutex);
    std::vector<std::vector<std::uint8_t>> frames;
    frames.reserve(impl_->history.size());
    for (const TimedRequest& r : impl_->history) frames.push_back(r.frame);
    return frames;
}

std::vector<TimedRequest> Simulator::timedRequests() const {
    std::lock_guard lock(impl_->mutex);
    return {impl_->history.begin(), impl_->history.end()};
}

std::uint8_t Simulator::moduleAddress() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->map.slaveAddress();
}

long Simulator::lineSpeed() const {
    return impl_->speed;
}

}  // namespace kvel::sim
