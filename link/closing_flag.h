#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace kvel {

// The program is closing: the one flag that the link thread, the module link's exchange and the
// line's pauses read. Setting it wakes whoever waits on the line at once (the port's wait for a
// reply, a pause between transactions), so the exchange under way ends with its transaction.
// Cleared again for the last words on the line (a command pulse set back to 0), which then run
// with their full pauses. From any thread.
//
// The link's fixed pauses between transactions wait here, and so does the one step that must
// not wait for a whole exchange: armed by the link thread (the end of a command pulse), it runs
// inside the pause under way when it falls due, between that exchange's transactions.
class ClosingFlag {
  public:
    using Clock = std::chrono::steady_clock;
    using Step = std::function<void()>;

    ClosingFlag();
    ~ClosingFlag();
    ClosingFlag(const ClosingFlag&) = delete;
    ClosingFlag& operator=(const ClosingFlag&) = delete;

    void set() { change(true); }
    void clear() { change(false); }
    bool isSet() const { return set_.load(); }
    // Readable while the flag is set: the port sleeps on it beside the device. -1 when the
    // system gave none; the port's waits then run out in full.
    int wakeFd() const { return wakeFd_; }

    // Waits `ms`, or less: not at all while the flag is set, and up to the moment it is set.
    // The armed step runs in it, on the pausing thread, when it falls due. Only the thread
    // that arms steps pauses with a step armed (the link thread: every exchange runs there).
    void pause(int ms);

    // One step at a time: arming replaces the one armed. Disarmed, it does not run once
    // disarm() returns on the thread that runs steps.
    void arm(Clock::time_point due, Step step);
    void disarm();
    std::optional<Clock::time_point> due() const;
    // The armed step if it is due by `now`, disarmed; an empty step otherwise.
    Step takeDue(Clock::time_point now);

  private:
    struct Armed {
        Clock::time_point due;
        Step step;
    };
    void change(bool on);

    std::atomic<bool> set_ = false;
    int wakeFd_ = -1;  // an eventfd
    mutable std::mutex mutex_;
    std::condition_variable changed_;  // set, or a step armed
    std::optional<Armed> armed_;
};

}  // namespace kvel
