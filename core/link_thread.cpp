#include "core/link_thread.h"

#include <chrono>
#include <utility>

namespace kvel {

LinkThread::LinkThread(ClosingFlag& closing)
    : closing_(closing), results_([this] { applyNext(); }) {
    thread_ = std::thread([this] { run(); });
}

LinkThread::~LinkThread() {
    finish({});
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
        // Run by the thread's loop, or by a pause of the running job (the flag wakes it).
        closing_.arm(due, [this, work = std::move(work), done = std::move(done)] {
            work();
            // Under the lock, as a job's end; a result of a pause goes back before the result
            // of the job that paused.
            const std::lock_guard lock(mutex_);
            if (done) results_.push(done);
        });
    }
    wake_.notify_one();
}

void LinkThread::cancelScheduled() {
    closing_.disarm();
}

bool LinkThread::scheduled() const {
    return closing_.due().has_value();
}

void LinkThread::finish(Step last) {
    {
        const std::lock_guard lock(mutex_);
        if (refusing_ || !thread_.joinable()) return;
        refusing_ = true;
        queue_.clear();
        closing_.disarm();
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
        closing_.disarm();  // the running job may have scheduled one: `last` ends the pulse now
        queue_.push_back(Job{std::move(last), {}, Kind::Exchange, true});
    }
    wake_.notify_all();
    thread_.join();
}

void LinkThread::run() {
    for (;;) {
        Job job;
        {
            std::unique_lock lock(mutex_);
            bool taken = false;
            while (!taken) {
                const std::optional<ClosingFlag::Clock::time_point> due = closing_.due();
                if (Step step = closing_.takeDue(ClosingFlag::Clock::now())) {
                    job = Job{std::move(step), {}, Kind::Exchange, false};
                    taken = true;
                } else if (!queue_.empty()) {
                    job = std::move(queue_.front());
                    queue_.pop_front();
                    taken = true;
                } else if (due) {
                    wake_.wait_until(lock, *due);
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

void LinkThread::applyNext() {
    // One result per turn of the event loop, as each came.
    if (std::optional<Step> done = results_.takeOne()) (*done)();
}

}  // namespace kvel
