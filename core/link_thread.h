#pragma once
#include <QObject>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "core/mailbox.h"
#include "link/closing_flag.h"

namespace kvel {

// The one thread that serves the serial line. Work reaches it as jobs in one queue with one
// consumer, so transactions go on the wire in the order they were asked for, with the link's
// own pauses; the thread that made this object (the GUI thread) never waits for the line.
// What a job means for the windows comes back to that thread as a value: the job's result,
// handed to its continuation (a job's boxes are part of its result, shown by the GUI thread).
class LinkThread {
  public:
    using Step = std::function<void()>;
    // Jobs that may be dropped together while they wait: the cabinet window's refreshes are of
    // no use once it has closed.
    enum class Kind { Exchange, CabinetRefresh };

    // The running job's pauses wait on `closing` (ModuleLink::pause), and the scheduled job is
    // armed there; it outlives this object.
    explicit LinkThread(ClosingFlag& closing);
    ~LinkThread();
    LinkThread(const LinkThread&) = delete;
    LinkThread& operator=(const LinkThread&) = delete;

    // Queues `work` behind every job queued before it. After it has run, this object's thread
    // carries out `done`, in the order of the jobs.
    void post(Step work, Step done = {}, Kind kind = Kind::Exchange);
    // Queues `work`, and hands the value it returns to `apply` on this object's thread, in
    // the order of the jobs: a poll returns what it found, the window shows it.
    template <class Result>
    void post(std::function<Result()> work, std::function<void(Result&)> apply,
              Kind kind = Kind::Exchange) {
        auto slot = std::make_shared<std::optional<Result>>();
        post([slot, work = std::move(work)] { slot->emplace(work()); },
             [slot, apply = std::move(apply)] {
                 if (*slot && apply) apply(**slot);
             },
             kind);
    }
    // Queues `work` and waits for the value it returns, for callers without an event loop
    // (kvelctl's one-shot commands): the line is still served by this thread alone, with its
    // pauses. Nothing when the job was dropped (the program ends). Never from a job of this
    // thread.
    template <class Result>
    std::optional<Result> runAndWait(std::function<Result()> work) {
        auto promise = std::make_shared<std::promise<Result>>();
        std::future<Result> result = promise->get_future();
        // A job dropped unrun takes the last reference to the promise: the wait ends.
        post(
            [promise = std::move(promise), work = std::move(work)] { promise->set_value(work()); });
        try {
            return result.get();
        } catch (const std::future_error&) {
            return std::nullopt;
        }
    }
    // Drops the waiting jobs of a kind; the one running goes on.
    void dropQueued(Kind kind);
    // A job that runs `ms` from now, ahead of every queued job once it is due, so that how
    // long it waits does not depend on what was asked for meanwhile (the end of a command
    // pulse). One at a time: scheduling replaces the one waiting. From any thread, a job of
    // this thread included; a job of this thread that cancels it is sure it will not run.
    // A job due inside another job's pause (between its transactions) runs there, so that it
    // waits at most for one transaction. `done` follows on this object's thread, as a job's.
    void schedule(int ms, Step work, Step done = {});
    void scheduleAt(std::chrono::steady_clock::time_point due, Step work, Step done = {});
    void cancelScheduled();
    bool scheduled() const;

    // Program end: waiting jobs are dropped, the closing flag is set so that the running job
    // ends with the transaction under way, its pauses cut short; then the flag is cleared and
    // `last` (ending a command pulse, closing the port) runs with the full pauses. Returns when
    // `last` is done; results not yet applied are dropped.
    void finish(Step last);

  private:
    struct Job {
        Step work;
        Step done;
        Kind kind;
        bool last = false;  // the thread ends after it
    };
    void run();
    // The oldest result, on the GUI thread.
    void applyNext();

    ClosingFlag& closing_;
    // Continuations for the GUI thread, oldest first; closed at the program's end.
    Mailbox<Step> results_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> queue_;
    bool running_ = false;
    // From the program's end on no job is taken any more; the closing flag, cleared again for
    // the last job, cannot say so.
    bool refusing_ = false;
    std::thread thread_;
};

}  // namespace kvel
