// CToolTipHost: the Win32 tooltip of a skinned window — one tool, following the hovered
// control, whose text is that control's tooltip (icon-only controls; see ToolTipFor).
#pragma once

#include <windows.h>

#include <string>

#include "base/unique_handle_win.h"

namespace corvane {

class CControlUI;

class CToolTipHost {
 public:
  void Attach(HWND window) { m_window = window; }
  // The pointer is over `control` (null: over none) at physical client `rect`; an empty
  // `text` shows nothing. The tooltip control is made on first need.
  void Track(const CControlUI* control, const std::wstring& text, const RECT& rect);
  // Before the window goes: the tooltip watches its messages.
  void Destroy();
  // The tooltip control, or null before any tooltip was needed.
  HWND Handle() const { return m_tip.Get(); }

 private:
  HWND m_window = nullptr;
  UniqueWindow m_tip;
  const CControlUI* m_control = nullptr;
  bool m_hasTool = false;
  std::wstring m_text;
};

}  // namespace corvane
