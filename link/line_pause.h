#pragma once
#include <functional>

namespace kvel {

// Every fixed pause of the link (between a request and its reply, after a write) goes
// through here. By default it sleeps; the program may install a hook that keeps its windows
// repainting while it waits. The hook must take the full time and start no transaction.
using PauseHook = std::function<void(int ms)>;

void SetPauseHook(PauseHook hook);
void LinePause(int ms);
// True while a hook is installed: a pause then has to go through LinePause to keep it.
bool LinePauseHooked();

}  // namespace kvel
