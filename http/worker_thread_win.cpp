// Worker threads on Win32: CreateThread, zero-time waits, WaitForMultipleObjects, TerminateThread.
#include <windows.h>

#include "http/worker_thread.h"

namespace corvane {
namespace worker {

namespace {
struct StartBlock {
  void (*body)(void*);
  void* argument;
};

DWORD WINAPI ThreadMain(LPVOID parameter) {
  StartBlock block = *static_cast<StartBlock*>(parameter);
  delete static_cast<StartBlock*>(parameter);
  block.body(block.argument);
  return 0;
}
}  // namespace

ThreadHandle Start(void (*body)(void*), void* argument) {
  if (TakeRefusedStart()) return nullptr;
  auto* block = new StartBlock{body, argument};
  HANDLE thread = CreateThread(nullptr, 0, ThreadMain, block, 0, nullptr);
  if (thread == nullptr) delete block;
  return thread;
}

bool IsRunning(ThreadHandle thread) {
  return thread != nullptr && WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
}

bool WaitAll(const ThreadHandle* threads, size_t count, uint32_t timeoutMs) {
  if (count == 0) return true;
  const DWORD result = WaitForMultipleObjects(static_cast<DWORD>(count), const_cast<HANDLE*>(threads),
                                              TRUE, timeoutMs);
  return result < WAIT_OBJECT_0 + count;
}

bool Terminate(ThreadHandle thread) {
  if (!TerminateThread(thread, 0)) return false;
  // TerminateThread only starts the end; the thread is gone once its handle is signalled.
  return WaitForSingleObject(thread, 1000) == WAIT_OBJECT_0;
}

void CloseHandle(ThreadHandle thread) { ::CloseHandle(thread); }

}  // namespace worker
}  // namespace corvane
