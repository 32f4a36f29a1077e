// Message plumbing of a skinned window: painting, pointer, keys, focus, size.
#include "skin/paint_manager_win.h"

#include <windowsx.h>

#include <algorithm>

#include "base/unique_handle_win.h"
#include "skin/accessible_win.h"

namespace corvane {
namespace {

HINSTANCE g_instance = nullptr;

UiKey KeyOf(WPARAM key) {
  switch (key) {
    case VK_TAB: return (GetKeyState(VK_SHIFT) & 0x8000) ? UiKey::ShiftTab : UiKey::Tab;
    case VK_SPACE: return UiKey::Space;
    case VK_RETURN: return UiKey::Enter;
    case VK_ESCAPE: return UiKey::Escape;
    default: return UiKey::Other;
  }
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() : m_resources(*this) {}
CPaintManagerUI::~CPaintManagerUI() { ReleaseAccessible(); }

void CPaintManagerUI::ReleaseAccessible() {
  SetAccessibleListener(nullptr);
  if (m_accessible) m_accessible.Get()->Disconnect();
  m_accessible.Reset();
  m_toolTip.Destroy();
}

void CPaintManagerUI::SetInstance(HINSTANCE instance) { g_instance = instance; }
HINSTANCE CPaintManagerUI::GetInstance() { return g_instance ? g_instance : GetModuleHandleW(nullptr); }

std::wstring CPaintManagerUI::GetInstancePath() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(GetInstance(), path, MAX_PATH);
  std::wstring folder(path, length);
  const size_t slash = folder.find_last_of(L"\\/");
  folder.resize(slash == std::wstring::npos ? 0 : slash + 1);
  return folder;
}

void CPaintManagerUI::MessageLoop() {
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void CPaintManagerUI::Init(HWND window) {
  m_window = window;
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  m_scale = UiScale(dpi > 0 ? dpi / 96.0f : 1.0f);
  SetInvalidateHandler([this](const UiRect& rc) {
    if (!m_window) return;
    RECT r = ToPhysical(rc);
    InflateRect(&r, 1, 1);
    InvalidateRect(m_window, &r, FALSE);
  });
  // Before the layout is loaded: its first tree is the baseline later changes are compared to.
  m_accessible.Reset(new CAccessibleWindow(window, *this));
  SetAccessibleListener([this](CControlUI* control, UiAccChange change) {
    if (m_accessible) m_accessible.Get()->Changed(control, change);
  });
  m_toolTip.Attach(window);
}

void CPaintManagerUI::SetDpiScale(float scale) {
  if (scale <= 0) return;
  // The window keeps its logical size, so the layout (and every control's place) stays as it
  // is and only the device pixels change.
  const UiSize logical = GetClientSize();
  m_scale = UiScale(scale);
  if (m_window && logical.cx > 0 && logical.cy > 0) {
    const UiSize device = m_scale.ToDevice(logical);
    SetWindowPos(m_window, nullptr, 0, 0, device.cx, device.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetClientSize(logical);
  }
}

UiPoint CPaintManagerUI::ToLogical(POINT p) const { return m_scale.ToLogical(UiPoint{p.x, p.y}); }

RECT CPaintManagerUI::ToPhysical(const UiRect& rc) const {
  const UiRect d = m_scale.ToDevice(rc);
  return RECT{d.left, d.top, d.right, d.bottom};
}

void CPaintManagerUI::AddMessageFilter(IMessageFilterUI* filter) {
  if (filter && std::find(m_filters.begin(), m_filters.end(), filter) == m_filters.end()) m_filters.push_back(filter);
}

void CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* filter) {
  m_filters.erase(std::remove(m_filters.begin(), m_filters.end(), filter), m_filters.end());
}

void CPaintManagerUI::PaintTo(HDC dc, int width, int height) {
  if (width <= 0 || height <= 0) return;
  EnsureGdiPlus();
  // One off-screen bitmap per paint: the window never shows a half-drawn state.
  UniqueCreatedDc memory(CreateCompatibleDC(dc));
  UniqueGdiObject bitmap(CreateCompatibleBitmap(dc, width, height));
  if (!memory || !bitmap) return;
  HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
  {
    Gdiplus::Graphics g(memory.Get());
    CGdiPlusRender render(g, m_scale.Factor(), m_resources);
    Paint(render);
  }
  BitBlt(dc, 0, 0, width, height, memory.Get(), 0, 0, SRCCOPY);
  SelectObject(memory.Get(), old);
}

std::unique_ptr<Gdiplus::Bitmap> CPaintManagerUI::RenderToBitmap() {
  EnsureGdiPlus();
  const UiSize size = m_scale.ToDevice(GetClientSize());
  if (size.cx <= 0 || size.cy <= 0) return nullptr;
  auto bitmap = std::make_unique<Gdiplus::Bitmap>(size.cx, size.cy, PixelFormat32bppARGB);
  Gdiplus::Graphics g(bitmap.get());
  CGdiPlusRender render(g, m_scale.Factor(), m_resources);
  Paint(render);
  return bitmap;
}

void CPaintManagerUI::OnPaint() {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(m_window, &ps);
  RECT rc;
  GetClientRect(m_window, &rc);
  PaintTo(dc, rc.right, rc.bottom);
  EndPaint(m_window, &ps);
}

void CPaintManagerUI::TrackLeave() {
  if (m_trackingLeave) return;
  TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_window, 0};
  m_trackingLeave = TrackMouseEvent(&track) != FALSE;
}

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!m_window) return false;
  for (IMessageFilterUI* filter : std::vector<IMessageFilterUI*>(m_filters)) {
    bool handled = false;
    const LRESULT r = filter->MessageHandler(uMsg, wParam, lParam, handled);
    if (handled) {
      result = r;
      return true;
    }
  }
  result = 0;
  const POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  switch (uMsg) {
    case WM_PAINT:
      OnPaint();
      return true;
    case WM_PRINTCLIENT: {
      RECT rc;
      GetClientRect(m_window, &rc);
      PaintTo(reinterpret_cast<HDC>(wParam), rc.right, rc.bottom);
      return true;
    }
    case WM_ERASEBKGND:
      result = 1;  // everything is painted in WM_PAINT: no flicker on resize
      return true;
    case WM_SIZE:
      if (wParam != SIZE_MINIMIZED) {
        SetClientSize(m_scale.ToLogical(UiSize{LOWORD(lParam), HIWORD(lParam)}));
      }
      return false;
    case WM_MOUSEMOVE: {
      TrackLeave();
      const UiPoint at = ToLogical(pt);
      MouseMove(at);
      CControlUI* hover = AccessibleControlAt(*this, at);
      m_toolTip.Track(hover, hover ? ToolTipFor(*hover) : std::wstring(), hover ? ToPhysical(hover->GetPos()) : RECT{});
      return true;
    }
    case WM_MOUSELEAVE:
      m_trackingLeave = false;
      MouseLeave();
      m_toolTip.Track(nullptr, std::wstring(), RECT{});
      return true;
    case WM_GETOBJECT:
      // OBJID_CLIENT is the skinned content; the frame, UI Automation and the rest are the
      // default procedure's.
      if (m_accessible && static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
        result = LresultFromObject(__uuidof(IAccessible), wParam, static_cast<IAccessible*>(m_accessible.Get()));
        return result > 0;  // else a failure HRESULT: the default procedure answers
      }
      return false;
    case WM_DESTROY:
      ReleaseAccessible();
      return false;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (::GetFocus() != m_window && !(GetWindowLongW(m_window, GWL_STYLE) & WS_CHILD)) ::SetFocus(m_window);
      if (ButtonDown(ToLogical(pt))) SetCapture(m_window);
      return true;
    case WM_LBUTTONUP:
      if (GetCapture() == m_window) {
        m_releasingCapture = true;
        ReleaseCapture();
        m_releasingCapture = false;
      }
      ButtonUp(ToLogical(pt));  // last: the click may end the window
      return true;
    case WM_CAPTURECHANGED:
      if (!m_releasingCapture && reinterpret_cast<HWND>(lParam) != m_window && GetPushed()) WindowLostFocus();
      return false;
    case WM_KILLFOCUS:
      WindowLostFocus();
      return false;
    case WM_KEYDOWN: {
      const UiKey key = KeyOf(wParam);
      if (key == UiKey::Other || key == UiKey::Escape) return false;
      return KeyDown(key);  // last: the click may end the window
    }
    case WM_GETDLGCODE:
      result = DLGC_WANTALLKEYS;
      return true;
    default:
      if (uMsg == CAccessibleWindow::WindowMessage() && m_accessible) {
        UniqueComRef<CAccessibleWindow> keep(m_accessible.Get());
        keep.Get()->AddRef();
        keep.Get()->OnWindowMessage(wParam);  // last: may end the window and this manager
        return true;
      }
      return false;
  }
}

}  // namespace corvane
