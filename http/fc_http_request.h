// FCHttpRequest: one task. It owns its transport handles and its two worker threads: a connect
// thread, then a reader thread that sends, reads the body into the receive buffer and notifies
// the manager's event window of each stage (0 connected, 1 request sent, 2 body read).
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "http/event_window.h"
#include "http/http_options.h"
#include "http/receive_buffer.h"
#include "http/transport.h"
#include "http/worker_thread.h"

namespace corvane {

class FCHttpRequest {
 public:
  // Splits the URL, opens the root handle, starts the connect thread and the time limit.
  FCHttpRequest(int32_t taskId, CHttpEventWindow& eventWindow, const HttpRequestOptions& options);
  virtual ~FCHttpRequest();
  FCHttpRequest(const FCHttpRequest&) = delete;
  FCHttpRequest& operator=(const FCHttpRequest&) = delete;

  int32_t GetTaskId() const { return m_nTaskId; }
  const HttpRequestOptions& GetOptions() const { return m_options; }
  int32_t GetScheme() const { return m_nScheme; }
  const std::wstring& GetHostName() const { return m_strHost; }
  const std::wstring& GetObjectPath() const { return m_strObject; }
  int32_t GetPort() const { return m_nPort; }
  const HttpResponseInfo& GetResponseInfo() const { return m_response; }
  int32_t GetBytesReceived() const { return m_nBytesReceived.load(); }
  // Takes the body received so far out of the task (under the buffer's lock).
  std::string PopReceivedData();

  // Stage handling, on the UI thread.
  void OnConnected();      // stage 0: opens the request and starts the reader
  void OnRequestSent();    // stage 1: reads the response headers
  // Makes the live thread end: closes the handle it is blocked on and yields its thread
  // handle to wait for, or null when no thread runs.
  worker::ThreadHandle PrepareClose();
  // Both threads have ended (or never started).
  bool ThreadsEnded() const;
  worker::ThreadHandle ConnectThread() const { return m_hConnectThread.Get(); }
  worker::ThreadHandle ReaderThread() const { return m_hReaderThread.Get(); }

 private:
  static void ConnectThreadMain(void* self);
  static void ReaderThreadMain(void* self);
  void Connect();
  void SendAndRead();
  void ReserveForContentLength();
  bool AppendChunk(const char* data, uint32_t size);

  const int32_t m_nTaskId;
  CHttpEventWindow& m_eventWindow;
  const EventWindowHandle m_hNotifyWindow;
  HttpRequestOptions m_options;
  int32_t m_nScheme = 0;
  std::wstring m_strHost;
  std::wstring m_strObject;
  int32_t m_nPort = 0;
  HttpResponseInfo m_response;
  inner::CReceiveBuffer m_buffer;
  std::atomic<int32_t> m_nBytesReceived{0};
  transport::CInternetHandle m_hRoot;
  transport::CInternetHandle m_hConnection;
  transport::CInternetHandle m_hRequest;
  worker::CThreadHandle m_hConnectThread;
  worker::CThreadHandle m_hReaderThread;

  // What the workers use, fixed before each one starts: the UI thread may clear the fields
  // above while a worker runs.
  transport::Handle m_hConnectRoot = nullptr;
  transport::Handle m_hReaderRequest = nullptr;
  // Set when the task is being closed; the reader stops before its next read.
  std::atomic<bool> m_bClosing{false};
};

}  // namespace corvane
