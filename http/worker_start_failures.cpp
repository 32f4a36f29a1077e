// The test seam of worker::Start: a count of starts to refuse, as a system out of threads would.
#include <atomic>

#include "http/worker_thread.h"

namespace corvane {
namespace worker {

namespace {
std::atomic<int> g_startsToRefuse{0};
}  // namespace

void RefuseNextStarts(int count) { g_startsToRefuse.store(count); }

bool TakeRefusedStart() {
  int left = g_startsToRefuse.load();
  while (left > 0) {
    if (g_startsToRefuse.compare_exchange_weak(left, left - 1)) return true;
  }
  return false;
}

}  // namespace worker
}  // namespace corvane
