#include "core/link_thread.h"

#include <chrono>

#include "link/line_pause.h"

namespace kvel {

LinkThread::LinkThread() {
    thread_ = std::thread([this] { run(); });
}

LinkThread::~LinkThread() {
    finish({});
}

void LinkThread::post(Step work, Step done, Kind kind) {
    {
        const std::lock_guard lock(mutex_);
        if (stopping_) return;
        queue_.push_back(Job{std::move(work), std::move(done), kind});
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
        if (stopping_) return;
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
        std::unique_lock lock(mutex_);
        if (!thread_.joinable()) return;
        queue_.clear();
        timed_.reset();
        results_.clear();
        discardResults_ = true;
        interrupted_ = true;
        wake_.notify_all();
        idle_.notify_all();  // wakes a pause of the running job
        idle_.wait(lock, [this] { return !running_; });
        interrupted_ = false;
        timed_.reset();  // the running job may have scheduled one: `last` ends the pulse now
        if (last) queue_.push_back(Job{std::move(last), {}, Kind::Exchange});
        stopping_ = true;
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
                    job = Job{std::move(timed_->work), std::move(timed_->done), Kind::Exchange};
                    timed_.reset();
                    taken = true;
                } else if (!queue_.empty()) {
                    job = std::move(queue_.front());
                    queue_.pop_front();
                    taken = true;
                } else if (stopping_) {
                    break;
                } else if (timed_) {
                    wake_.wait_until(lock, timed_->due);
                } else {
                    wake_.wait(lock);
                }
            }
            if (!taken) break;  // stopping, and nothing left
            running_ = true;
        }
        if (job.work) job.work();
        {
            const std::lock_guard lock(mutex_);
            running_ = false;
            deliver(std::move(job.done));
        }
        idle_.notify_all();
    }
}

void LinkThread::pause(int ms) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    std::unique_lock lock(mutex_);
    while (!interrupted_) {
        const bool timedFirst = timed_ && timed_->due < end;
        const Clock::time_point wake = timedFirst ? timed_->due : end;
        if (idle_.wait_until(lock, wake, [this] { return interrupted_; })) return;
        if (timed_ && timed_->due <= Clock::now()) {
            // Between the running job's transactions: the due job goes on the line now.
            Timed timed = std::move(*timed_);
            timed_.reset();
            lock.unlock();
            timed.work();
            lock.lock();
            // Its result goes back before the running job's.
            deliver(std::move(timed.done));
        } else if (Clock::now() >= end) {
            return;
        }
    }
}

void LinkThread::deliver(Step done) {
    if (discardResults_ || !done) return;
    results_.push_back(std::move(done));
    QMetaObject::invokeMethod(
        &receiver_, [this] { applyNext(); }, Qt::QueuedConnection);
}

void LinkThread::applyNext() {
    Step done;
    {
        const std::lock_guard lock(mutex_);
        if (results_.empty()) return;  // dropped at the program's end
        done = std::move(results_.front());
        results_.pop_front();
    }
    if (done) done();
}

}  // namespace kvel
