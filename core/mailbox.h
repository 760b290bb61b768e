#pragma once
#include <QObject>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

namespace kvel {

// Hands items from any thread to the thread that made the box (the GUI thread), in the order
// they were pushed. The first item into an empty box queues one call of `arrived` on that
// thread, which takes what has come: all of it at once, or one item per turn of its event loop.
template <class T>
class Mailbox {
  public:
    explicit Mailbox(std::function<void()> arrived) : arrived_(std::move(arrived)) {}
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    // False once the box is closed: the item is dropped.
    bool push(T item) {
        {
            const std::lock_guard lock(mutex_);
            if (closed_) return false;
            items_.push_back(std::move(item));
            if (items_.size() > 1) return true;  // a call is on its way
        }
        wake();
        return true;
    }
    std::vector<T> takeAll() {
        const std::lock_guard lock(mutex_);
        std::vector<T> taken(std::make_move_iterator(items_.begin()),
                             std::make_move_iterator(items_.end()));
        items_.clear();
        return taken;
    }
    // The oldest item; what stays behind gets a call of its own, so an item handled inside a
    // nested event loop (a message box) does not hold back those after it.
    std::optional<T> takeOne() {
        std::optional<T> taken;
        {
            const std::lock_guard lock(mutex_);
            if (items_.empty()) return taken;
            taken.emplace(std::move(items_.front()));
            items_.pop_front();
            if (items_.empty()) return taken;
        }
        wake();
        return taken;
    }
    // Drops what waits; from now on nothing is taken in. From any thread.
    void close() {
        const std::lock_guard lock(mutex_);
        closed_ = true;
        items_.clear();
    }

  private:
    void wake() {
        QMetaObject::invokeMethod(
            &receiver_, [this] { arrived_(); }, Qt::QueuedConnection);
    }

    std::function<void()> arrived_;
    QObject receiver_;  // lives on the taking thread; the calls on their way die with it
    std::mutex mutex_;
    std::deque<T> items_;
    bool closed_ = false;
};

}  // namespace kvel
