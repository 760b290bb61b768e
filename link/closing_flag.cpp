#include "link/closing_flag.h"

#include <utility>

namespace kvel {

int ClosingFlag::listen(Listener listener) {
    const std::lock_guard lock(mutex_);
    const int id = nextId_++;
    listeners_.emplace(id, std::move(listener));
    return id;
}

void ClosingFlag::stopListening(int id) {
    const std::lock_guard lock(mutex_);
    listeners_.erase(id);
}

void ClosingFlag::change(bool on) {
    const std::lock_guard lock(mutex_);
    // Set before the listeners wake their threads: a woken thread sees it.
    if (set_.exchange(on) == on) return;
    for (const auto& [id, listener] : listeners_) listener(on);
}

}  // namespace kvel
