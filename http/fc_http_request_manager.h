// FCHttpRequestManager: owns every task, runs the stages and timers its event window receives
// on the thread that built it, reaps closed tasks, and shuts all of them down at the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>

#include "http/event_window.h"
#include "http/fc_http_request.h"
#include "http/http_options.h"

namespace corvane {

// What a shut-down did with the threads still alive.
struct HttpShutDownReport {
  size_t threadsWaitedFor = 0;   // live threads the wait was for
  size_t threadsTerminated = 0;  // still running after the wait, then terminated
  size_t tasksAbandoned = 0;     // left alive because a thread could not be ended
};

class FCHttpRequestManager : private IHttpEventReceiver {
 public:
  static constexpr uint32_t kReaperTimerId = 30;
  static constexpr uint32_t kReaperPeriodMs = 100;
  static constexpr int32_t kFirstTaskId = 100;

  FCHttpRequestManager();
  virtual ~FCHttpRequestManager();
  FCHttpRequestManager(const FCHttpRequestManager&) = delete;
  FCHttpRequestManager& operator=(const FCHttpRequestManager&) = delete;

  virtual void OnHeadersReceived(FCHttpRequest& task) { (void)task; }
  virtual void OnRequestFinished(FCHttpRequest& task) { (void)task; }
  virtual void OnRequestTimedOut(FCHttpRequest& task) { (void)task; }

  int32_t StartRequest(const HttpRequestOptions& options);
  void CancelRequest(int32_t taskId);
  FCHttpRequest* FindRunningRequest(int32_t taskId) const;

  // Closes every task: destroys the event window, closes the handles live threads block on,
  // waits for them at most the wait limit, terminates the rest and destroys the tasks.
  // The destructor does this; calling it earlier makes the destructor's a no-op.
  HttpShutDownReport ShutDown();

  EventWindowHandle GetEventWindow() const { return m_eventWindow.Get(); }
  size_t GetRunningCount() const { return m_running.size(); }
  size_t GetClosingCount() const { return m_closing.size(); }
  // Reaper ticks seen so far: shows whether the reaper timer runs.
  uint64_t GetReaperTickCount() const { return m_nReaperTicks; }

 private:
  void OnEventTimer(uint32_t timerId) override;
  void OnTaskEvent(int32_t taskId, int32_t stage) override;
  void Reap();

  std::deque<FCHttpRequest*> m_running;
  std::deque<FCHttpRequest*> m_closing;
  CHttpEventWindow m_eventWindow;
  uint32_t m_nShutDownWaitMs = 3000;
  int32_t m_nNextTaskId = kFirstTaskId;
  uint64_t m_nReaperTicks = 0;
};

}  // namespace corvane
