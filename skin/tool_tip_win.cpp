// CToolTipHost: a comctl32 tooltip that watches the window itself (TTF_SUBCLASS) and is
// re-pointed at the control under the pointer.
#include "skin/tool_tip_win.h"

#include <commctrl.h>

namespace corvane {
namespace {

TOOLINFOW ToolOf(HWND window) {
  TOOLINFOW tool = {};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;  // understood by every comctl32, with or without a manifest
  tool.hwnd = window;
  tool.uId = 1;
  return tool;
}

}  // namespace

void CToolTipHost::Track(const CControlUI* control, const std::wstring& text, const RECT& rect) {
  if (!m_window || (control == m_control && text == m_text)) return;
  m_control = control;
  m_text = text;
  if (m_hasTool) {
    TOOLINFOW tool = ToolOf(m_window);
    SendMessageW(m_tip.Get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    m_hasTool = false;
  }
  if (text.empty()) return;
  if (!m_tip) {
    INITCOMMONCONTROLSEX init = {sizeof(init), ICC_BAR_CLASSES};
    InitCommonControlsEx(&init);
    m_tip.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_window, nullptr,
                                GetModuleHandleW(nullptr), nullptr));
    if (!m_tip) return;
  }
  TOOLINFOW tool = ToolOf(m_window);
  tool.uFlags = TTF_SUBCLASS;
  tool.rect = rect;
  tool.lpszText = &m_text[0];  // copied by the control
  m_hasTool = SendMessageW(m_tip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void CToolTipHost::Destroy() {
  m_tip.Reset();
  m_hasTool = false;
  m_control = nullptr;
  m_text.clear();
}

}  // namespace corvane
