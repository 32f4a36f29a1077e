// The GLib main loop as the Linux edition uses it everywhere: a task posted onto it from any
// thread, and the loop run until a condition holds. One way each, so every part posts and waits
// alike.
#pragma once

#include <functional>

namespace corvane {

// Runs `task` from the main loop later (default priority), whichever thread posts it; never at
// once, even on the main thread.
void PostToMainLoop(std::function<void()> task);

// Runs the main loop until `done()` holds: asked before each turn, and not again once it held
// (it may take what it waits for). With `boundMs` >= 0 it also ends after that long: a bound on
// waiting for a partner that no longer answers, not a timing. True when `done()` held.
bool RunMainLoopUntil(const std::function<bool()>& done, int boundMs = -1);

}  // namespace corvane
