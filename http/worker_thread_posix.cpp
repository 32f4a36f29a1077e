// Worker threads on std::thread. A running thread cannot be ended from outside safely, so
// Terminate refuses; its handle then lets the thread go on alone (detached).
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "http/worker_thread.h"

namespace corvane {
namespace worker {

namespace {
struct ThreadState {
  std::mutex lock;
  std::condition_variable ended;
  bool done = false;
  std::thread thread;
};
using SharedState = std::shared_ptr<ThreadState>;

SharedState& StateOf(ThreadHandle handle) { return *static_cast<SharedState*>(handle); }

// One condition variable per thread: wait on each in turn against one deadline.
bool WaitOne(ThreadState& state, std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> hold(state.lock);
  return state.ended.wait_until(hold, deadline, [&] { return state.done; });
}
}  // namespace

ThreadHandle Start(void (*body)(void*), void* argument) {
  if (TakeRefusedStart()) return nullptr;
  auto state = std::make_shared<ThreadState>();
  try {
    state->thread = std::thread([state, body, argument] {
      body(argument);
      std::lock_guard<std::mutex> hold(state->lock);
      state->done = true;
      state->ended.notify_all();
    });
  } catch (const std::exception&) {
    return nullptr;
  }
  return new SharedState(std::move(state));
}

bool IsRunning(ThreadHandle thread) {
  if (thread == nullptr) return false;
  ThreadState& state = *StateOf(thread);
  std::lock_guard<std::mutex> hold(state.lock);
  return !state.done;
}

bool WaitAll(const ThreadHandle* threads, size_t count, uint32_t timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  bool all = true;
  for (size_t i = 0; i < count; ++i) {
    if (threads[i] != nullptr && !WaitOne(*StateOf(threads[i]), deadline)) all = false;
  }
  return all;
}

bool Terminate(ThreadHandle) { return false; }

void CloseHandle(ThreadHandle thread) {
  SharedState* handle = static_cast<SharedState*>(thread);
  ThreadState& state = **handle;
  bool done;
  {
    std::lock_guard<std::mutex> hold(state.lock);
    done = state.done;
  }
  if (state.thread.joinable()) {
    if (done) {
      state.thread.join();
    } else {
      state.thread.detach();
    }
  }
  delete handle;
}

}  // namespace worker
}  // namespace corvane
