#include "windows/job_queue.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>

namespace kvel {

struct JobQueue::Running {
    Id id = 0;
    std::atomic<bool> cancel{false};
    // Set last by the thread; `apply` is the queue's once it is seen set.
    std::atomic<bool> done{false};
    Apply apply;
};

JobQueue::JobQueue(QObject* parent) : QObject(parent) {
    poll_.setInterval(20);
    connect(&poll_, &QTimer::timeout, this, &JobQueue::takeResult);
}

JobQueue::~JobQueue() {
    stop();
}

JobQueue::Id JobQueue::run(Work work) {
    const Id id = ++lastId_;
    waiting_.emplace_back(id, std::move(work));
    if (!running_) startNext();
    return id;
}

void JobQueue::cancel(Id id) {
    if (running_ && running_->id == id) running_->cancel = true;
    std::erase_if(waiting_, [id](const auto& job) { return job.first == id; });
}

bool JobQueue::pending(Id id) const {
    return (running_ && running_->id == id) ||
           std::any_of(waiting_.begin(), waiting_.end(),
                       [id](const auto& job) { return job.first == id; });
}

void JobQueue::stop() {
    waiting_.clear();
    if (running_) running_->cancel = true;
    if (thread_.joinable()) thread_.join();
    running_.reset();
    poll_.stop();
}

void JobQueue::startNext() {
    if (waiting_.empty()) {
        poll_.stop();
        emit finished();
        return;
    }
    auto running = std::make_shared<Running>();
    running->id = waiting_.front().first;
    running_ = running;
    thread_ = std::thread([work = std::move(waiting_.front().second), running] {
        // Below the GUI thread and the polls: reading a long log uses both cores, and its
        // threads (which inherit this) give way to the live window.
        ::setpriority(PRIO_PROCESS, id_t(::gettid()), 10);
        running->apply = work(running->cancel);
        running->done.store(true, std::memory_order_release);
    });
    waiting_.pop_front();
    poll_.start();
}

void JobQueue::takeResult() {
    if (!running_ || !running_->done.load(std::memory_order_acquire)) return;
    thread_.join();
    const std::shared_ptr<Running> running = std::exchange(running_, nullptr);
    if (running->apply && !running->cancel.load()) running->apply();
    // The result may have stopped the queue (its owner closing).
    if (!running_) startNext();
}

}  // namespace kvel
