// The engine's UI-thread event sink: a hidden window that belongs to the thread that created it.
// Worker threads notify it without waiting; its receiver's handlers then run on that thread,
// as do its timers. On Windows it is a message-only window fed by SendNotifyMessageW and run
// by the thread's ordinary message loop (event_window_win.cpp); in the Linux desktop edition
// GLib sources on the creating thread's main context, run by the GTK main loop
// (event_window_gtk.cpp); in the portable tree a small per-thread event loop with the same
// contract (event_window_posix.cpp). PumpEventsUntil runs either for code without a loop.
#pragma once

#include <cstdint>
#include <functional>

namespace corvane {

using EventWindowHandle = void*;

// WM_APP + 0x30: a worker's stage notification (wParam task id, lParam stage).
constexpr uint32_t kHttpTaskEventMessage = 0x8030;

class IHttpEventReceiver {
 public:
  virtual void OnEventTimer(uint32_t timerId) = 0;
  virtual void OnTaskEvent(int32_t taskId, int32_t stage) = 0;

 protected:
  ~IHttpEventReceiver() = default;
};

// Owns one event window; destroying it drops notifications still queued and later ones.
class CHttpEventWindow {
 public:
  explicit CHttpEventWindow(IHttpEventReceiver* receiver);
  ~CHttpEventWindow();
  CHttpEventWindow(const CHttpEventWindow&) = delete;
  CHttpEventWindow& operator=(const CHttpEventWindow&) = delete;

  EventWindowHandle Get() const { return m_handle; }
  void Destroy();
  // A timer with an id already set is re-armed with the new period.
  void SetTimer(uint32_t timerId, uint32_t periodMs);
  void KillTimer(uint32_t timerId);

  // From any thread; does not wait. Called on the window's own thread it runs the handler at
  // once, as SendNotifyMessageW does. False when the window is gone.
  static bool Notify(EventWindowHandle window, int32_t taskId, int32_t stage);
  // Queues the event even on the window's own thread, so that it arrives only after the code
  // running there has returned to the event loop. False when the window is gone.
  static bool Post(EventWindowHandle window, int32_t taskId, int32_t stage);

 private:
  EventWindowHandle m_handle = nullptr;
};

// Runs the calling thread's events (messages on Windows) until done() is true or timeoutMs
// passed; true when done() became true. Programs with their own message loop need not call it.
bool PumpEventsUntil(const std::function<bool()>& done, int timeoutMs);

}  // namespace corvane
