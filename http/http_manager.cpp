// CHttpManager: starting requests with their callbacks, dropping those that got no response,
// running each callback once when its body has been read; and the completeness rule.
#include "http/http_manager.h"

#include <utility>

#include "base/ansi.h"

namespace corvane {

bool IsResponseComplete(const HttpResponseInfo& response, int32_t bytesReceived) {
  if (response.statusCode != 200) return false;
  if (response.contentLength == 0) return response.readCompleted != 0;
  return response.contentLength == bytesReceived;
}

bool IsResponseComplete(const FCHttpRequest& task) {
  return IsResponseComplete(task.GetResponseInfo(), task.GetBytesReceived());
}

HttpRequestOptions MakeManagerOptions(const std::wstring& url) {
  HttpRequestOptions options;
  options.extraHeaders += L"Accept: */*\r\n";
  options.url = url;
  return options;
}

CHttpManager::~CHttpManager() {
  m_callbacks.clear();
  ShutDown();
}

void CHttpManager::Get(std::wstring url, HttpCallback callback) {
  Start(MakeManagerOptions(url), std::move(callback));
}

void CHttpManager::Get(std::wstring url, HttpCallback callback, int32_t maxBodyBytes) {
  HttpRequestOptions options = MakeManagerOptions(url);
  options.maxBodyBytes = maxBodyBytes;
  Start(options, std::move(callback));
}

void CHttpManager::GetWithBody(std::wstring url, HttpCallback callback, std::wstring body) {
  HttpRequestOptions options = MakeManagerOptions(url);
  options.body = WideToAnsi(body);
  Start(options, std::move(callback));
}

void CHttpManager::Start(const HttpRequestOptions& options, HttpCallback callback) {
  m_nLastTaskId = StartRequest(options);
  m_callbacks[m_nLastTaskId] = std::move(callback);
}

void CHttpManager::OnHeadersReceived(FCHttpRequest& task) {
  if (task.GetResponseInfo().statusCode != 0) return;
  const int32_t taskId = task.GetTaskId();
  CancelRequest(taskId);
  m_callbacks.erase(taskId);
}

void CHttpManager::OnRequestFinished(FCHttpRequest& task) {
  const int32_t taskId = task.GetTaskId();
  auto it = m_callbacks.find(taskId);
  if (it != m_callbacks.end()) {
    // Moved out first: a callback that starts a request may change the map.
    HttpCallback callback = std::move(it->second);
    if (callback) callback(task);
  }
  CancelRequest(taskId);
  m_callbacks.erase(taskId);
}

}  // namespace corvane
