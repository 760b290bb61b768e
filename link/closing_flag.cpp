#include "link/closing_flag.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>
#include <utility>

namespace kvel {

ClosingFlag::ClosingFlag() : wakeFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

ClosingFlag::~ClosingFlag() {
    if (wakeFd_ >= 0) ::close(wakeFd_);
}

void ClosingFlag::change(bool on) {
    {
        const std::lock_guard lock(mutex_);
        // Set before the waiters wake: a woken thread sees it.
        if (set_.exchange(on) == on) return;
        if (wakeFd_ >= 0) {
            std::uint64_t count = 1;
            // Readable from the set until the clear: a wait that starts in between ends at once.
            (void)!(on ? ::write(wakeFd_, &count, sizeof count)
                       : ::read(wakeFd_, &count, sizeof count));
        }
    }
    changed_.notify_all();
}

void ClosingFlag::pause(int ms) {
    if (ms <= 0) return;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock lock(mutex_);
    while (!set_) {
        // Woken by a step armed meanwhile too: its time is looked at again.
        const bool armedFirst = armed_ && armed_->due < end;
        changed_.wait_until(lock, armedFirst ? armed_->due : end);
        if (set_) return;
        if (armed_ && armed_->due <= Clock::now()) {
            // Between the running exchange's transactions: the due step goes on the line now.
            Step step = std::move(armed_->step);
            armed_.reset();
            lock.unlock();
            step();
            lock.lock();
        } else if (Clock::now() >= end) {
            return;
        }
    }
}

void ClosingFlag::arm(Clock::time_point due, Step step) {
    {
        const std::lock_guard lock(mutex_);
        armed_ = Armed{due, std::move(step)};
    }
    changed_.notify_all();  // a pause under way looks at it
}

void ClosingFlag::disarm() {
    const std::lock_guard lock(mutex_);
    armed_.reset();
}

std::optional<ClosingFlag::Clock::time_point> ClosingFlag::due() const {
    const std::lock_guard lock(mutex_);
    if (!armed_) return std::nullopt;
    return armed_->due;
}

ClosingFlag::Step ClosingFlag::takeDue(Clock::time_point now) {
    const std::lock_guard lock(mutex_);
    if (!armed_ || armed_->due > now) return {};
    Step step = std::move(armed_->step);
    armed_.reset();
    return step;
}

}  // namespace kvel
