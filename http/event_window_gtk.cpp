// The event window of the Linux desktop edition: notices and timers are GLib sources on the main
// context of the thread that created the window (the default context for g_httpManager), so the
// GTK main loop that runs the program delivers them; no second loop. Windows are ids in a
// registry, never reused: a source that fires after its window was destroyed finds nothing and
// does nothing, as a message to a destroyed HWND.
#include <glib.h>

#include <cstdint>
#include <map>
#include <optional>
#include <thread>

#include "http/event_window.h"
#include "http/event_window_registry.h"

namespace corvane {

namespace {

struct WindowEntry {
  IHttpEventReceiver* receiver;
  GMainContext* context;  // referenced while the window lives
  std::thread::id owner;
  std::map<uint32_t, GSource*> timers;
};

using Registry = inner::EventWindowRegistry<WindowEntry>;
Registry& TheRegistry() { return Registry::Instance(); }

uintptr_t Id(EventWindowHandle handle) { return reinterpret_cast<uintptr_t>(handle); }

// The receiver of a live window, or null; the lock is not held while it runs.
IHttpEventReceiver* ReceiverOf(uintptr_t id) {
  IHttpEventReceiver* receiver = nullptr;
  TheRegistry().With(id, [&](WindowEntry& window) { receiver = window.receiver; });
  return receiver;
}

struct TaskEvent {
  uintptr_t window;
  int32_t taskId;
  int32_t stage;
};

gboolean DeliverTaskEvent(gpointer data) {
  const auto* event = static_cast<TaskEvent*>(data);
  if (IHttpEventReceiver* receiver = ReceiverOf(event->window)) receiver->OnTaskEvent(event->taskId, event->stage);
  return G_SOURCE_REMOVE;
}

struct TimerTick {
  uintptr_t window;
  uint32_t timerId;
};

gboolean DeliverTimer(gpointer data) {
  const auto* tick = static_cast<TimerTick*>(data);
  if (IHttpEventReceiver* receiver = ReceiverOf(tick->window)) receiver->OnEventTimer(tick->timerId);
  return G_SOURCE_CONTINUE;  // until KillTimer or Destroy removes it
}

// Timers, as WM_TIMER, come after the notices that wait.
constexpr int kTimerPriority = G_PRIORITY_DEFAULT_IDLE;

void DestroySources(std::map<uint32_t, GSource*>& timers) {
  for (auto& [id, source] : timers) {
    g_source_destroy(source);
    g_source_unref(source);
  }
  timers.clear();
}

}  // namespace

CHttpEventWindow::CHttpEventWindow(IHttpEventReceiver* receiver) {
  const uintptr_t id = TheRegistry().Add(
      WindowEntry{receiver, g_main_context_ref_thread_default(), std::this_thread::get_id(), {}});
  m_handle = reinterpret_cast<EventWindowHandle>(id);
}

CHttpEventWindow::~CHttpEventWindow() { Destroy(); }

void CHttpEventWindow::Destroy() {
  if (m_handle == nullptr) return;
  if (std::optional<WindowEntry> window = TheRegistry().Take(Id(m_handle))) {
    DestroySources(window->timers);
    g_main_context_unref(window->context);
  }
  m_handle = nullptr;
}

void CHttpEventWindow::SetTimer(uint32_t timerId, uint32_t periodMs) {
  if (m_handle == nullptr) return;
  const uintptr_t id = Id(m_handle);
  TheRegistry().With(id, [&](WindowEntry& window) {
    GSource*& slot = window.timers[timerId];
    if (slot != nullptr) {  // re-armed: the period starts again
      g_source_destroy(slot);
      g_source_unref(slot);
    }
    slot = g_timeout_source_new(periodMs);
    g_source_set_priority(slot, kTimerPriority);
    g_source_set_callback(slot, &DeliverTimer, new TimerTick{id, timerId},
                          [](gpointer data) { delete static_cast<TimerTick*>(data); });
    g_source_attach(slot, window.context);
  });
}

void CHttpEventWindow::KillTimer(uint32_t timerId) {
  if (m_handle == nullptr) return;
  TheRegistry().With(Id(m_handle), [&](WindowEntry& window) {
    auto timer = window.timers.find(timerId);
    if (timer == window.timers.end()) return;
    g_source_destroy(timer->second);
    g_source_unref(timer->second);
    window.timers.erase(timer);
  });
}

bool CHttpEventWindow::Notify(EventWindowHandle window, int32_t taskId, int32_t stage) {
  IHttpEventReceiver* receiver = nullptr;
  const bool live = TheRegistry().With(Id(window), [&](WindowEntry& entry) {
    if (entry.owner == std::this_thread::get_id()) receiver = entry.receiver;
  });
  if (!live) return false;
  if (receiver == nullptr) return Post(window, taskId, stage);
  receiver->OnTaskEvent(taskId, stage);
  return true;
}

bool CHttpEventWindow::Post(EventWindowHandle window, int32_t taskId, int32_t stage) {
  return TheRegistry().With(Id(window), [&](WindowEntry& entry) {
    // Sources of one priority are dispatched in the order they were attached: notices keep theirs.
    GSource* source = g_idle_source_new();
    g_source_set_priority(source, G_PRIORITY_DEFAULT);
    g_source_set_callback(source, &DeliverTaskEvent, new TaskEvent{Id(window), taskId, stage},
                          [](gpointer data) { delete static_cast<TaskEvent*>(data); });
    g_source_attach(source, entry.context);  // wakes the context's loop from another thread
    g_source_unref(source);
  });
}

bool PumpEventsUntil(const std::function<bool()>& done, int timeoutMs) {
  GMainContext* context = g_main_context_ref_thread_default();
  bool expired = false;
  GSource* deadline = g_timeout_source_new(static_cast<guint>(timeoutMs < 0 ? 0 : timeoutMs));
  g_source_set_callback(deadline, [](gpointer flag) -> gboolean {
    *static_cast<bool*>(flag) = true;
    return G_SOURCE_REMOVE;
  }, &expired, nullptr);
  g_source_attach(deadline, context);
  while (!done() && !expired) g_main_context_iteration(context, TRUE);
  g_source_destroy(deadline);
  g_source_unref(deadline);
  g_main_context_unref(context);
  return done();
}

}  // namespace corvane
