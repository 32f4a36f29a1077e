// The event window without a window system: each thread that creates one gets an event queue
// with timers, run by PumpEventsUntil on that thread; a notice from that thread itself runs at
// once, as on Windows. Windows are ids in a registry, never reused, so a worker that notifies
// a destroyed window is simply ignored, as with an HWND.
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "http/event_window.h"
#include "http/event_window_registry.h"

namespace corvane {

namespace {
using Clock = std::chrono::steady_clock;

struct TaskEvent {
  uintptr_t window;
  int32_t taskId;
  int32_t stage;
};

struct Timer {
  uintptr_t window;
  uint32_t id;
  std::chrono::milliseconds period;
  Clock::time_point due;
};

struct ThreadQueue {
  std::mutex lock;
  std::condition_variable wake;
  std::deque<TaskEvent> events;
  std::vector<Timer> timers;
};

struct WindowEntry {
  IHttpEventReceiver* receiver;
  std::shared_ptr<ThreadQueue> queue;
};

using Registry = inner::EventWindowRegistry<WindowEntry>;
Registry& TheRegistry() { return Registry::Instance(); }

std::shared_ptr<ThreadQueue> CurrentThreadQueue() {
  thread_local std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
  return queue;
}

bool FindWindow(uintptr_t id, WindowEntry* entry) {
  return TheRegistry().With(id, [entry](const WindowEntry& window) { *entry = window; });
}

uintptr_t Id(EventWindowHandle handle) { return reinterpret_cast<uintptr_t>(handle); }
}  // namespace

CHttpEventWindow::CHttpEventWindow(IHttpEventReceiver* receiver) {
  m_handle = reinterpret_cast<EventWindowHandle>(TheRegistry().Add(WindowEntry{receiver, CurrentThreadQueue()}));
}

CHttpEventWindow::~CHttpEventWindow() { Destroy(); }

void CHttpEventWindow::Destroy() {
  if (m_handle == nullptr) return;
  std::shared_ptr<ThreadQueue> queue;
  if (std::optional<WindowEntry> window = TheRegistry().Take(Id(m_handle))) queue = window->queue;
  if (queue) {
    std::lock_guard<std::mutex> hold(queue->lock);
    const uintptr_t id = Id(m_handle);
    queue->timers.erase(std::remove_if(queue->timers.begin(), queue->timers.end(),
                                       [id](const Timer& t) { return t.window == id; }),
                        queue->timers.end());
    queue->events.erase(std::remove_if(queue->events.begin(), queue->events.end(),
                                       [id](const TaskEvent& e) { return e.window == id; }),
                        queue->events.end());
  }
  m_handle = nullptr;
}

void CHttpEventWindow::SetTimer(uint32_t timerId, uint32_t periodMs) {
  WindowEntry entry;
  if (m_handle == nullptr || !FindWindow(Id(m_handle), &entry)) return;
  const std::chrono::milliseconds period(periodMs);
  std::lock_guard<std::mutex> hold(entry.queue->lock);
  for (Timer& timer : entry.queue->timers) {
    if (timer.window == Id(m_handle) && timer.id == timerId) {
      timer.period = period;
      timer.due = Clock::now() + period;
      return;
    }
  }
  entry.queue->timers.push_back(Timer{Id(m_handle), timerId, period, Clock::now() + period});
  entry.queue->wake.notify_all();
}

void CHttpEventWindow::KillTimer(uint32_t timerId) {
  WindowEntry entry;
  if (m_handle == nullptr || !FindWindow(Id(m_handle), &entry)) return;
  std::lock_guard<std::mutex> hold(entry.queue->lock);
  auto& timers = entry.queue->timers;
  const uintptr_t id = Id(m_handle);
  timers.erase(std::remove_if(timers.begin(), timers.end(),
                              [&](const Timer& t) { return t.window == id && t.id == timerId; }),
               timers.end());
}

bool CHttpEventWindow::Notify(EventWindowHandle window, int32_t taskId, int32_t stage) {
  WindowEntry entry;
  if (!FindWindow(Id(window), &entry)) return false;
  if (entry.queue == CurrentThreadQueue()) {
    entry.receiver->OnTaskEvent(taskId, stage);
    return true;
  }
  return Post(window, taskId, stage);
}

bool CHttpEventWindow::Post(EventWindowHandle window, int32_t taskId, int32_t stage) {
  WindowEntry entry;
  if (!FindWindow(Id(window), &entry)) return false;
  std::lock_guard<std::mutex> hold(entry.queue->lock);
  entry.queue->events.push_back(TaskEvent{Id(window), taskId, stage});
  entry.queue->wake.notify_all();
  return true;
}

namespace {
// Takes the next thing to do: a queued event first, else a timer that is due (timers, as
// WM_TIMER, come only when nothing else waits). False when nothing came before the deadline.
bool WaitForNext(ThreadQueue& queue, Clock::time_point deadline, TaskEvent* event, Timer* timer, bool* isTimer) {
  std::unique_lock<std::mutex> hold(queue.lock);
  for (;;) {
    if (!queue.events.empty()) {
      *event = queue.events.front();
      queue.events.pop_front();
      *isTimer = false;
      return true;
    }
    const Clock::time_point now = Clock::now();
    Clock::time_point wakeAt = deadline;
    for (Timer& t : queue.timers) {
      if (t.due <= now) {
        t.due = now + t.period;
        *timer = t;
        *isTimer = true;
        return true;
      }
      wakeAt = std::min(wakeAt, t.due);
    }
    if (now >= deadline) return false;
    queue.wake.wait_until(hold, wakeAt);
  }
}
}  // namespace

bool PumpEventsUntil(const std::function<bool()>& done, int timeoutMs) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::shared_ptr<ThreadQueue> queue = CurrentThreadQueue();
  for (;;) {
    if (done()) return true;
    TaskEvent event{};
    Timer timer{};
    bool isTimer = false;
    if (!WaitForNext(*queue, deadline, &event, &timer, &isTimer)) return done();
    WindowEntry entry;
    if (!FindWindow(isTimer ? timer.window : event.window, &entry)) continue;
    if (isTimer) {
      entry.receiver->OnEventTimer(timer.id);
    } else {
      entry.receiver->OnTaskEvent(event.taskId, event.stage);
    }
  }
}

}  // namespace corvane
