// The shut-down of a manager with requests still running: handles closed, at most 3000 ms of
// waiting (in batches when more than 64 threads live), then the stuck threads are terminated.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>

#include "http/tests/recording_manager.h"

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;
using testing_server::RunUntil;
using testing_server::Url;

long long MillisecondsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

TEST(HttpShutDown, ReturnsWithinTheWaitLimitDuringADownload) {
  auto* manager = new RecordingManager;
  HttpRequestOptions options;
  options.url = Url(L"/hold/30");
  const int32_t id = manager->StartRequest(options);
  // Headers in, body held back: the reader is now blocked in a read.
  ASSERT_TRUE(RunUntil([&] { return manager->headers.count(id) != 0; }));
  RunUntil([] { return false; }, 100);
  const Clock::time_point start = Clock::now();
  const HttpShutDownReport report = manager->ShutDown();
  const long long took = MillisecondsSince(start);
  std::printf("shut-down: %lld ms, %zu waited, %zu terminated\n", took, report.threadsWaitedFor,
              report.threadsTerminated);
  EXPECT_EQ(report.threadsWaitedFor, 1u);
  EXPECT_EQ(report.tasksAbandoned, 0u);
  EXPECT_LE(took, 4500);
  if (report.threadsTerminated == 1) {
    EXPECT_GE(took, 2900);  // the full wait came first
  } else {
    EXPECT_EQ(report.threadsTerminated, 0u);
    EXPECT_LT(took, 2900);  // closing the handle ended the read at once
  }
  EXPECT_EQ(manager->GetRunningCount() + manager->GetClosingCount(), 0u);
  delete manager;  // a second shut-down finds nothing to do
}

TEST(HttpShutDown, MoreThan64LiveReadersAreWaitedForNotTerminated) {
  auto* manager = new RecordingManager;
  constexpr size_t kRequests = 70;
  for (size_t i = 0; i < kRequests; ++i) {
    HttpRequestOptions options;
    options.url = Url(L"/drip/1/1200");
    manager->StartRequest(options);
  }
  // Wait until every reader runs (stage 0 handled), then shut down while they read.
  RunUntil([&] {
    for (int32_t id = 100; id < 100 + static_cast<int32_t>(kRequests); ++id) {
      const FCHttpRequest* task = manager->FindRunningRequest(id);
      if (task == nullptr || task->ReaderThread() == nullptr) return false;
    }
    return true;
  });
  const Clock::time_point start = Clock::now();
  const HttpShutDownReport report = manager->ShutDown();
  const long long took = MillisecondsSince(start);
  std::printf("shut-down of %zu: %lld ms, %zu waited, %zu terminated\n", kRequests, took,
              report.threadsWaitedFor, report.threadsTerminated);
  EXPECT_EQ(report.threadsWaitedFor, kRequests);
  EXPECT_EQ(report.threadsTerminated, 0u);
  EXPECT_EQ(report.tasksAbandoned, 0u);
  EXPECT_LT(took, 3000);
  delete manager;
}

}  // namespace
}  // namespace corvane
