// Large body buffers on Linux: transparent huge pages for the page-aligned interior.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "http/memory_advice.h"

namespace corvane {

void AdviseLargeBuffer(void* data, size_t size) {
  constexpr size_t kWorthIt = 4 * 1024 * 1024;
  if (size < kWorthIt) return;
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
#ifdef MADV_HUGEPAGE
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#endif
}

}  // namespace corvane
