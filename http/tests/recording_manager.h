// A request manager for tests that records what each virtual slot saw.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "http/fc_http_request_manager.h"
#include "http/http_manager.h"
#include "http/tests/test_server.h"

namespace corvane {

class RecordingManager : public FCHttpRequestManager {
 public:
  struct Seen {
    HttpResponseInfo response;
    int32_t bytesReceived = 0;
    std::string body;
    uint32_t openFlags = 0;
    bool complete = false;
  };

  void OnHeadersReceived(FCHttpRequest& task) override {
    Seen& seen = headers[task.GetTaskId()];
    seen.response = task.GetResponseInfo();
    seen.openFlags = task.GetOptions().openFlags;
  }
  void OnRequestFinished(FCHttpRequest& task) override {
    Seen& seen = finished[task.GetTaskId()];
    seen.response = task.GetResponseInfo();
    seen.bytesReceived = task.GetBytesReceived();
    seen.complete = IsResponseComplete(task);
    seen.body = task.PopReceivedData();
    seen.openFlags = task.GetOptions().openFlags;
  }
  void OnRequestTimedOut(FCHttpRequest& task) override { timedOut.push_back(task.GetTaskId()); }

  // Starts a request and runs events until it finished; the finished record (empty if none).
  Seen Fetch(const HttpRequestOptions& options, int timeoutMs = 10000) {
    const int32_t id = StartRequest(options);
    testing_server::RunUntil([&] { return finished.count(id) != 0; }, timeoutMs);
    return finished.count(id) ? finished[id] : Seen();
  }
  Seen Fetch(const std::wstring& url) {
    HttpRequestOptions options;
    options.url = url;
    return Fetch(options);
  }

  std::map<int32_t, Seen> headers;
  std::map<int32_t, Seen> finished;
  std::vector<int32_t> timedOut;
};

}  // namespace corvane
