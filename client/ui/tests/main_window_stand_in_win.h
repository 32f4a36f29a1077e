// For the skinned windows' tests: a hidden top-level window standing for the client's main
// window (it becomes g_hMainWnd), recording the client's messages that reach it, and clicks
// delivered to a skinned window as the mouse would deliver them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "client/client_messages_win.h"
#include "skin/tests/window_test_support_win.h"
#include "skin/window_impl_base_win.h"

namespace corvane::test {

class CMainWindowStandIn {
 public:
  explicit CMainWindowStandIn(RECT place = RECT{100, 80, 1000, 580}) {
    WNDCLASSEXW wc = {sizeof(wc)};
    wc.lpfnWndProc = &CMainWindowStandIn::Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"CorvaneMainWindowStandIn";
    RegisterClassExW(&wc);  // fails harmlessly when already registered
    m_hWnd = CreateWindowExW(0, wc.lpszClassName, L"main window stand-in", WS_OVERLAPPEDWINDOW, place.left,
                             place.top, place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                             wc.hInstance, this);
    g_hMainWnd = m_hWnd;
    s_current = this;
    // Sees every message taken from this thread's queue, whichever loop takes it (a modal one
    // too): what it sees for the stand-in was posted, not sent.
    m_hook = SetWindowsHookExW(WH_GETMESSAGE, &CMainWindowStandIn::QueueHook, nullptr, GetCurrentThreadId());
  }
  ~CMainWindowStandIn() {
    UnhookWindowsHookEx(m_hook);
    s_current = nullptr;
    DestroyWindow(m_hWnd);
    g_hMainWnd = nullptr;
  }
  CMainWindowStandIn(const CMainWindowStandIn&) = delete;
  CMainWindowStandIn& operator=(const CMainWindowStandIn&) = delete;

  HWND Handle() const { return m_hWnd; }

  // Runs this thread's queue, then hands over the client messages posted to the stand-in since
  // the last call, in order.
  std::vector<UINT> TakePosted() {
    Pump();
    std::vector<UINT> posted;
    posted.swap(m_posted);
    return posted;
  }
  // The wParam of every WM_NCACTIVATE that reached the stand-in (sent by the system or by a
  // window), since the last call.
  std::vector<WPARAM> TakeNcActivates() {
    std::vector<WPARAM> taken;
    taken.swap(m_ncActivates);
    return taken;
  }

 private:
  static LRESULT CALLBACK Proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (s_current && hWnd == s_current->m_hWnd && message == WM_NCACTIVATE) s_current->m_ncActivates.push_back(wParam);
    if (message >= WM_TRAYICON && message <= WM_UPDATEUNVERIFIED) return 0;
    return DefWindowProcW(hWnd, message, wParam, lParam);
  }
  static LRESULT CALLBACK QueueHook(int code, WPARAM removal, LPARAM lParam) {
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && removal == PM_REMOVE && s_current && msg->hwnd == s_current->m_hWnd &&
        msg->message >= WM_TRAYICON && msg->message <= WM_UPDATEUNVERIFIED) {
      s_current->m_posted.push_back(msg->message);
    }
    return CallNextHookEx(nullptr, code, removal, lParam);
  }

  static inline CMainWindowStandIn* s_current = nullptr;
  HWND m_hWnd = nullptr;
  HHOOK m_hook = nullptr;
  std::vector<UINT> m_posted;
  std::vector<WPARAM> m_ncActivates;
};

// Gives a test access to a skinned window's manager.
template <typename Window>
class Exposed : public Window {
 public:
  CPaintManagerUI& Manager() { return this->m_PaintManager; }
};

// Press and release at the centre of `control`, as the mouse would: sent (handled at once) or
// posted (handled by the next message loop, e.g. a modal one).
inline void SendClick(HWND window, CPaintManagerUI& m, const wchar_t* control) {
  const LPARAM at = CentreOf(m, control);
  SendMessageW(window, WM_MOUSEMOVE, 0, at);
  SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(window, WM_LBUTTONUP, 0, at);
}
inline void PostClick(HWND window, CPaintManagerUI& m, const wchar_t* control) {
  const LPARAM at = CentreOf(m, control);
  PostMessageW(window, WM_MOUSEMOVE, 0, at);
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
  PostMessageW(window, WM_LBUTTONUP, 0, at);
}

}  // namespace corvane::test
