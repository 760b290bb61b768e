#pragma once
#include <functional>

namespace kvel {

// Every fixed pause of the link (between a request and its reply, after a write) goes
// through here. By default it sleeps; a thread may install a hook of its own (the link thread
// cuts its pauses short when the program closes). A hook starts no transaction.
using PauseHook = std::function<void(int ms)>;

void setPauseHook(PauseHook hook);
void linePause(int ms);

}  // namespace kvel
