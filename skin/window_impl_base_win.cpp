// The skinned window's defaults: building from the skin on WM_CREATE, the borderless frame,
// caption dragging, size limits, the caption boxes and the routing of clicks.
#include "skin/window_impl_base_win.h"

#include <windowsx.h>

#include "skin/frame_hit.h"

namespace corvane {

WindowImplBase::~WindowImplBase() { m_PaintManager.RemoveNotifier(this); }

std::shared_ptr<const IResourceSource> WindowImplBase::OpenSkin() {
  return corvane::OpenSkin(GetResourceType(), CPaintManagerUI::GetInstancePath(), GetZIPFileName().str(),
                           GetSkinFolder().str());
}

LONG WindowImplBase::GetStyle() {
  LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
  style &= ~WS_CAPTION;
  return style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
}

LRESULT WindowImplBase::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = TRUE;
  SetWindowLongW(m_hWnd, GWL_STYLE, GetStyle());
  m_PaintManager.Init(m_hWnd);
  m_PaintManager.AddNotifier(this);
  m_PaintManager.AddMessageFilter(this);
  m_PaintManager.LoadLayout(OpenSkin(), GetSkinFile().str(), this);

  // The layout's size replaces the one given to Create; the frame is recomputed (none).
  const UiSize size = m_PaintManager.GetWindowAttributes().size;
  const UiScale& scale = m_PaintManager.GetScale();
  UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
  UiSize device;
  if (size.cx > 0 && size.cy > 0) {
    device = scale.ToDevice(size);
  } else {
    flags |= SWP_NOSIZE;
  }
  SetWindowPos(m_hWnd, nullptr, 0, 0, device.cx, device.cy, flags);
  RECT client;
  GetClientRect(m_hWnd, &client);
  m_PaintManager.SetClientSize(scale.ToLogical(UiSize{client.right, client.bottom}));
  InitWindow();
  return 0;
}

LRESULT WindowImplBase::OnClose(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;  // the default procedure destroys the window
  return 0;
}

LRESULT WindowImplBase::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnNcActivate(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if (IsIconic(m_hWnd)) {
    bHandled = FALSE;
    return 0;
  }
  (void)wParam;
  return TRUE;  // no system frame to redraw; deactivation may proceed
}

LRESULT WindowImplBase::OnNcCalcSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = TRUE;
  return 0;  // the client area is the whole window: the skin draws the frame
}

LRESULT WindowImplBase::OnNcPaint(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = TRUE;
  return 0;
}

LRESULT WindowImplBase::OnNcHitTest(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  bHandled = TRUE;
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ScreenToClient(m_hWnd, &pt);
  const LONG style = GetWindowLongW(m_hWnd, GWL_STYLE);
  RECT client;
  GetClientRect(m_hWnd, &client);
  UiFrameState state;
  state.child = (style & WS_CHILD) != 0;
  state.resizable = (style & WS_THICKFRAME) != 0;
  state.maximised = IsZoomed(m_hWnd) != FALSE;
  switch (HitTestFrame(m_PaintManager, UiPoint{pt.x, pt.y}, UiSize{client.right, client.bottom},
                       m_PaintManager.GetScale(), state)) {
    case UiFrameHit::Caption: return HTCAPTION;
    case UiFrameHit::Left: return HTLEFT;
    case UiFrameHit::Right: return HTRIGHT;
    case UiFrameHit::Top: return HTTOP;
    case UiFrameHit::Bottom: return HTBOTTOM;
    case UiFrameHit::TopLeft: return HTTOPLEFT;
    case UiFrameHit::TopRight: return HTTOPRIGHT;
    case UiFrameHit::BottomLeft: return HTBOTTOMLEFT;
    case UiFrameHit::BottomRight: return HTBOTTOMRIGHT;
    case UiFrameHit::Client: break;
  }
  return HTCLIENT;
}

LRESULT WindowImplBase::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled) {
  bHandled = TRUE;
  auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
  // Maximised, a borderless window covers the work area exactly (not the taskbar).
  MONITORINFO monitor = {sizeof(monitor)};
  GetMonitorInfoW(MonitorFromWindow(m_hWnd, MONITOR_DEFAULTTONEAREST), &monitor);
  info->ptMaxPosition.x = monitor.rcWork.left - monitor.rcMonitor.left;
  info->ptMaxPosition.y = monitor.rcWork.top - monitor.rcMonitor.top;
  info->ptMaxSize.x = monitor.rcWork.right - monitor.rcWork.left;
  info->ptMaxSize.y = monitor.rcWork.bottom - monitor.rcWork.top;
  const UiScale& scale = m_PaintManager.GetScale();
  const UiWindowAttributes& w = m_PaintManager.GetWindowAttributes();
  if (w.minInfo.cx > 0) info->ptMinTrackSize.x = scale.ToDevice(w.minInfo.cx);
  if (w.minInfo.cy > 0) info->ptMinTrackSize.y = scale.ToDevice(w.minInfo.cy);
  if (w.maxInfo.cx > 0) info->ptMaxTrackSize.x = scale.ToDevice(w.maxInfo.cx);
  if (w.maxInfo.cy > 0) info->ptMaxTrackSize.y = scale.ToDevice(w.maxInfo.cy);
  return 0;
}

LRESULT WindowImplBase::OnMouseWheel(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnMouseHover(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnSize(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;  // the manager lays the tree out again
  return 0;
}

LRESULT WindowImplBase::OnChar(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled) {
  if ((wParam & 0xFFF0) == SC_CLOSE) {
    bHandled = TRUE;
    SendMessageW(m_hWnd, WM_CLOSE, IDCANCEL, 0);
    return 0;
  }
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnKeyDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;  // the manager moves the focus or clicks; the rest goes to ResponseDefaultKeyEvent
  return 0;
}

LRESULT WindowImplBase::OnKillFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnLButtonDown(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnLButtonUp(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::OnMouseMove(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::HandleCustomMessage(UINT, WPARAM, LPARAM, BOOL& bHandled) {
  bHandled = FALSE;
  return 0;
}

LRESULT WindowImplBase::ResponseDefaultKeyEvent(WPARAM wParam) {
  if (wParam == VK_ESCAPE && !(GetWindowLongW(m_hWnd, GWL_STYLE) & WS_CHILD)) {
    Close(IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

LRESULT WindowImplBase::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  BOOL handled = TRUE;
  switch (uMsg) {
    case WM_CREATE: result = OnCreate(uMsg, wParam, lParam, handled); break;
    case WM_CLOSE: result = OnClose(uMsg, wParam, lParam, handled); break;
    case WM_DESTROY: result = OnDestroy(uMsg, wParam, lParam, handled); break;
    case WM_NCACTIVATE: result = OnNcActivate(uMsg, wParam, lParam, handled); break;
    case WM_NCCALCSIZE: result = OnNcCalcSize(uMsg, wParam, lParam, handled); break;
    case WM_NCPAINT: result = OnNcPaint(uMsg, wParam, lParam, handled); break;
    case WM_NCHITTEST: result = OnNcHitTest(uMsg, wParam, lParam, handled); break;
    case WM_GETMINMAXINFO: result = OnGetMinMaxInfo(uMsg, wParam, lParam, handled); break;
    case WM_MOUSEWHEEL: result = OnMouseWheel(uMsg, wParam, lParam, handled); break;
    case WM_MOUSEHOVER: result = OnMouseHover(uMsg, wParam, lParam, handled); break;
    case WM_SIZE: result = OnSize(uMsg, wParam, lParam, handled); break;
    case WM_CHAR: result = OnChar(uMsg, wParam, lParam, handled); break;
    case WM_SYSCOMMAND: result = OnSysCommand(uMsg, wParam, lParam, handled); break;
    case WM_KEYDOWN: result = OnKeyDown(uMsg, wParam, lParam, handled); break;
    case WM_KILLFOCUS: result = OnKillFocus(uMsg, wParam, lParam, handled); break;
    case WM_SETFOCUS: result = OnSetFocus(uMsg, wParam, lParam, handled); break;
    case WM_LBUTTONUP: result = OnLButtonUp(uMsg, wParam, lParam, handled); break;
    case WM_LBUTTONDOWN: result = OnLButtonDown(uMsg, wParam, lParam, handled); break;
    case WM_MOUSEMOVE: result = OnMouseMove(uMsg, wParam, lParam, handled); break;
    case WM_NCLBUTTONDBLCLK:
      // A double click on the caption maximises or restores, as on any Windows frame that
      // has a maximise box (done here: the skinned frame has no system caption).
      if (wParam == HTCAPTION && (GetWindowLongW(m_hWnd, GWL_STYLE) & WS_MAXIMIZEBOX)) {
        SendMessageW(m_hWnd, WM_SYSCOMMAND, IsZoomed(m_hWnd) ? SC_RESTORE : SC_MAXIMIZE, lParam);
        return 0;
      }
      handled = FALSE;
      break;
    default: handled = FALSE; break;
  }
  if (handled) return result;
  handled = TRUE;
  result = HandleCustomMessage(uMsg, wParam, lParam, handled);
  if (handled) return result;
  if (uMsg == WM_KEYDOWN) {
    HWND window = m_hWnd;
    if (m_PaintManager.MessageHandler(uMsg, wParam, lParam, result)) return result;
    if (!IsWindow(window)) return 0;
    if (ResponseDefaultKeyEvent(wParam)) return 0;
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
  }
  if (m_PaintManager.MessageHandler(uMsg, wParam, lParam, result)) return result;
  return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

void WindowImplBase::OnFinalMessage(HWND hWnd) {
  m_PaintManager.RemoveNotifier(this);
  m_PaintManager.RemoveMessageFilter(this);
  CWindowWnd::OnFinalMessage(hWnd);
}

void WindowImplBase::Notify(TNotifyUI& msg) {
  if (msg.sType == kNotifyClick) OnClick(msg);
}

void WindowImplBase::OnClick(TNotifyUI& msg) {
  if (!msg.pSender) return;
  const CDuiString& name = msg.pSender->GetName();
  if (name == L"closebtn") {
    Close(IDCANCEL);
  } else if (name == L"minbtn") {
    SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  } else if (name == L"maxbtn") {
    SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  } else if (name == L"restorebtn") {
    SendMessageW(m_hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  }
}

LRESULT WindowImplBase::MessageHandler(UINT, WPARAM, LPARAM, bool& bHandled) {
  bHandled = false;
  return 0;
}

CControlUI* WindowImplBase::CreateControl(const wchar_t*) { return nullptr; }

}  // namespace corvane
