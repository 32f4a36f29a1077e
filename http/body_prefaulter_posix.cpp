// CBodyPrefaulter on Linux: MADV_HUGEPAGE on the storage, and a helper thread that faults it in
// with MADV_POPULATE_WRITE (Linux 5.14; on older kernels the helper ends at its first refusal
// and pages fault on first write as before). Faulting in on another thread overlaps the
// kernel's page clearing with the transfer, which is most of what filling a fresh body costs.
#include "http/body_prefaulter.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <limits>
#include <mutex>
#include <system_error>
#include <thread>

#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif

namespace corvane {
namespace inner {

namespace {

// Faulted in per call: two huge pages, so that Stop never waits long.
constexpr size_t kSliceBytes = 4 * 1024 * 1024;
// How far the faulted-in front may run ahead of the writer. Measured on a 128 MiB body from
// loopback: 32 MiB ahead gained little (the writer caught up with the helper whenever the
// kernel was slow to supply pages), 96 MiB most of what faulting in everything at once gains.
constexpr size_t kAheadBytes = 96 * 1024 * 1024;
constexpr size_t kNever = std::numeric_limits<size_t>::max();

// The whole pages inside [data, data + size); false when there are none.
bool InteriorPages(char* data, size_t size, char** begin, size_t* length) {
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
  const uintptr_t last = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
  if (last <= first) return false;
  *begin = reinterpret_cast<char*>(first);
  *length = last - first;
  return true;
}

}  // namespace

struct CBodyPrefaulter::Impl {
  char* begin = nullptr;
  size_t length = 0;
  std::mutex lock;
  std::condition_variable wake;
  bool stopping = false;           // under lock
  std::atomic<size_t> written{0};  // bytes of [begin, begin + length) the writer has filled
  // The writer wakes the helper once `written` reaches this; kNever while the helper works.
  // Both atomics are sequentially consistent: each side stores its own, then reads the other's.
  std::atomic<size_t> wakeAt{kNever};
  std::thread helper;

  void Run() {
    size_t front = 0;
    while (front < length) {
      {
        std::unique_lock<std::mutex> hold(lock);
        wakeAt.store(front > kAheadBytes ? front - kAheadBytes : 0);
        wake.wait(hold, [&] { return stopping || written.load() + kAheadBytes > front; });
        wakeAt.store(kNever);
        if (stopping) return;
      }
      const size_t slice = std::min(kSliceBytes, length - front);
      if (madvise(begin + front, slice, MADV_POPULATE_WRITE) != 0) return;
      front += slice;
    }
  }
};

CBodyPrefaulter::CBodyPrefaulter() : m_impl(new Impl) {}
CBodyPrefaulter::~CBodyPrefaulter() { Stop(); }

void CBodyPrefaulter::Start(char* data, size_t capacity) {
  Stop();
  Impl& impl = *m_impl;
  if (!InteriorPages(data, capacity, &impl.begin, &impl.length)) return;
#ifdef MADV_HUGEPAGE
  madvise(impl.begin, impl.length, MADV_HUGEPAGE);
#endif
  impl.stopping = false;
  impl.written.store(0);
  impl.wakeAt.store(kNever);
  try {
    impl.helper = std::thread([&impl] { impl.Run(); });
  } catch (const std::system_error&) {
    // No helper: pages fault in as they are written.
  }
}

void CBodyPrefaulter::Written(size_t end) {
  Impl& impl = *m_impl;
  if (!impl.helper.joinable()) return;
  // Offsets are from the storage's start, the helper's from the first whole page: the
  // difference is under a page, far inside the distance ahead.
  impl.written.store(end);
  if (end >= impl.wakeAt.load()) {
    std::lock_guard<std::mutex> hold(impl.lock);
    impl.wake.notify_one();
  }
}

void CBodyPrefaulter::Stop() {
  Impl& impl = *m_impl;
  if (!impl.helper.joinable()) return;
  {
    std::lock_guard<std::mutex> hold(impl.lock);
    impl.stopping = true;
  }
  impl.wake.notify_one();
  impl.helper.join();
}

}  // namespace inner
}  // namespace corvane
