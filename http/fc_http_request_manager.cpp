// FCHttpRequestManager: task ids, the running and closing lists, stages, timers, the reaper and
// the shut-down.
#include "http/fc_http_request_manager.h"

#include <algorithm>
#include <vector>

namespace corvane {

FCHttpRequestManager::FCHttpRequestManager() : m_eventWindow(this) {}

FCHttpRequestManager::~FCHttpRequestManager() { ShutDown(); }

int32_t FCHttpRequestManager::StartRequest(const HttpRequestOptions& options) {
  m_eventWindow.SetTimer(kReaperTimerId, kReaperPeriodMs);
  const int32_t taskId = m_nNextTaskId++;
  m_running.push_back(new FCHttpRequest(taskId, m_eventWindow, options));
  return taskId;
}

void FCHttpRequestManager::CancelRequest(int32_t taskId) {
  auto it = std::find_if(m_running.begin(), m_running.end(),
                         [taskId](const FCHttpRequest* task) { return task->GetTaskId() == taskId; });
  if (it == m_running.end()) return;
  FCHttpRequest* task = *it;
  task->PrepareClose();
  m_running.erase(it);
  m_closing.push_back(task);
}

FCHttpRequest* FCHttpRequestManager::FindRunningRequest(int32_t taskId) const {
  for (FCHttpRequest* task : m_running) {
    if (task->GetTaskId() == taskId) return task;
  }
  return nullptr;
}

void FCHttpRequestManager::OnTaskEvent(int32_t taskId, int32_t stage) {
  FCHttpRequest* task = FindRunningRequest(taskId);
  if (task == nullptr) return;
  switch (stage) {
    case 0:
      task->OnConnected();
      break;
    case 1:
      task->OnRequestSent();
      OnHeadersReceived(*task);
      break;
    case 2:
      OnRequestFinished(*task);
      CancelRequest(taskId);
      break;
    default:
      break;
  }
}

void FCHttpRequestManager::OnEventTimer(uint32_t timerId) {
  if (timerId == kReaperTimerId) {
    ++m_nReaperTicks;
    if (m_running.empty() && m_closing.empty()) {
      m_eventWindow.KillTimer(kReaperTimerId);
    } else {
      Reap();
    }
    return;
  }
  m_eventWindow.KillTimer(timerId);
  const int32_t taskId = static_cast<int32_t>(timerId);
  if (FCHttpRequest* task = FindRunningRequest(taskId)) {
    OnRequestTimedOut(*task);
    CancelRequest(taskId);
  }
}

void FCHttpRequestManager::Reap() {
  for (auto it = m_closing.begin(); it != m_closing.end();) {
    if ((*it)->ThreadsEnded()) {
      delete *it;
      it = m_closing.erase(it);
    } else {
      ++it;
    }
  }
}

HttpShutDownReport FCHttpRequestManager::ShutDown() {
  HttpShutDownReport report;
  m_eventWindow.Destroy();
  std::vector<worker::ThreadHandle> live;
  for (auto* list : {&m_running, &m_closing}) {
    for (FCHttpRequest* task : *list) {
      if (worker::ThreadHandle thread = task->PrepareClose()) live.push_back(thread);
    }
  }
  std::sort(live.begin(), live.end());
  live.erase(std::unique(live.begin(), live.end()), live.end());
  report.threadsWaitedFor = live.size();
  if (!live.empty()) {
    for (worker::ThreadHandle thread : worker::WaitInBatches(live, m_nShutDownWaitMs)) {
      worker::Terminate(thread);
      ++report.threadsTerminated;
    }
  }
  for (auto* list : {&m_running, &m_closing}) {
    for (FCHttpRequest* task : *list) {
      if (task->ThreadsEnded()) {
        delete task;
      } else {
        ++report.tasksAbandoned;  // its thread still uses it; freeing it would be worse
      }
    }
    list->clear();
  }
  return report;
}

}  // namespace corvane
