// The event window on Win32: the message-only window "cobwave_http_event_wnd", its window
// procedure, SetTimer/KillTimer, SendNotifyMessageW and PostMessageW, and a message pump for tools and tests.
#include <windows.h>

#include "http/event_window.h"

namespace corvane {

namespace {
constexpr wchar_t kClassName[] = L"cobwave_http_event_wnd";

LRESULT CALLBACK EventWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* receiver = reinterpret_cast<IHttpEventReceiver*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (receiver != nullptr) {
    if (message == WM_TIMER) {
      receiver->OnEventTimer(static_cast<uint32_t>(wParam));
      return 0;
    }
    if (message == kHttpTaskEventMessage) {
      receiver->OnTaskEvent(static_cast<int32_t>(wParam), static_cast<int32_t>(lParam));
      return 0;
    }
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND Window(EventWindowHandle handle) { return static_cast<HWND>(handle); }
}  // namespace

CHttpEventWindow::CHttpEventWindow(IHttpEventReceiver* receiver) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = EventWindowProc;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kClassName;
  RegisterClassExW(&windowClass);  // fails harmlessly when a second manager registers again
  HWND window = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (window != nullptr) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(receiver));
  m_handle = window;
}

CHttpEventWindow::~CHttpEventWindow() { Destroy(); }

void CHttpEventWindow::Destroy() {
  if (m_handle == nullptr) return;
  SetWindowLongPtrW(Window(m_handle), GWLP_USERDATA, 0);
  DestroyWindow(Window(m_handle));
  m_handle = nullptr;
}

void CHttpEventWindow::SetTimer(uint32_t timerId, uint32_t periodMs) {
  if (m_handle != nullptr) ::SetTimer(Window(m_handle), timerId, periodMs, nullptr);
}

void CHttpEventWindow::KillTimer(uint32_t timerId) {
  if (m_handle != nullptr) ::KillTimer(Window(m_handle), timerId);
}

bool CHttpEventWindow::Notify(EventWindowHandle window, int32_t taskId, int32_t stage) {
  return SendNotifyMessageW(Window(window), kHttpTaskEventMessage, static_cast<WPARAM>(taskId),
                            static_cast<LPARAM>(stage)) != FALSE;
}

bool CHttpEventWindow::Post(EventWindowHandle window, int32_t taskId, int32_t stage) {
  return PostMessageW(Window(window), kHttpTaskEventMessage, static_cast<WPARAM>(taskId),
                      static_cast<LPARAM>(stage)) != FALSE;
}

bool PumpEventsUntil(const std::function<bool()>& done, int timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return done();
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
      if (done()) return true;
    }
    if (done()) return true;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now), QS_ALLINPUT);
  }
}

}  // namespace corvane
