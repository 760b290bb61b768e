#include "link/line_pause.h"

#include <chrono>
#include <thread>
#include <utility>

namespace kvel {
namespace {

// Each thread has its own: the link thread's pauses end early when the program closes.
PauseHook& storedHook() {
    thread_local PauseHook hook;
    return hook;
}

}  // namespace

void setPauseHook(PauseHook hook) {
    storedHook() = std::move(hook);
}

void linePause(int ms) {
    if (ms <= 0) return;
    if (storedHook()) {
        storedHook()(ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

}  // namespace kvel
