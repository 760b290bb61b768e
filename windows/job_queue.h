// Work on a log that may take seconds (reading it, statistics and CSV export, which read a long
// log's readings back from its file) runs here on a thread of its own, one job after another, so
// that the window, and the live polls of the program it belongs to, never wait for it.
#pragma once
#include <QObject>
#include <QTimer>
#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <thread>
#include <utility>

namespace kvel {

class JobQueue : public QObject {
    Q_OBJECT
  public:
    // What the owner does with a job's result, run on the owner's thread.
    using Apply = std::function<void()>;
    // The job itself, run on the queue's thread; it stops early once `cancel` is set.
    using Work = std::function<Apply(const std::atomic<bool>& cancel)>;

    explicit JobQueue(QObject* parent = nullptr);
    // Cancels the job under way and waits for it; the rest are dropped, no result is applied.
    ~JobQueue() override;
    JobQueue(const JobQueue&) = delete;
    JobQueue& operator=(const JobQueue&) = delete;

    using Id = std::uint64_t;
    // Runs `work` after the jobs before it; its result is applied when it is done.
    Id run(Work work);
    // Drops job `id` if it waits, or asks it to stop if it runs; its result is not applied.
    // The jobs after it run once it has stopped.
    void cancel(Id id);
    // True while job `id` waits or runs.
    bool pending(Id id) const;
    // As the destructor: nothing runs or is applied after it.
    void stop();
    bool idle() const { return !running_ && waiting_.empty(); }

  signals:
    // The last job's result was applied and nothing waits.
    void finished();

  private:
    struct Running;
    void startNext();
    void takeResult();

    std::deque<std::pair<Id, Work>> waiting_;
    Id lastId_ = 0;
    std::shared_ptr<Running> running_;
    std::thread thread_;
    // The thread never touches the queue: it marks its result done, which this timer sees.
    QTimer poll_;
};

}  // namespace kvel
