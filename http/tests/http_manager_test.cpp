// CHttpManager through the program's own g_httpManager: callbacks, dropped requests, the
// wire form of Get and GetWithBody.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "base/ansi.h"
#include "http/http_manager.h"
#include "http/tests/test_server.h"
#include "http/worker_thread.h"

namespace corvane {
namespace {

using testing_server::RunUntil;
using testing_server::Url;

struct Result {
  int calls = 0;
  int32_t taskId = 0;
  HttpResponseInfo response;
  bool complete = false;
  std::string body;
};

HttpCallback Recorder(Result* result) {
  return [result](FCHttpRequest& task) {
    ++result->calls;
    result->taskId = task.GetTaskId();
    result->response = task.GetResponseInfo();
    result->complete = IsResponseComplete(task);
    if (result->complete || task.GetResponseInfo().statusCode != 200) result->body = task.PopReceivedData();
  };
}

std::vector<std::string> HeaderLines(const std::string& echo, const std::string& name) {
  std::vector<std::string> lines;
  std::istringstream in(echo);
  std::string line;
  while (std::getline(in, line) && !line.empty()) {
    if (line.compare(0, name.size() + 1, name + ":") == 0) lines.push_back(line);
  }
  return lines;
}

TEST(HttpManager, BackToBackRequestsGetConsecutiveIdsAndTheirOwnTasks) {
  Result first, second;
  g_httpManager.Get(Url(L"/len/10"), Recorder(&first));
  const int32_t firstId = g_httpManager.GetLastTaskId();
  g_httpManager.Get(Url(L"/len/20"), Recorder(&second));
  const int32_t secondId = g_httpManager.GetLastTaskId();
  EXPECT_EQ(secondId, firstId + 1);
  EXPECT_TRUE(g_httpManager.HasCallback(firstId));
  ASSERT_TRUE(RunUntil([&] { return first.calls && second.calls; }));
  EXPECT_EQ(first.taskId, firstId);
  EXPECT_EQ(second.taskId, secondId);
  EXPECT_EQ(first.body.size(), 10u);
  EXPECT_EQ(second.body.size(), 20u);
  EXPECT_TRUE(first.complete && second.complete);
  RunUntil([] { return false; }, 300);
  EXPECT_EQ(first.calls, 1);
  EXPECT_FALSE(g_httpManager.HasCallback(firstId));
  EXPECT_FALSE(g_httpManager.HasCallback(secondId));
}

TEST(HttpManager, GetSendsExactlyOneAcceptLine) {
  Result result;
  g_httpManager.Get(Url(L"/echo"), Recorder(&result));
  const FCHttpRequest* task = g_httpManager.FindRunningRequest(g_httpManager.GetLastTaskId());
  ASSERT_NE(task, nullptr);
  EXPECT_EQ(task->GetOptions().extraHeaders, L"Accept: */*\r\n");
  EXPECT_TRUE(task->GetOptions().body.empty());
  ASSERT_TRUE(RunUntil([&] { return result.calls == 1; }));
  EXPECT_EQ(result.body.rfind("GET /echo HTTP/1.1\n", 0), 0u) << result.body;
  EXPECT_EQ(HeaderLines(result.body, "Accept"), std::vector<std::string>{"Accept: */*"}) << result.body;
  EXPECT_TRUE(HeaderLines(result.body, "Range").empty());
}

TEST(HttpManager, GetWithBodySendsTheAnsiBytesWithTheVerbGet) {
  Result ascii;
  g_httpManager.GetWithBody(Url(L"/echo"), Recorder(&ascii), L"{\"version\":\"1.2.0.15\"}\n");
  ASSERT_TRUE(RunUntil([&] { return ascii.calls == 1; }));
  EXPECT_EQ(ascii.body.rfind("GET /echo HTTP/1.1\n", 0), 0u) << ascii.body;
  EXPECT_EQ(HeaderLines(ascii.body, "Content-Length"), std::vector<std::string>{"Content-Length: 23"});
  EXPECT_EQ(ascii.body.substr(ascii.body.find("\n\n") + 2), "{\"version\":\"1.2.0.15\"}\n");

  // One character outside ASCII goes out as the code page's bytes.
  const std::wstring text = L"caf\u00e9";
  Result wide;
  g_httpManager.GetWithBody(Url(L"/echo"), Recorder(&wide), text);
  ASSERT_TRUE(RunUntil([&] { return wide.calls == 1; }));
  EXPECT_EQ(wide.body.substr(wide.body.find("\n\n") + 2), WideToAnsi(text));
}

TEST(HttpManager, RequestsWithoutAResponseAreDroppedSilently) {
  auto expectDropped = [](const std::wstring& url, int refusedThreadStarts) {
    SCOPED_TRACE(std::string(url.begin(), url.end()) + ", refused starts " + std::to_string(refusedThreadStarts));
    Result result;
    worker::RefuseNextStarts(refusedThreadStarts);
    g_httpManager.Get(url, Recorder(&result));
    worker::RefuseNextStarts(0);
    const int32_t id = g_httpManager.GetLastTaskId();
    EXPECT_TRUE(g_httpManager.HasCallback(id));
    ASSERT_TRUE(RunUntil([&] { return !g_httpManager.HasCallback(id); }));
    EXPECT_EQ(g_httpManager.FindRunningRequest(id), nullptr);
    RunUntil([] { return false; }, 300);
    EXPECT_EQ(result.calls, 0);
  };
  for (const std::wstring& url : {testing_server::RefusedUrl(L"/"), testing_server::UnresolvableUrl(L"/"),
                                  std::wstring(L"::not a url::")}) {
    expectDropped(url, 0);
  }
  // A request whose connect thread the system cannot start goes the same way.
  expectDropped(Url(L"/len/10"), 1);
}

TEST(HttpManager, A404AndACutBodyStillReachTheCallback) {
  Result missing, cut;
  g_httpManager.Get(Url(L"/missing"), Recorder(&missing));
  g_httpManager.Get(Url(L"/short/500/100"), Recorder(&cut));
  ASSERT_TRUE(RunUntil([&] { return missing.calls && cut.calls; }));
  EXPECT_EQ(missing.response.statusCode, 404);
  EXPECT_FALSE(missing.complete);
  EXPECT_EQ(cut.response.statusCode, 200);
  EXPECT_FALSE(cut.complete);
}

TEST(HttpManager, ACallbackMayStartTheNextRequest) {
  Result second;
  int firstCalls = 0;
  g_httpManager.Get(Url(L"/len/5"), [&](FCHttpRequest&) {
    ++firstCalls;
    g_httpManager.Get(Url(L"/len/7"), Recorder(&second));
  });
  ASSERT_TRUE(RunUntil([&] { return second.calls == 1; }));
  EXPECT_EQ(firstCalls, 1);
  EXPECT_EQ(second.body.size(), 7u);
}

}  // namespace
}  // namespace corvane
