// The engine against the real transport (WinINet under Wine, libcurl natively) and our server.
#include <gtest/gtest.h>

#include "http/tests/recording_manager.h"
#include "http/worker_thread.h"

namespace corvane {
namespace {

using testing_server::IsPattern;
using testing_server::RunUntil;
using testing_server::Url;

HttpRequestOptions OptionsFor(const std::wstring& url) {
  HttpRequestOptions options;
  options.url = url;
  return options;
}

TEST(HttpEngine, TaskIdsStartAt100AndEachFinishGetsItsOwnTask) {
  RecordingManager manager;
  const int32_t first = manager.StartRequest(OptionsFor(Url(L"/len/10")));
  const int32_t second = manager.StartRequest(OptionsFor(Url(L"/len/20")));
  EXPECT_EQ(first, 100);
  EXPECT_EQ(second, 101);
  ASSERT_TRUE(RunUntil([&] { return manager.finished.size() == 2; }));
  EXPECT_EQ(manager.finished[100].body.size(), 10u);
  EXPECT_EQ(manager.finished[101].body.size(), 20u);
  // Ids are never reused, also once the earlier tasks are gone.
  ASSERT_TRUE(RunUntil([&] { return manager.GetClosingCount() == 0; }));
  EXPECT_EQ(manager.StartRequest(OptionsFor(Url(L"/len/1"))), 102);
}

TEST(HttpEngine, BodiesWithAndWithoutContentLength) {
  RecordingManager manager;
  RecordingManager::Seen sized = manager.Fetch(Url(L"/len/300000"));
  EXPECT_EQ(sized.response.statusCode, 200);
  EXPECT_EQ(sized.response.contentLength, 300000);
  EXPECT_EQ(sized.bytesReceived, 300000);
  EXPECT_EQ(sized.response.readCompleted, 1);
  EXPECT_EQ(sized.response.server, L"CorvaneTest/1");
  EXPECT_EQ(sized.response.lastModified, L"Wed, 21 Oct 2015 07:28:00 GMT");
  EXPECT_NE(sized.response.requestHandle, nullptr);
  EXPECT_TRUE(sized.complete);
  EXPECT_EQ(sized.body.size(), 300000u);
  EXPECT_TRUE(IsPattern(sized.body));

  RecordingManager::Seen unsized = manager.Fetch(Url(L"/nolen/5000"));
  EXPECT_EQ(unsized.response.statusCode, 200);
  EXPECT_EQ(unsized.response.contentLength, 0);
  EXPECT_EQ(unsized.response.readCompleted, 1);
  EXPECT_EQ(unsized.bytesReceived, 5000);
  EXPECT_TRUE(unsized.complete);
  EXPECT_TRUE(IsPattern(unsized.body));
}

TEST(HttpEngine, CutShortBodyAnd404AreDeliveredButNotComplete) {
  RecordingManager manager;
  RecordingManager::Seen cut = manager.Fetch(Url(L"/short/1000/400"));
  EXPECT_EQ(cut.response.statusCode, 200);
  EXPECT_EQ(cut.response.contentLength, 1000);
  EXPECT_EQ(cut.bytesReceived, 400);
  EXPECT_FALSE(cut.complete);

  RecordingManager::Seen missing = manager.Fetch(Url(L"/missing"));
  EXPECT_EQ(missing.response.statusCode, 404);
  EXPECT_EQ(missing.body, "not found");
  EXPECT_FALSE(missing.complete);
}

TEST(HttpEngine, NoResponseReachesStageOneWithStatusZero) {
  for (const std::wstring& url : {testing_server::RefusedUrl(L"/len/10"), testing_server::UnresolvableUrl(L"/"),
                                  std::wstring(L"not a url at all")}) {
    SCOPED_TRACE(std::string(url.begin(), url.end()));
    RecordingManager manager;
    RecordingManager::Seen seen = manager.Fetch(url);
    ASSERT_EQ(manager.headers.count(100), 1u);
    EXPECT_EQ(manager.headers[100].response.statusCode, 0);
    ASSERT_EQ(manager.finished.count(100), 1u);
    EXPECT_EQ(seen.response.readCompleted, 0);
    EXPECT_EQ(seen.bytesReceived, 0);
    EXPECT_FALSE(seen.complete);
  }
}

// The connect thread, and then also the reader thread, refused by the system: the task takes
// the course of one whose connection failed, and leaves both lists.
TEST(HttpEngine, ATaskWhoseThreadsCannotStartEndsWithoutAResponse) {
  for (int refused : {1, 2}) {
    SCOPED_TRACE(refused);
    RecordingManager manager;
    worker::RefuseNextStarts(refused);
    const int32_t id = manager.StartRequest(OptionsFor(Url(L"/len/10")));
    const bool finished = RunUntil([&] { return manager.finished.count(id) != 0; }, 5000);
    worker::RefuseNextStarts(0);
    ASSERT_TRUE(finished);
    ASSERT_EQ(manager.headers.count(id), 1u);
    EXPECT_EQ(manager.headers[id].response.statusCode, 0);
    EXPECT_EQ(manager.finished[id].response.readCompleted, 0);
    EXPECT_EQ(manager.finished[id].bytesReceived, 0);
    EXPECT_EQ(manager.GetRunningCount(), 0u);
    EXPECT_TRUE(RunUntil([&] { return manager.GetClosingCount() == 0; }));
  }
}

TEST(HttpEngine, VerbsBodiesAndRangeOnTheWire) {
  RecordingManager manager;
  const std::pair<int32_t, std::string> verbs[] = {{0, "GET "}, {1, "POST "}, {2, "POST "}, {3, "DELETE "}, {7, "GET "}};
  for (const auto& verb : verbs) {
    HttpRequestOptions options = OptionsFor(Url(L"/echo"));
    options.verb = verb.first;
    EXPECT_EQ(manager.Fetch(options).body.rfind(verb.second + "/echo ", 0), 0u) << verb.first;
  }

  HttpRequestOptions withBody = OptionsFor(Url(L"/echo?x=1"));
  withBody.body = "abc\x01xyz";
  const std::string echoed = manager.Fetch(withBody).body;
  EXPECT_EQ(echoed.rfind("GET /echo?x=1 ", 0), 0u) << echoed;
  EXPECT_NE(echoed.find("\n\nabc\x01xyz"), std::string::npos) << echoed;

  HttpRequestOptions noRange = OptionsFor(Url(L"/echo"));
  EXPECT_EQ(manager.Fetch(noRange).body.find("Range:"), std::string::npos);
  HttpRequestOptions ranged = OptionsFor(Url(L"/echo"));
  ranged.rangeStart = 1234;
  EXPECT_NE(manager.Fetch(ranged).body.find("\nRange: bytes=1234-\n"), std::string::npos);

  HttpRequestOptions custom = OptionsFor(Url(L"/echo"));
  custom.extraHeaders = L"X-One: 1\r\nX-Two: two\r\n";
  custom.userAgent = L"CorvaneProbe/9";
  const std::string headers = manager.Fetch(custom).body;
  EXPECT_NE(headers.find("\nX-One: 1\nX-Two: two\n"), std::string::npos) << headers;
  EXPECT_NE(headers.find("\nUser-Agent: CorvaneProbe/9\n"), std::string::npos) << headers;
}

// Wine 8's WinINet, which the Windows tree runs on, follows redirects without a limit of 20
// hops (a loop runs until the request is cancelled), does not follow 308, and follows a POST
// through 307 as a POST without its body; those checks are libcurl's only.
#ifdef _WIN32
constexpr bool kWineWinInet = true;
#else
constexpr bool kWineWinInet = false;
#endif

// The echo of a GET of /echo that carried no body.
bool IsBodilessGetOfEcho(const std::string& echo) {
  return echo.rfind("GET /echo HTTP/1.1\n", 0) == 0 && echo.find("Content-Length") == std::string::npos &&
         echo.size() >= 2 && echo.compare(echo.size() - 2, 2, "\n\n") == 0;
}

TEST(HttpEngine, RedirectsAreFollowedToTheLastAnswerWithoutTheBody) {
  RecordingManager manager;
  for (int code : {301, 302, 303, 307, 308}) {
    if (code == 308 && kWineWinInet) continue;
    HttpRequestOptions get = OptionsFor(Url(L"/redirect/" + std::to_wstring(code) + L"/2"));
    get.body = "sent once";
    RecordingManager::Seen seen = manager.Fetch(get);
    EXPECT_EQ(seen.response.statusCode, 200) << code;
    EXPECT_TRUE(seen.complete) << code;
    EXPECT_TRUE(IsBodilessGetOfEcho(seen.body)) << code << ": " << seen.body;
  }
  // Another verb becomes GET on 301, 302 and 303, as in WinINet.
  HttpRequestOptions post = OptionsFor(Url(L"/redirect/303/0"));
  post.verb = 1;
  post.body = "posted";
  EXPECT_TRUE(IsBodilessGetOfEcho(manager.Fetch(post).body));

  // A redirect to another scheme is not followed: the redirect is the answer.
  const std::wstring ftp = L"ftp://127.0.0.1:" + std::to_wstring(testing_server::Server().refusedPort) + L"/x";
  for (const std::wstring& target : {std::wstring(L"file:///etc/hostname"), ftp}) {
    RecordingManager::Seen seen = manager.Fetch(Url(L"/goto?" + target));
    EXPECT_EQ(seen.response.statusCode, 302) << std::string(target.begin(), target.end());
    EXPECT_EQ(seen.body, "moved");
  }
  if (kWineWinInet) return;

  // Twenty redirects are followed; a 21st, and so a loop, leave the request without a response.
  EXPECT_TRUE(IsBodilessGetOfEcho(manager.Fetch(Url(L"/redirect/302/19")).body));
  for (const wchar_t* path : {L"/redirect/302/20", L"/loop"}) {
    const int32_t id = manager.StartRequest(OptionsFor(Url(path)));
    ASSERT_TRUE(RunUntil([&] { return manager.finished.count(id) != 0; })) << path;
    EXPECT_EQ(manager.headers[id].response.statusCode, 0) << path;
    EXPECT_EQ(manager.finished[id].response.readCompleted, 0) << path;
    EXPECT_EQ(manager.finished[id].bytesReceived, 0) << path;
  }
  // Through 307 and 308 another verb would go out again with its body: it is not followed.
  for (const wchar_t* path : {L"/redirect/307/0", L"/redirect/308/0"}) {
    HttpRequestOptions kept = OptionsFor(Url(path));
    kept.verb = 1;
    kept.body = "posted";
    RecordingManager::Seen seen = manager.Fetch(kept);
    EXPECT_EQ(seen.response.statusCode, HeaderNumber(std::wstring(path).substr(10, 3))) << path;
    EXPECT_EQ(seen.body, "moved") << path;
  }
}

TEST(HttpEngine, HttpsIsOpenedSecure) {
  RecordingManager manager;
  // Our server speaks plain HTTP, so the TLS handshake fails: no response, but the flags show.
  const std::wstring https = L"https://127.0.0.1:" + std::to_wstring(testing_server::Server().port) + L"/len/1";
  manager.Fetch(https);
  ASSERT_EQ(manager.headers.count(100), 1u);
  EXPECT_NE(manager.headers[100].openFlags & kFlagSecure, 0u);
  EXPECT_EQ(manager.headers[100].openFlags & kDefaultOpenFlags, kDefaultOpenFlags);
  EXPECT_EQ(manager.headers[100].response.statusCode, 0);

  manager.Fetch(Url(L"/len/1"));
  EXPECT_EQ(manager.headers[101].openFlags, kDefaultOpenFlags);
}

TEST(HttpEngine, CancellingTwiceOrAfterTheFinishChangesNothing) {
  RecordingManager manager;
  const int32_t id = manager.StartRequest(OptionsFor(Url(L"/drip/5/100")));
  manager.CancelRequest(id);
  EXPECT_EQ(manager.FindRunningRequest(id), nullptr);
  EXPECT_EQ(manager.GetRunningCount(), 0u);
  EXPECT_EQ(manager.GetClosingCount(), 1u);
  manager.CancelRequest(id);
  manager.CancelRequest(4711);
  EXPECT_EQ(manager.GetClosingCount(), 1u);
  RunUntil([] { return false; }, 800);
  EXPECT_EQ(manager.finished.count(id), 0u);

  RecordingManager::Seen done = manager.Fetch(Url(L"/len/10"));
  EXPECT_TRUE(done.complete);
  const size_t closing = manager.GetClosingCount();
  manager.CancelRequest(id + 1);
  EXPECT_EQ(manager.GetClosingCount(), closing);
  EXPECT_EQ(manager.GetRunningCount(), 0u);
}

TEST(HttpEngine, StageMessagesAfterCancellationAreIgnored) {
  RecordingManager manager;
  // Short holds: Wine's WinINet does not end a blocked read when its handle is closed, so the
  // reader runs until the server lets go, and the manager's shut-down waits for it.
  const int32_t id = manager.StartRequest(OptionsFor(Url(L"/hold/1")));
  ASSERT_TRUE(RunUntil([&] { return manager.headers.count(id) != 0; }));
  manager.CancelRequest(id);
  manager.headers.clear();
  // Stage messages through the real event window, as a late worker would send them.
  EXPECT_TRUE(CHttpEventWindow::Notify(manager.GetEventWindow(), id, 1));
  EXPECT_TRUE(CHttpEventWindow::Notify(manager.GetEventWindow(), id, 2));
  RunUntil([] { return false; }, 300);
  EXPECT_TRUE(manager.headers.empty());
  EXPECT_EQ(manager.finished.count(id), 0u);
}

TEST(HttpEngine, ReaperStopsWhenIdleAndIsArmedAgainByTheNextStart) {
  RecordingManager manager;
  EXPECT_TRUE(manager.Fetch(Url(L"/len/10")).complete);
  ASSERT_TRUE(RunUntil([&] { return manager.GetRunningCount() + manager.GetClosingCount() == 0; }));
  RunUntil([] { return false; }, 300);  // the next tick finds both lists empty and stops
  const uint64_t stopped = manager.GetReaperTickCount();
  RunUntil([] { return false; }, 500);
  EXPECT_EQ(manager.GetReaperTickCount(), stopped);

  manager.StartRequest(OptionsFor(Url(L"/drip/3/150")));
  EXPECT_TRUE(RunUntil([&] { return manager.GetReaperTickCount() >= stopped + 2; }, 3000));
}

TEST(HttpEngine, TimeLimitCancelsAStillRunningTask) {
  RecordingManager manager;
  HttpRequestOptions options = OptionsFor(Url(L"/hold/1"));
  options.timeLimitMs = 300;
  const int32_t id = manager.StartRequest(options);
  ASSERT_TRUE(RunUntil([&] { return !manager.timedOut.empty(); }, 3000));
  EXPECT_EQ(manager.timedOut, std::vector<int32_t>{id});
  EXPECT_EQ(manager.FindRunningRequest(id), nullptr);
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(manager.finished.count(id), 0u);
  EXPECT_EQ(manager.timedOut.size(), 1u);  // the timer stopped at its first tick

  // A task that finishes within its limit is never timed out.
  HttpRequestOptions quick = OptionsFor(Url(L"/len/10"));
  quick.timeLimitMs = 400;
  EXPECT_TRUE(manager.Fetch(quick).complete);
  RunUntil([] { return false; }, 600);
  EXPECT_EQ(manager.timedOut.size(), 1u);
}

TEST(HttpEngine, BodiesPastTheCapAreCutAndRejected) {
  RecordingManager manager;
  for (const wchar_t* path : {L"/len/50000", L"/nolen/50000"}) {
    HttpRequestOptions options = OptionsFor(Url(path));
    options.maxBodyBytes = 10000;
    RecordingManager::Seen seen = manager.Fetch(options);
    EXPECT_EQ(seen.response.statusCode, 200) << path;
    EXPECT_EQ(seen.response.readCompleted, 0) << path;
    EXPECT_LE(seen.bytesReceived, 10000) << path;
    EXPECT_EQ(seen.body.size(), static_cast<size_t>(seen.bytesReceived));
    EXPECT_FALSE(seen.complete) << path;
  }
  HttpRequestOptions exact = OptionsFor(Url(L"/len/10000"));
  exact.maxBodyBytes = 10000;
  EXPECT_TRUE(manager.Fetch(exact).complete);
}

// A Content-Length of nearly 2 GB cannot be reserved in a 32-bit process: the worker thread's
// failed allocation must end nothing but the read, which then goes on with what arrives.
TEST(HttpEngine, AFailedReservationInTheWorkerEndsNothingButTheRead) {
  RecordingManager manager;
  HttpRequestOptions options = OptionsFor(Url(L"/short/2000000000/1000"));
  options.maxBodyBytes = 2147483647;
  RecordingManager::Seen seen = manager.Fetch(options);
  EXPECT_EQ(seen.response.statusCode, 200);
  EXPECT_EQ(seen.response.contentLength, 2000000000);
  EXPECT_EQ(seen.bytesReceived, 1000);
  EXPECT_EQ(seen.body.size(), 1000u);
  EXPECT_FALSE(seen.complete);
  EXPECT_TRUE(manager.Fetch(Url(L"/len/100")).complete) << "the engine serves the next request as before";
}

TEST(HttpEngine, PoppingTakesTheBodyOut) {
  struct PoppingTwice : RecordingManager {
    void OnRequestFinished(FCHttpRequest& task) override {
      first = task.PopReceivedData();
      second = task.PopReceivedData();
      RecordingManager::OnRequestFinished(task);
    }
    std::string first, second;
  } manager;
  manager.Fetch(Url(L"/len/70000"));
  EXPECT_EQ(manager.first.size(), 70000u);
  EXPECT_TRUE(manager.second.empty());
}

}  // namespace
}  // namespace corvane
