// The engine's own rules, without a server: verb texts, header text, ports, header numbers,
// the completeness rule, the manager's options, the receive buffer, URL splitting, and the
// batched wait over real threads.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "http/http_manager.h"
#include "http/receive_buffer.h"
#include "http/transport.h"
#include "http/worker_thread.h"

namespace corvane {
namespace {

TEST(HttpRules, VerbTexts) {
  EXPECT_STREQ(VerbText(0), L"GET");
  EXPECT_STREQ(VerbText(1), L"POST");
  EXPECT_STREQ(VerbText(2), L"POST");
  EXPECT_STREQ(VerbText(3), L"DELETE");
  EXPECT_STREQ(VerbText(4), L"GET");
  EXPECT_STREQ(VerbText(-1), L"GET");
}

TEST(HttpRules, RangeLineOnlyForANonZeroStart) {
  HttpRequestOptions options;
  options.extraHeaders = L"Accept: */*\r\n";
  EXPECT_EQ(BuildRequestHeaderText(options), L"Accept: */*\r\n");
  options.rangeStart = 1234;
  EXPECT_EQ(BuildRequestHeaderText(options), L"Accept: */*\r\nRange: bytes=1234-\r\n");
  options.rangeStart = -5;
  EXPECT_EQ(BuildRequestHeaderText(options), L"Accept: */*\r\nRange: bytes=-5-\r\n");
}

TEST(HttpRules, DefaultsOfARequest) {
  HttpRequestOptions options;
  EXPECT_EQ(options.verb, 0);
  EXPECT_EQ(options.openFlags, 0x84000000u);
  EXPECT_EQ(options.proxyPort, 80);
  EXPECT_EQ(options.timeLimitMs, 0);
  EXPECT_EQ(options.maxBodyBytes, 256 * 1024 * 1024);
}

TEST(HttpRules, PortWrittenInTheUrlIsHonoured) {
  EXPECT_EQ(ConnectPort(kSchemeHttp, 8080), 8080);
  EXPECT_EQ(ConnectPort(kSchemeHttps, 8443), 8443);
  EXPECT_EQ(ConnectPort(kSchemeHttp, 0), 80);
  EXPECT_EQ(ConnectPort(kSchemeHttps, 0), 443);
  EXPECT_EQ(ConnectPort(0, 0), 80);
  EXPECT_EQ(ConnectPort(kSchemeHttp, 70000), 80);
}

TEST(HttpRules, HeaderNumbers) {
  EXPECT_EQ(HeaderNumber(L"200"), 200);
  EXPECT_EQ(HeaderNumber(L"134217728"), 134217728);
  EXPECT_EQ(HeaderNumber(L""), 0);
  EXPECT_EQ(HeaderNumber(L"abc"), 0);
  EXPECT_EQ(HeaderNumber(L"99999999999"), INT32_MAX);
}

TEST(HttpRules, CompletenessRule) {
  HttpResponseInfo response;
  response.statusCode = 200;
  response.contentLength = 0;
  response.readCompleted = 1;
  EXPECT_TRUE(IsResponseComplete(response, 0));
  EXPECT_TRUE(IsResponseComplete(response, 5000));
  response.readCompleted = 0;
  EXPECT_FALSE(IsResponseComplete(response, 5000));
  response.contentLength = 5000;
  EXPECT_TRUE(IsResponseComplete(response, 5000));  // the length decides, not the flag
  EXPECT_FALSE(IsResponseComplete(response, 4999));
  EXPECT_FALSE(IsResponseComplete(response, 5001));
  response.statusCode = 206;
  EXPECT_FALSE(IsResponseComplete(response, 5000));
  response.statusCode = 0;
  EXPECT_FALSE(IsResponseComplete(response, 5000));
}

TEST(HttpRules, ManagerOptionsCarryExactlyTheAcceptLine) {
  const HttpRequestOptions options = MakeManagerOptions(L"http://h/x");
  EXPECT_EQ(options.extraHeaders, L"Accept: */*\r\n");
  EXPECT_EQ(options.url, L"http://h/x");
  EXPECT_EQ(options.verb, 0);
  EXPECT_EQ(options.rangeStart, 0);
  EXPECT_EQ(options.openFlags, kDefaultOpenFlags);
  EXPECT_EQ(options.timeLimitMs, 0);
  EXPECT_TRUE(options.proxyHost.empty());
  EXPECT_TRUE(options.body.empty());
}

TEST(HttpRules, ReceiveBufferAppendsAndTakesWithoutCopying) {
  inner::CReceiveBuffer buffer;
  buffer.Lock();
  buffer.Reserve(1 << 20);
  const size_t reserved = buffer.Capacity();
  EXPECT_GE(reserved, 1u << 20);
  EXPECT_TRUE(buffer.Append("abc", 3));
  EXPECT_TRUE(buffer.Append("de", 2));
  EXPECT_EQ(buffer.Capacity(), reserved);
  const std::string taken = buffer.Take();
  EXPECT_EQ(taken, "abcde");
  EXPECT_EQ(taken.capacity(), reserved);  // moved out, not copied
  EXPECT_EQ(buffer.Size(), 0u);
  EXPECT_TRUE(buffer.Take().empty());
  buffer.Unlock();
}

// A server may send more than its Content-Length promised: the body then leaves its
// reservation and must still arrive whole, and a second reservation starts afresh.
TEST(HttpRules, ReceiveBufferOutgrowsALargeReservationIntact) {
  inner::CReceiveBuffer buffer;
  buffer.Lock();
  for (int round = 0; round < 2; ++round) {
    buffer.Reserve(5 * 1024 * 1024);
    std::string expected;
    std::string chunk(8192, '\0');
    for (int i = 0; i < 1000; ++i) {
      for (size_t j = 0; j < chunk.size(); ++j) chunk[j] = static_cast<char>((i * 31 + j) % 251);
      ASSERT_TRUE(buffer.Append(chunk.data(), chunk.size()));
      expected += chunk;
    }
    EXPECT_GT(buffer.Size(), 5u * 1024 * 1024);
    EXPECT_EQ(buffer.Take(), expected);
  }
  buffer.Unlock();
}

TEST(HttpTransport, UrlsAreSplitWithTheirPorts) {
  transport::CrackedUrl plain = transport::CrackUrl(L"http://example.test/a/b?c=1&d=2");
  ASSERT_TRUE(plain.ok);
  EXPECT_EQ(plain.scheme, kSchemeHttp);
  EXPECT_EQ(plain.host, L"example.test");
  EXPECT_EQ(plain.path, L"/a/b?c=1&d=2");
  EXPECT_EQ(ConnectPort(plain.scheme, plain.port), 80);

  transport::CrackedUrl secure = transport::CrackUrl(L"https://example.test/");
  ASSERT_TRUE(secure.ok);
  EXPECT_EQ(secure.scheme, kSchemeHttps);
  EXPECT_EQ(ConnectPort(secure.scheme, secure.port), 443);

  transport::CrackedUrl ported = transport::CrackUrl(L"http://127.0.0.1:8080/update/Version.aspx");
  ASSERT_TRUE(ported.ok);
  EXPECT_EQ(ported.host, L"127.0.0.1");
  EXPECT_EQ(ported.path, L"/update/Version.aspx");
  EXPECT_EQ(ConnectPort(ported.scheme, ported.port), 8080);

  EXPECT_FALSE(transport::CrackUrl(L"not a url at all").ok);
}

TEST(HttpTransport, SystemUserAgentIsNotEmpty) { EXPECT_FALSE(transport::SystemUserAgent().empty()); }

// More threads than one platform wait can take: all are waited for, none is left running.
TEST(HttpShutDownWait, WaitsInBatchesForMoreThan64Threads) {
  std::atomic<int> ended{0};
  std::atomic<bool> release{false};
  struct Context {
    std::atomic<int>* ended;
    std::atomic<bool>* release;
  } context{&ended, &release};
  // Held until all are started: starting 150 threads can take longer than any fixed sleep
  // (wine64 on a loaded machine took 700 ms), and the first must still run when checked.
  auto body = [](void* argument) {
    auto* c = static_cast<Context*>(argument);
    while (!c->release->load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    c->ended->fetch_add(1);
  };
  std::vector<worker::ThreadHandle> threads;
  for (int i = 0; i < 150; ++i) {
    worker::ThreadHandle thread = worker::Start(body, &context);
    if (thread == nullptr) release.store(true);  // lets the started ones end before the handles go
    ASSERT_NE(thread, nullptr);
    threads.push_back(thread);
  }
  EXPECT_TRUE(worker::IsRunning(threads.front()));
  release.store(true);
  const std::vector<worker::ThreadHandle> left = worker::WaitInBatches(threads, 3000);
  EXPECT_TRUE(left.empty());
  EXPECT_EQ(ended.load(), 150);
  for (worker::ThreadHandle thread : threads) worker::CloseHandle(thread);
}

TEST(HttpShutDownWait, OneOverallLimitForAllBatches) {
  std::atomic<bool> release{false};
  auto body = [](void* argument) {
    while (!static_cast<std::atomic<bool>*>(argument)->load()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  };
  std::vector<worker::ThreadHandle> threads;
  for (int i = 0; i < 130; ++i) threads.push_back(worker::Start(body, &release));
  const auto start = std::chrono::steady_clock::now();
  const std::vector<worker::ThreadHandle> left = worker::WaitInBatches(threads, 300);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(left.size(), 130u);
  // Three batches share 300 ms; three full waits would take 900 ms.
  EXPECT_LT(waited, std::chrono::milliseconds(800));
  release.store(true);
  EXPECT_TRUE(worker::WaitInBatches(threads, 3000).empty());
  for (worker::ThreadHandle thread : threads) worker::CloseHandle(thread);
}

}  // namespace
}  // namespace corvane
