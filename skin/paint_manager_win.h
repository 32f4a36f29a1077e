// CPaintManagerUI: the Win32 side of a skinned window's manager. It knows the program's module
// (skin archives are looked for in its folder), runs the message loop, and turns the window's
// messages into the portable manager's events, painting double-buffered with GDI+. It answers
// screen readers (WM_GETOBJECT) and shows the icon-only controls' tooltips.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/unique_handle_win.h"
#include "skin/gdiplus_render_win.h"
#include "skin/tool_tip_win.h"
#include "skin/ui_manager.h"
#include "skin/ui_scale.h"

namespace corvane {

// Sees a skinned window's messages before the manager handles them.
class CAccessibleWindow;

class IMessageFilterUI {
 public:
  virtual LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) = 0;

 protected:
  ~IMessageFilterUI() = default;
};

class CPaintManagerUI : public CUiManager {
 public:
  CPaintManagerUI();
  ~CPaintManagerUI() override;

  // Once at start: the module whose folder holds "skin.zip".
  static void SetInstance(HINSTANCE instance);
  static HINSTANCE GetInstance();
  // The module's folder with a trailing backslash.
  static std::wstring GetInstancePath();
  // Runs until WM_QUIT.
  static void MessageLoop();

  void Init(HWND window);
  HWND GetPaintWindow() const { return m_window; }
  // Physical pixels per logical pixel: the display's DPI / 96.
  float GetDpiScale() const { return m_scale.Factor(); }
  const UiScale& GetScale() const { return m_scale; }
  // Changes the factor; the window keeps its logical size and is resized to the new device size.
  void SetDpiScale(float scale);

  UiPoint ToLogical(POINT physical) const;
  RECT ToPhysical(const UiRect& logical) const;

  void AddMessageFilter(IMessageFilterUI* filter);
  void RemoveMessageFilter(IMessageFilterUI* filter);

  // The window's messages; true (with `result`) when handled.
  bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result);

  // Paints the whole client area (physical `width` x `height`) into `dc`, through one
  // off-screen bitmap.
  void PaintTo(HDC dc, int width, int height);
  // Paints into a new bitmap of the window's client size (for screenshots).
  std::unique_ptr<Gdiplus::Bitmap> RenderToBitmap();

  CPaintResources& GetPaintResources() { return m_resources; }

 private:
  void OnPaint();
  void TrackLeave();
  // The window is going: screen readers holding its object are told so.
  void ReleaseAccessible();

  HWND m_window = nullptr;
  UiScale m_scale;
  bool m_trackingLeave = false;
  bool m_releasingCapture = false;  // our own ReleaseCapture is no loss of the press
  std::vector<IMessageFilterUI*> m_filters;
  CPaintResources m_resources;
  UniqueComRef<CAccessibleWindow> m_accessible;  // answers WM_GETOBJECT; clients may hold it longer
  CToolTipHost m_toolTip;
};

}  // namespace corvane
