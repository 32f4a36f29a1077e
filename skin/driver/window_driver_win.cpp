// Window finding, control placement from the layout, SendInput clicks, screen pixels.
#include "skin/driver/window_driver_win.h"

#include <cstdlib>

#include "skin/resource_source.h"

namespace corvane {
namespace driver {
namespace {

struct Search {
  const wchar_t* className;
  DWORD processId;
  HWND found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM param) {
  auto* search = reinterpret_cast<Search*>(param);
  wchar_t name[128] = {};
  GetClassNameW(hwnd, name, 128);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (lstrcmpW(name, search->className) == 0 && IsWindowVisible(hwnd) &&
      (search->processId == 0 || pid == search->processId)) {
    search->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

double DpiScale() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

}  // namespace

HWND WaitForWindow(const wchar_t* className, DWORD processId, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  do {
    Search search{className, processId, nullptr};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) return search.found;
    Sleep(100);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

bool ControlCentre(HWND window, const std::wstring& zipPath, const std::wstring& layout, const wchar_t* control,
                   const std::function<void(CUiManager&)>& prepare, POINT& centre) {
  std::shared_ptr<const IResourceSource> skin = CZipResourceSource::OpenFile(zipPath, L"");
  if (!skin) return false;
  CUiManager manager;
  if (!manager.LoadLayout(skin, layout)) return false;
  RECT client = {};
  GetClientRect(window, &client);
  const double scale = DpiScale();
  manager.SetClientSize(UiSize{static_cast<int>((client.right - client.left) / scale + 0.5),
                               static_cast<int>((client.bottom - client.top) / scale + 0.5)});
  if (prepare) prepare(manager);
  manager.LayoutIfNeeded();
  CControlUI* found = manager.FindControl(control);
  if (found == nullptr) return false;
  const UiRect& r = found->GetPos();
  centre.x = static_cast<LONG>((r.left + r.right) / 2.0 * scale);
  centre.y = static_cast<LONG>((r.top + r.bottom) / 2.0 * scale);
  ClientToScreen(window, &centre);
  return true;
}

void ClickAt(HWND window, POINT screen) {
  SetForegroundWindow(window);
  SetCursorPos(screen.x, screen.y);
  INPUT inputs[3] = {};
  const LONG x = static_cast<LONG>(screen.x * 65535.0 / (GetSystemMetrics(SM_CXSCREEN) - 1));
  const LONG y = static_cast<LONG>(screen.y * 65535.0 / (GetSystemMetrics(SM_CYSCREEN) - 1));
  const DWORD flags[3] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
  for (int i = 0; i < 3; ++i) {
    inputs[i].type = INPUT_MOUSE;
    inputs[i].mi.dx = x;
    inputs[i].mi.dy = y;
    inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE;
  }
  SendInput(1, &inputs[0], sizeof(INPUT));
  Sleep(50);  // let the window see the pointer arrive before the press
  SendInput(2, &inputs[1], sizeof(INPUT));
}

bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(100);
  }
  return true;
}

COLORREF ScreenPixel(POINT screen) {
  HDC dc = GetDC(nullptr);
  const COLORREF colour = GetPixel(dc, screen.x, screen.y);
  ReleaseDC(nullptr, dc);
  return colour;
}

bool ColourNear(COLORREF a, COLORREF b, int tolerance) {
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

}  // namespace driver
}  // namespace corvane
