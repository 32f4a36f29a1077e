// CHttpManager: the face of the HTTP engine for the rest of each program. A caller hands over a
// URL, an optional body and a callback; the callback later receives the finished task on the
// UI thread. g_httpManager is the program's one instance, built during static initialisation
// on the main thread, so its event window belongs to the thread that runs the message loop.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include "http/fc_http_request_manager.h"

namespace corvane {

using HttpCallback = std::function<void(FCHttpRequest&)>;

// The rule every callback applies before it trusts a body: status 200, and either no
// Content-Length with a cleanly ended read, or exactly Content-Length bytes received.
bool IsResponseComplete(const HttpResponseInfo& response, int32_t bytesReceived);
bool IsResponseComplete(const FCHttpRequest& task);

// The options Get and GetWithBody start with: every default, plus "Accept: */*".
HttpRequestOptions MakeManagerOptions(const std::wstring& url);

class CHttpManager : public FCHttpRequestManager {
 public:
  CHttpManager() = default;
  ~CHttpManager() override;

  void Get(std::wstring url, HttpCallback callback);
  // A small answer: a body past `maxBodyBytes` is cut off, and so incomplete.
  void Get(std::wstring url, HttpCallback callback, int32_t maxBodyBytes);
  // The body goes out in the ANSI code page; the verb stays GET.
  void GetWithBody(std::wstring url, HttpCallback callback, std::wstring body);

  int32_t GetLastTaskId() const { return m_nLastTaskId; }
  bool HasCallback(int32_t taskId) const { return m_callbacks.count(taskId) != 0; }

 protected:
  void OnHeadersReceived(FCHttpRequest& task) override;
  void OnRequestFinished(FCHttpRequest& task) override;

 private:
  void Start(const HttpRequestOptions& options, HttpCallback callback);

  int32_t m_nLastTaskId = 0;
  std::map<int32_t, HttpCallback> m_callbacks;
};

extern CHttpManager g_httpManager;

}  // namespace corvane
