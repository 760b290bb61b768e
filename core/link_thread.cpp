#include "core/link_thread.h"

#include <chrono>

#include "link/line_pause.h"

namespace kvel {

LinkThread::LinkThread(ClosingFlag& closing)
    : closing_(closing), results_([this] { applyNext(); }) {
    // A pause of the running job wakes when the flag is set. Taking the lock orders the wake
    // after the pause's look at the flag.
    closingListener_ = closing_.listen([this](bool on) {
        if (!on) return;
        { const std::lock_guard lock(mutex_); }
        idle_.notify_all();
    });
    thread_ = std::thread([this] { run(); });
}

LinkThread::~LinkThread() {
    finish({});
    closing_.stopListening(closingListener_);
}

void LinkThread::post(Step work, Step done, Kind kind) {
    {
        const std::lock_guard lock(mutex_);
        if (refusing_) return;
        queue_.push_back(Job{std::move(work), std::move(done), kind, false});
    }
    wake_.notify_one();
}

void LinkThread::dropQueued(Kind kind) {
    const std::lock_guard lock(mutex_);
    std::erase_if(queue_, [kind](const Job& job) { return job.kind == kind; });
    if (queue_.empty() && !running_) idle_.notify_all();
}

void LinkThread::schedule(int ms, Step work, Step done) {
    scheduleAt(std::chrono::steady_clock::now() + std::chrono::milliseconds(ms), std::move(work),
               std::move(done));
}

void LinkThread::scheduleAt(std::chrono::steady_clock::time_point due, Step work, Step done) {
    {
        const std::lock_guard lock(mutex_);
        if (refusing_) return;
        timed_ = Timed{due, std::move(work), std::move(done)};
    }
    wake_.notify_one();
    idle_.notify_all();  // a pause under way looks at it
}

void LinkThread::cancelScheduled() {
    const std::lock_guard lock(mutex_);
    timed_.reset();
}

bool LinkThread::scheduled() const {
    const std::lock_guard lock(mutex_);
    return timed_.has_value();
}

void LinkThread::finish(Step last) {
    {
        const std::lock_guard lock(mutex_);
        if (refusing_ || !thread_.joinable()) return;
        refusing_ = true;
        queue_.clear();
        timed_.reset();
    }
    results_.close();
    closing_.set();  // the running job ends with its transaction; its pause wakes
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return !running_; });
    }
    closing_.clear();
    {
        const std::lock_guard lock(mutex_);
        timed_.reset();  // the running job may have scheduled one: `last` ends the pulse now
        queue_.push_back(Job{std::move(last), {}, Kind::Exchange, true});
    }
    wake_.notify_all();
    thread_.join();
}

void LinkThread::run() {
    // The link's fixed pauses on this thread: cut short when the program ends.
    setPauseHook([this](int ms) { pause(ms); });
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            bool taken = false;
            while (!taken) {
                if (timed_ && std::chrono::steady_clock::now() >= timed_->due) {
                    job = Job{std::move(timed_->work), std::move(timed_->done), Kind::Exchange,
                              false};
                    timed_.reset();
                    taken = true;
                } else if (!queue_.empty()) {
                    job = std::move(queue_.front());
                    queue_.pop_front();
                    taken = true;
                } else if (timed_) {
                    wake_.wait_until(lock, timed_->due);
                } else {
                    wake_.wait(lock);
                }
            }
            running_ = true;
        }
        if (job.work) job.work();
        {
            const std::lock_guard lock(mutex_);
            running_ = false;
            // Under the lock, as the job's end: who waits for the thread to be idle finds it.
            if (job.done) results_.push(std::move(job.done));
        }
        idle_.notify_all();
        if (job.last) break;
    }
}

void LinkThread::pause(int ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock lock(mutex_);
    const auto closing = [this] { return closing_.isSet(); };
    while (!closing()) {
        const bool timedFirst = timed_ && timed_->due < end;
        const Clock::time_point wake = timedFirst ? timed_->due : end;
        if (idle_.wait_until(lock, wake, closing)) return;
        if (timed_ && timed_->due <= Clock::now()) {
            // Between the running job's transactions: the due job goes on the line now.
            Timed timed = std::move(*timed_);
            timed_.reset();
            lock.unlock();
            timed.work();
            lock.lock();
            // Its result goes back before the running job's.
            if (timed.done) results_.push(std::move(timed.done));
        } else if (Clock::now() >= end) {
            return;
        }
    }
}

void LinkThread::applyNext() {
    // One result per turn of the event loop, as each came.
    if (std::optional<Step> done = results_.takeOne()) (*done)();
}

}  // namespace kvel
