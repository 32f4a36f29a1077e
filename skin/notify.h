// Notifications from controls to their window: TNotifyUI and the receiver interface INotifyUI.
#pragma once

#include <cstdint>

#include "skin/dui_string.h"
#include "skin/ui_types.h"

namespace corvane {

class CControlUI;

// Notification types.
inline constexpr wchar_t kNotifyClick[] = L"click";
inline constexpr wchar_t kNotifySelectChanged[] = L"selectchanged";
inline constexpr wchar_t kNotifySetFocus[] = L"setfocus";
inline constexpr wchar_t kNotifyKillFocus[] = L"killfocus";
inline constexpr wchar_t kNotifyWindowInit[] = L"windowinit";

struct TNotifyUI {
  CDuiString sType;
  CControlUI* pSender = nullptr;  // the control the notification is about
  uint64_t dwTimestamp = 0;       // sequence number within the window
  UiPoint ptMouse;                // logical client coordinates of the last mouse event
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

class INotifyUI {
 public:
  virtual void Notify(TNotifyUI& msg) = 0;

 protected:
  ~INotifyUI() = default;
};

}  // namespace corvane
