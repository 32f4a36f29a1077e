// How much of a large body's reservation is committed while it fills, read back from the
// kernel's page residency (mincore): a bounded distance ahead of the writer (faulted in by a
// helper thread, so it is waited for), never the whole promise.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "http/receive_buffer.h"

namespace corvane {
namespace {

constexpr size_t kMiB = 1024 * 1024;

size_t ResidentBytes(const char* data, size_t size) {
  const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
  const uintptr_t last = (reinterpret_cast<uintptr_t>(data) + size) & ~(page - 1);
  std::vector<unsigned char> resident((last - first) / page);
  EXPECT_EQ(mincore(reinterpret_cast<void*>(first), last - first, resident.data()), 0);
  size_t count = 0;
  for (unsigned char r : resident) count += r & 1;
  return count * page;
}

// Kernels before 5.14 refuse to fault pages in ahead; the buffer then fills as any other.
bool KernelPrefaults() {
  constexpr size_t kSize = 1 << 16;
  void* probe = mmap(nullptr, kSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  const bool supported = madvise(probe, kSize, 23 /* MADV_POPULATE_WRITE */) == 0;
  munmap(probe, kSize);
  return supported;
}

// The residency once the helper has had time to reach `atLeast` (or to give up).
size_t SettledResidentBytes(const char* data, size_t size, size_t atLeast) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (ResidentBytes(data, size) < atLeast && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // room to overshoot, if it would
  return ResidentBytes(data, size);
}

std::string Pattern(size_t size, size_t offset) {
  std::string out(size, '\0');
  for (size_t i = 0; i < size; ++i) out[i] = static_cast<char>((offset + i) % 251);
  return out;
}

TEST(ReceiveBufferMemory, AReservationIsCommittedABoundedDistanceAheadOfTheBody) {
  inner::CReceiveBuffer body;
  body.Lock();
  body.Reserve(256 * kMiB);
  ASSERT_GE(body.Capacity(), 256 * kMiB);
  const char* storage = body.Data();
  const size_t capacity = body.Capacity();
  const bool prefaults = KernelPrefaults();

  ASSERT_TRUE(body.Append(Pattern(kMiB, 0).data(), kMiB));
  // Written 1 MiB; the helper keeps 96 MiB ahead, in slices of 4 MiB on huge pages.
  size_t resident = SettledResidentBytes(storage, capacity, 96 * kMiB);
  EXPECT_LE(resident, 106 * kMiB) << "more was committed than the distance ahead";
  if (prefaults) {
    EXPECT_GE(resident, 96 * kMiB) << "the storage ahead was not faulted in";
  }

  for (size_t offset = kMiB; offset < 40 * kMiB; offset += kMiB) {
    ASSERT_TRUE(body.Append(Pattern(kMiB, offset).data(), kMiB));
  }
  EXPECT_EQ(body.Data(), storage);  // filled in place
  resident = SettledResidentBytes(storage, capacity, 136 * kMiB);
  EXPECT_LE(resident, 145 * kMiB) << "more was committed than the distance ahead";
  if (prefaults) {
    EXPECT_GE(resident, 136 * kMiB) << "the front did not follow the writer";
  }

  const std::string taken = body.Take();
  body.Unlock();
  ASSERT_EQ(taken.size(), 40 * kMiB);
  EXPECT_EQ(taken, Pattern(40 * kMiB, 0));
}

// The helper must leave storage that is taken, outgrown or given up while it works on it
// (AddressSanitizer watches the frees).
TEST(ReceiveBufferMemory, StorageCanGoWhileItIsBeingFaultedIn) {
  for (int round = 0; round < 20; ++round) {
    inner::CReceiveBuffer body;
    body.Lock();
    body.Reserve(64 * kMiB);
    if (round % 3 == 1) {
      const std::string big = Pattern(65 * kMiB, 0);
      ASSERT_TRUE(body.Append(big.data(), big.size()));  // past the reservation: reallocates
      EXPECT_EQ(body.Take(), big);
    } else if (round % 3 == 2) {
      body.Reserve(48 * kMiB);  // a second reservation on the same buffer
      ASSERT_TRUE(body.Append("x", 1));
      EXPECT_EQ(body.Take(), "x");
    }
    body.Unlock();
  }  // round % 3 == 0: destroyed at once
}

}  // namespace
}  // namespace corvane
