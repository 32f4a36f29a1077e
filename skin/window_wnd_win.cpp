// Window class registration, the window procedure that reaches the object, and the modal loop.
#include "skin/window_wnd_win.h"

#include <algorithm>
#include <string>

#include "skin/paint_manager_win.h"

namespace corvane {

bool CWindowWnd::RegisterWindowClass() {
  HINSTANCE instance = CPaintManagerUI::GetInstance();
  WNDCLASSEXW wc = {sizeof(wc)};
  if (GetClassInfoExW(instance, GetWindowClassName(), &wc)) return true;
  wc = WNDCLASSEXW{sizeof(wc)};
  if (LPCWSTR super = GetSuperClassName()) {
    WNDCLASSEXW base = {sizeof(base)};
    if (!GetClassInfoExW(nullptr, super, &base) && !GetClassInfoExW(instance, super, &base)) return false;
    wc = base;
    wc.cbSize = sizeof(wc);
  }
  wc.style = GetClassStyle();
  wc.lpfnWndProc = &CWindowWnd::WindowProc;
  wc.hInstance = instance;
  if (!wc.hCursor) wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = nullptr;
  wc.lpszClassName = GetWindowClassName();
  wc.lpszMenuName = nullptr;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND CWindowWnd::Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x, int y, int cx,
                        int cy, HMENU hMenu) {
  if (GetSuperClassName()) {
    WNDCLASSEXW base = {sizeof(base)};
    if (GetClassInfoExW(nullptr, GetSuperClassName(), &base)) m_superProc = base.lpfnWndProc;
  }
  if (!RegisterWindowClass()) return nullptr;
  return CreateWindowExW(dwExStyle, GetWindowClassName(), pstrName, dwStyle, x, y, cx, cy, hwndParent, hMenu,
                         CPaintManagerUI::GetInstance(), this);
}

HWND CWindowWnd::Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
                        HMENU hMenu) {
  return Create(hwndParent, pstrName, dwStyle, dwExStyle, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top,
                hMenu);
}

LRESULT CALLBACK CWindowWnd::WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam) {
  CWindowWnd* self = nullptr;
  if (uMsg == WM_NCCREATE) {
    self = static_cast<CWindowWnd*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->m_hWnd = hWnd;
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<CWindowWnd*>(GetWindowLongPtrW(hWnd, GWLP_USERDATA));
  }
  if (self == nullptr) return DefWindowProcW(hWnd, uMsg, wParam, lParam);
  if (uMsg == WM_NCDESTROY) {
    const LRESULT result = self->HandleMessage(uMsg, wParam, lParam);
    SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
    self->m_hWnd = nullptr;
    self->m_modalRun = nullptr;
    self->OnFinalMessage(hWnd);  // may delete the object: nothing of it is touched afterwards
    return result;
  }
  if (uMsg == WM_CLOSE && self->m_modalRun) self->m_modalRun->WindowClosing();
  return self->HandleMessage(uMsg, wParam, lParam);
}

LRESULT CWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (m_superProc) return CallWindowProcW(m_superProc, m_hWnd, uMsg, wParam, lParam);
  return DefWindowProcW(m_hWnd, uMsg, wParam, lParam);
}

void CWindowWnd::OnFinalMessage(HWND /*hWnd*/) {}

CWindowWnd::~CWindowWnd() {
  if (m_hWnd && IsWindow(m_hWnd)) {
    // The object goes first: the window must not call into it any more.
    SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
    DestroyWindow(m_hWnd);
  }
}

void CWindowWnd::CenterWindow() {
  if (!m_hWnd) return;
  RECT self;
  GetWindowRect(m_hWnd, &self);
  const int w = self.right - self.left;
  const int h = self.bottom - self.top;
  const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
  if (style & WS_CHILD) {
    HWND parent = GetParent(m_hWnd);
    RECT area;
    GetClientRect(parent, &area);
    SetWindowPos(m_hWnd, nullptr, (area.right - w) / 2, (area.bottom - h) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  HWND owner = GetWindow(m_hWnd, GW_OWNER);
  MONITORINFO monitor = {sizeof(monitor)};
  GetMonitorInfoW(MonitorFromWindow(owner ? owner : m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT work = monitor.rcWork;
  RECT centre = work;
  if (owner && IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &centre);
  int x = centre.left + (centre.right - centre.left - w) / 2;
  int y = centre.top + (centre.bottom - centre.top - h) / 2;
  x = std::max<int>(work.left, std::min<int>(x, work.right - w));
  y = std::max<int>(work.top, std::min<int>(y, work.bottom - h));
  SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

namespace {

// The modal run over Win32: the thread's message queue; WM_CLOSE posted to the window carries
// the value given to Close.
class CWin32ModalHost : public IModalHost {
 public:
  CWin32ModalHost(HWND window, CModalRun& run) : m_window(window), m_owner(GetWindow(window, GW_OWNER)), m_run(run) {}
  void ShowWindow() override { ::ShowWindow(m_window, SW_SHOWNORMAL); }
  void SetOwnerEnabled(bool enabled) override {
    if (m_owner) EnableWindow(m_owner, enabled ? TRUE : FALSE);
  }
  void FocusOwner() override {
    if (m_owner) SetFocus(m_owner);
  }
  bool IsWindowAlive() const override { return IsWindow(m_window) != FALSE; }
  bool DispatchOne(int& quitCode) override {
    MSG msg;
    if (GetMessageW(&msg, nullptr, 0, 0) <= 0) {
      quitCode = static_cast<int>(msg.wParam);
      return false;
    }
    if (msg.message == WM_CLOSE && msg.hwnd == m_window) m_run.CloseRequested(static_cast<unsigned>(msg.wParam));
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
  }
  void RepostQuit(int quitCode) override { PostQuitMessage(quitCode); }

 private:
  HWND m_window;
  HWND m_owner;
  CModalRun& m_run;
};

}  // namespace

UINT CWindowWnd::ShowModal() {
  if (!m_hWnd) return IDCANCEL;
  HWND window = m_hWnd;
  CModalRun run;
  CWin32ModalHost host(window, run);
  m_modalRun = &run;
  const UINT result = run.Run(host);
  // A window that is gone may have taken its object with it (OnFinalMessage); one still alive
  // (a quit ended the run) keeps its object.
  if (IsWindow(window)) m_modalRun = nullptr;
  return result;
}

void CWindowWnd::Close(UINT nRet) {
  if (m_hWnd) PostMessageW(m_hWnd, WM_CLOSE, nRet, 0);
}

}  // namespace corvane
