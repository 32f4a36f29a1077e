// FCHttpRequest: building a task, its two worker threads, stage 0 and 1 handling, closing.
#include "http/fc_http_request.h"

#include <algorithm>

namespace corvane {

FCHttpRequest::FCHttpRequest(int32_t taskId, CHttpEventWindow& eventWindow, const HttpRequestOptions& options)
    : m_nTaskId(taskId), m_eventWindow(eventWindow), m_hNotifyWindow(eventWindow.Get()), m_options(options) {
  const transport::CrackedUrl url = transport::CrackUrl(m_options.url);
  m_nScheme = url.scheme;
  m_strHost = url.host;
  m_strObject = url.path;
  m_nPort = ConnectPort(url.scheme, url.port);

  if (m_options.userAgent.empty()) m_options.userAgent = transport::SystemUserAgent();
  m_hRoot.Reset(transport::OpenRoot(m_options.userAgent, m_options.proxyHost, m_options.proxyPort));
  transport::SetProxyCredentials(m_hRoot.Get(), m_options.proxyUserName, m_options.proxyPassword);

  m_hConnectRoot = m_hRoot.Get();
  m_hConnectThread.Reset(worker::Start(&FCHttpRequest::ConnectThreadMain, this));
  if (m_hConnectThread.Get() == nullptr) {
    // No thread: the task takes the course of a failed connection. The stage is queued, as a
    // notice sent from here would be handled at once, before the manager lists the task.
    CHttpEventWindow::Post(m_hNotifyWindow, m_nTaskId, 0);
  }
  if (m_options.timeLimitMs > 0) m_eventWindow.SetTimer(static_cast<uint32_t>(m_nTaskId), m_options.timeLimitMs);
}

FCHttpRequest::~FCHttpRequest() {
  m_eventWindow.KillTimer(static_cast<uint32_t>(m_nTaskId));
  m_hRequest.Reset();
  m_hConnection.Reset();
  m_hRoot.Reset();
  m_hReaderThread.Reset();
  m_hConnectThread.Reset();
}

void FCHttpRequest::ConnectThreadMain(void* self) { static_cast<FCHttpRequest*>(self)->Connect(); }
void FCHttpRequest::ReaderThreadMain(void* self) { static_cast<FCHttpRequest*>(self)->SendAndRead(); }

void FCHttpRequest::Connect() {
  m_hConnection.Reset(transport::Connect(m_hConnectRoot, m_strHost, m_nPort));
  CHttpEventWindow::Notify(m_hNotifyWindow, m_nTaskId, 0);
}

void FCHttpRequest::OnConnected() {
  m_hConnectThread.Reset();
  if (m_nScheme == kSchemeHttps) m_options.openFlags |= kFlagSecure;
  m_hRequest.Reset(transport::OpenRequest(m_hConnection.Get(), VerbText(m_options.verb), m_strObject,
                                          m_options.openFlags));
  m_hReaderRequest = m_hRequest.Get();
  m_hReaderThread.Reset(worker::Start(&FCHttpRequest::ReaderThreadMain, this));
  if (m_hReaderThread.Get() == nullptr) {
    // Queued, so that they come after this stage rather than inside it.
    CHttpEventWindow::Post(m_hNotifyWindow, m_nTaskId, 1);
    CHttpEventWindow::Post(m_hNotifyWindow, m_nTaskId, 2);
  }
}

void FCHttpRequest::SendAndRead() {
  const std::wstring headers = BuildRequestHeaderText(m_options);
  const bool sent = transport::SendRequest(m_hReaderRequest, headers, m_options.body);
  CHttpEventWindow::Notify(m_hNotifyWindow, m_nTaskId, 1);

  // A request that was never sent has no body to read. Windows fails such a read anyway;
  // Wine's WinINet reports an empty, cleanly ended body instead, which would look complete.
  if (sent) ReserveForContentLength();
  char chunk[transport::kMaxReadChunkBytes];
  const uint32_t chunkBytes = std::min(transport::ReadChunkBytes(), transport::kMaxReadChunkBytes);
  bool lastReadOk = false;
  while (sent) {
    if (m_bClosing.load()) {
      lastReadOk = false;
      break;
    }
    uint32_t read = 0;
    lastReadOk = transport::ReadData(m_hReaderRequest, chunk, chunkBytes, &read);
    if (!lastReadOk || read == 0) break;
    if (!AppendChunk(chunk, read)) {
      lastReadOk = false;
      break;
    }
  }
  m_response.readCompleted = lastReadOk ? 1 : 0;
  CHttpEventWindow::Notify(m_hNotifyWindow, m_nTaskId, 2);
}

void FCHttpRequest::ReserveForContentLength() {
  const int32_t length = HeaderNumber(transport::QueryHeader(m_hReaderRequest, transport::ResponseHeader::kContentLength));
  if (length <= 0 || length > m_options.maxBodyBytes) return;
  m_buffer.Lock();
  m_buffer.Reserve(static_cast<size_t>(length));
  m_buffer.Unlock();
}

// Past the cap, or out of memory, the chunk is dropped and the read ends unfinished.
bool FCHttpRequest::AppendChunk(const char* data, uint32_t size) {
  if (static_cast<int64_t>(m_nBytesReceived.load()) + size > m_options.maxBodyBytes) return false;
  m_buffer.Lock();
  const bool appended = m_buffer.Append(data, size);
  m_buffer.Unlock();
  if (appended) m_nBytesReceived.fetch_add(static_cast<int32_t>(size));
  return appended;
}

void FCHttpRequest::OnRequestSent() {
  m_response.requestHandle = m_hRequest.Get();
  if (m_response.requestHandle == nullptr) return;
  using transport::ResponseHeader;
  m_response.statusCode = HeaderNumber(transport::QueryHeader(m_hRequest.Get(), ResponseHeader::kStatusCode));
  m_response.contentLength = HeaderNumber(transport::QueryHeader(m_hRequest.Get(), ResponseHeader::kContentLength));
  m_response.lastModified = transport::QueryHeader(m_hRequest.Get(), ResponseHeader::kLastModified);
  m_response.server = transport::QueryHeader(m_hRequest.Get(), ResponseHeader::kServer);
}

std::string FCHttpRequest::PopReceivedData() {
  m_buffer.Lock();
  std::string data = m_buffer.Take();
  m_buffer.Unlock();
  return data;
}

worker::ThreadHandle FCHttpRequest::PrepareClose() {
  m_bClosing.store(true);
  if (worker::IsRunning(m_hReaderThread.Get())) {
    m_hRequest.Reset();
    return m_hReaderThread.Get();
  }
  if (worker::IsRunning(m_hConnectThread.Get())) {
    m_hRoot.Reset();
    return m_hConnectThread.Get();
  }
  return nullptr;
}

bool FCHttpRequest::ThreadsEnded() const {
  return !worker::IsRunning(m_hConnectThread.Get()) && !worker::IsRunning(m_hReaderThread.Get());
}

}  // namespace corvane
