#pragma once
#include <atomic>
#include <functional>
#include <map>
#include <mutex>

namespace kvel {

// The program is closing: the one flag that the link thread, the module link's exchange and the
// line's pauses read. Setting it wakes whoever waits on the line at once (the port's wait for a
// reply, a pause between transactions), so the exchange under way ends with its transaction.
// Cleared again for the last words on the line (a command pulse set back to 0), which then run
// with their full pauses. From any thread.
class ClosingFlag {
  public:
    // Told of each change, on the thread that made it; it must not set or clear the flag.
    using Listener = std::function<void(bool closing)>;

    ClosingFlag() = default;
    ClosingFlag(const ClosingFlag&) = delete;
    ClosingFlag& operator=(const ClosingFlag&) = delete;

    void set() { change(true); }
    void clear() { change(false); }
    bool isSet() const { return set_.load(); }

    // A thread that waits on a condition of its own wakes through its listener. Returns the
    // number to stop listening with; a listener is not called after stopListening returns.
    int listen(Listener listener);
    void stopListening(int id);

  private:
    void change(bool on);

    std::atomic<bool> set_ = false;
    std::mutex mutex_;  // the listeners, and one change at a time
    std::map<int, Listener> listeners_;
    int nextId_ = 0;
};

}  // namespace kvel
