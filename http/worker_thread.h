// The engine's worker threads: CreateThread and friends on Windows (worker_thread_win.cpp),
// std::thread elsewhere (worker_thread_posix.cpp), and the batched shut-down wait both share.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "http/scoped_handle.h"

namespace corvane {
namespace worker {

using ThreadHandle = void*;

// The platform's limit of one wait (WaitForMultipleObjects: MAXIMUM_WAIT_OBJECTS).
constexpr size_t kMaxWaitBatch = 64;

// Null when the thread could not be started.
ThreadHandle Start(void (*body)(void* argument), void* argument);
// Test seam: the next `count` calls of Start start nothing and return null.
void RefuseNextStarts(int count);
// Used by Start: true (and one fewer left) while refused starts remain.
bool TakeRefusedStart();
// A zero-time wait: true while the thread runs.
bool IsRunning(ThreadHandle thread);
// Waits for all of at most kMaxWaitBatch threads, at most timeoutMs; true when all ended.
bool WaitAll(const ThreadHandle* threads, size_t count, uint32_t timeoutMs);
// Ends a thread that is still running; false when the platform cannot (the thread keeps
// running, so whatever it uses must stay alive).
bool Terminate(ThreadHandle thread);
void CloseHandle(ThreadHandle thread);

// Waits for all threads in batches of at most kMaxWaitBatch, all batches within one overall
// limit; returns the threads still running afterwards.
std::vector<ThreadHandle> WaitInBatches(const std::vector<ThreadHandle>& threads, uint32_t limitMs);

struct ThreadHandleTraits {
  using Handle = worker::ThreadHandle;
  static void Close(Handle handle) { worker::CloseHandle(handle); }
};
using CThreadHandle = ScopedHandle<ThreadHandleTraits>;

}  // namespace worker
}  // namespace corvane
