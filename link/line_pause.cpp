#include "link/line_pause.h"

#include <chrono>
#include <thread>
#include <utility>

namespace kvel {
namespace {

PauseHook& Hook() {
    static PauseHook hook;
    return hook;
}

}  // namespace

void SetPauseHook(PauseHook hook) {
    Hook() = std::move(hook);
}

bool LinePauseHooked() {
    return static_cast<bool>(Hook());
}

void LinePause(int ms) {
    if (ms <= 0) return;
    if (Hook()) {
        Hook()(ms);
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
}

}  // namespace kvel
