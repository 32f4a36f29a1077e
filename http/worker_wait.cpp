// The shut-down wait in batches: one platform wait takes at most kMaxWaitBatch threads, so more
// threads are waited for batch by batch, every batch sharing what is left of the overall limit.
#include <chrono>

#include "http/worker_thread.h"

namespace corvane {
namespace worker {

std::vector<ThreadHandle> WaitInBatches(const std::vector<ThreadHandle>& threads, uint32_t limitMs) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(limitMs);
  for (size_t first = 0; first < threads.size(); first += kMaxWaitBatch) {
    const size_t count = threads.size() - first < kMaxWaitBatch ? threads.size() - first : kMaxWaitBatch;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    WaitAll(threads.data() + first, count, left > 0 ? static_cast<uint32_t>(left) : 0);
  }
  std::vector<ThreadHandle> stillRunning;
  for (ThreadHandle thread : threads) {
    if (IsRunning(thread)) stillRunning.push_back(thread);
  }
  return stillRunning;
}

}  // namespace worker
}  // namespace corvane
