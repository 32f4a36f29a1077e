// A modeless dialog from a dialog template with a table-driven message map: the part of ATL's
// dialog classes the main window uses. The derived class T supplies
//   static const std::vector<MessageEntry<T>>& MessageMap();
// and the handlers; a handler that sets `handled` to FALSE lets the dialog manager's default
// behaviour run (for WM_CLOSE that is the Cancel command).
#pragma once

#include <windows.h>

#include <vector>

namespace corvane {

template <class T>
struct MessageEntry {
  using Handler = LRESULT (T::*)(UINT message, WPARAM wParam, LPARAM lParam, BOOL& handled);
  static constexpr UINT kAnyId = 0xFFFFFFFFu;

  UINT message;
  UINT commandId;  // WM_COMMAND entries: the command id (LOWORD of wParam); kAnyId for any
  Handler handler;
};

template <class T>
class CModelessDialog {
 public:
  CModelessDialog() = default;
  CModelessDialog(const CModelessDialog&) = delete;
  CModelessDialog& operator=(const CModelessDialog&) = delete;
  virtual ~CModelessDialog() {
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
  }

  // Creates the dialog from template `templateId` in `instance`; WM_INITDIALOG handlers see
  // `initParam` as their lParam. Returns the window or NULL.
  HWND Create(HWND parent, HINSTANCE instance, UINT templateId, LPARAM initParam = 0) {
    m_initParam = initParam;
    return ::CreateDialogParamW(instance, MAKEINTRESOURCEW(templateId), parent, &DialogProc,
                                reinterpret_cast<LPARAM>(this));
  }

  BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
  BOOL IsDialogMessage(MSG* msg) { return ::IsDialogMessageW(m_hWnd, msg); }
  HWND GetHwnd() const { return m_hWnd; }

  HWND m_hWnd = nullptr;

 protected:
  // After WM_NCDESTROY; m_hWnd is already cleared.
  virtual void OnFinalMessage(HWND /*hWnd*/) {}

 private:
  bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageEntry<T>& entry : T::MessageMap()) {
      if (entry.message != message) continue;
      if (message == WM_COMMAND && entry.commandId != MessageEntry<T>::kAnyId &&
          entry.commandId != LOWORD(wParam)) {
        continue;
      }
      BOOL handled = TRUE;
      result = (static_cast<T*>(this)->*entry.handler)(message, wParam, lParam, handled);
      if (handled) return true;
    }
    return false;
  }

  // Messages whose dialog-procedure result is the value itself rather than DWLP_MSGRESULT.
  static bool ReturnsValueDirectly(UINT message) {
    switch (message) {
      case WM_INITDIALOG:
      case WM_COMPAREITEM:
      case WM_VKEYTOITEM:
      case WM_CHARTOITEM:
      case WM_QUERYDRAGICON:
      case WM_CTLCOLORMSGBOX:
      case WM_CTLCOLOREDIT:
      case WM_CTLCOLORLISTBOX:
      case WM_CTLCOLORBTN:
      case WM_CTLCOLORDLG:
      case WM_CTLCOLORSCROLLBAR:
      case WM_CTLCOLORSTATIC:
        return true;
      default:
        return false;
    }
  }

  static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CModelessDialog* self = nullptr;
    if (message == WM_INITDIALOG) {
      self = reinterpret_cast<CModelessDialog*>(lParam);
      ::SetWindowLongPtrW(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
      self->m_hWnd = hWnd;
      lParam = self->m_initParam;
    } else {
      self = reinterpret_cast<CModelessDialog*>(::GetWindowLongPtrW(hWnd, DWLP_USER));
    }
    if (self == nullptr) return FALSE;  // messages before WM_INITDIALOG (WM_SETFONT)

    LRESULT result = 0;
    const bool handled = self->Dispatch(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(hWnd, DWLP_USER, 0);
      self->m_hWnd = nullptr;
      self->OnFinalMessage(hWnd);
      return handled ? TRUE : FALSE;
    }
    if (!handled) return FALSE;
    if (ReturnsValueDirectly(message)) return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result);
    return TRUE;
  }

  LPARAM m_initParam = 0;
};

}  // namespace corvane
