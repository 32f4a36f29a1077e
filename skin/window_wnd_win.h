// CWindowWnd: one Win32 window bound to a C++ object — class registration, creation, the
// modal loop, centring and closing. Skinned windows derive from WindowImplBase, built on it.
#pragma once

#include <windows.h>

#include "skin/modal_run.h"

namespace corvane {

class CWindowWnd {
 public:
  CWindowWnd() = default;
  CWindowWnd(const CWindowWnd&) = delete;
  CWindowWnd& operator=(const CWindowWnd&) = delete;

  HWND GetHWND() const { return m_hWnd; }
  operator HWND() const { return m_hWnd; }

  // Creates the window (registering its class first); WM_CREATE builds the skinned content.
  HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, int x = CW_USEDEFAULT,
              int y = CW_USEDEFAULT, int cx = CW_USEDEFAULT, int cy = CW_USEDEFAULT, HMENU hMenu = nullptr);
  HWND Create(HWND hwndParent, LPCWSTR pstrName, DWORD dwStyle, DWORD dwExStyle, const RECT& rc,
              HMENU hMenu = nullptr);

  // Centres on the owner (a child window: on its parent), else on the monitor's work area,
  // kept inside that work area.
  void CenterWindow();
  // Shows the window, disables its owner and pumps messages until the window is gone. Returns
  // the value given to Close, or IDCANCEL when the window was ended otherwise. A WM_QUIT met
  // meanwhile ends the loop and is posted again for the outer loop.
  UINT ShowModal();
  // Asks the window to close (posted WM_CLOSE carrying `nRet`).
  void Close(UINT nRet = IDOK);

  virtual LPCWSTR GetWindowClassName() const = 0;
  // A system class to build on (superclassing), or null.
  virtual LPCWSTR GetSuperClassName() const { return nullptr; }
  virtual UINT GetClassStyle() const { return CS_DBLCLKS; }
  virtual LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);
  // After WM_NCDESTROY; the handle is already cleared. An object on the heap may delete itself.
  virtual void OnFinalMessage(HWND hWnd);
  virtual ~CWindowWnd();

 protected:
  bool RegisterWindowClass();
  static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

  HWND m_hWnd = nullptr;
  WNDPROC m_superProc = nullptr;  // the superclass's procedure, for default handling
  CModalRun* m_modalRun = nullptr;  // while ShowModal runs
};

}  // namespace corvane
