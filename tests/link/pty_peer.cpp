#include "tests/link/pty_peer.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

#include "link/crc16.h"

namespace kvel::test {

std::vector<std::uint8_t> WithCrc(std::vector<std::uint8_t> frame) {
    appendCrc(frame);
    return frame;
}

PtyPeer::PtyPeer() {
    std::string error;
    if (!device_.openPty("", &error)) throw std::runtime_error("no pseudo-terminal: " + error);
    thread_ = std::thread([this] { serve(); });
}

PtyPeer::~PtyPeer() {
    stop_ = true;
    thread_.join();
}

void PtyPeer::Script(std::vector<std::vector<std::uint8_t>> replies, int delayMs) {
    std::lock_guard lock(mutex_);
    replies_ = std::move(replies);
    next_ = 0;
    delayMs_ = delayMs;
}

std::vector<std::vector<std::uint8_t>> PtyPeer::requests() {
    std::lock_guard lock(mutex_);
    return requests_;
}

void PtyPeer::Inject(const std::vector<std::uint8_t>& bytes) {
    [[maybe_unused]] const auto n = ::write(device_.masterFd(), bytes.data(), bytes.size());
}

void PtyPeer::serve() {
    std::vector<std::uint8_t> frame;
    while (!stop_) {
        pollfd p{device_.masterFd(), POLLIN, 0};
        if (::poll(&p, 1, 5) <= 0) {
            // 5 ms of quiet ends a request.
            if (frame.empty()) continue;
            std::vector<std::uint8_t> reply;
            int delay = 0;
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(frame);
                if (next_ < replies_.size()) reply = replies_[next_++];
                delay = delayMs_;
            }
            frame.clear();
            if (reply.empty()) continue;
            std::this_thread::sleep_for(std::chrono::milliseconds(delay));
            [[maybe_unused]] const auto n = ::write(device_.masterFd(), reply.data(), reply.size());
            continue;
        }
        std::uint8_t buffer[512];
        const ssize_t n = ::read(device_.masterFd(), buffer, sizeof buffer);
        if (n > 0) frame.insert(frame.end(), buffer, buffer + n);
    }
}

}  // namespace kvel::test
