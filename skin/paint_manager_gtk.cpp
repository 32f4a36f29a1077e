// Event plumbing of a skinned GTK window: drawing, pointer, keys, focus, size; the main loop.
#include "skin/paint_manager_gtk.h"

#include <unistd.h>

#include <climits>
#include <string>

#include "base/main_loop_gtk.h"
#include "base/utf8.h"

namespace corvane {
namespace {

std::wstring g_instancePath;
bool g_quitRequested = false;
int g_quitCode = 0;

UiKey KeyOf(const GdkEventKey& key) {
  switch (key.keyval) {
    case GDK_KEY_Tab: return (key.state & GDK_SHIFT_MASK) ? UiKey::ShiftTab : UiKey::Tab;
    case GDK_KEY_ISO_Left_Tab: return UiKey::ShiftTab;
    case GDK_KEY_space: return UiKey::Space;
    case GDK_KEY_Return:
    case GDK_KEY_KP_Enter: return UiKey::Enter;
    case GDK_KEY_Escape: return UiKey::Escape;
    default: return UiKey::Other;
  }
}

UiPoint PointOf(double x, double y) { return UiPoint{static_cast<int>(x), static_cast<int>(y)}; }

}  // namespace

CPaintManagerUI::CPaintManagerUI() : m_resources(*this) {}
CPaintManagerUI::~CPaintManagerUI() = default;

void CPaintManagerUI::SetInstance(const std::wstring& folder) {
  g_instancePath = folder;
  if (!g_instancePath.empty() && g_instancePath.back() != L'/') g_instancePath += L'/';
}

std::wstring CPaintManagerUI::GetInstancePath() {
  if (!g_instancePath.empty()) return g_instancePath;
  char path[PATH_MAX] = {};
  const ssize_t length = readlink("/proc/self/exe", path, sizeof(path) - 1);
  std::string folder(path, length > 0 ? static_cast<size_t>(length) : 0);
  const size_t slash = folder.find_last_of('/');
  folder.resize(slash == std::string::npos ? 0 : slash + 1);
  return Utf8ToWide(folder);
}

int CPaintManagerUI::MessageLoop() {
  int code = 0;
  RunMainLoopUntil([&code] { return TakeQuitRequest(code); });
  return code;
}

void CPaintManagerUI::QuitMessageLoop(int code) {
  g_quitRequested = true;
  g_quitCode = code;
  g_main_context_wakeup(nullptr);
}

bool CPaintManagerUI::TakeQuitRequest(int& code) {
  if (!g_quitRequested) return false;
  g_quitRequested = false;
  code = g_quitCode;
  return true;
}

void CPaintManagerUI::Init(GtkWidget* window) {
  m_window = window;
  SetInvalidateHandler([this](const UiRect& rc) {
    if (m_window) gtk_widget_queue_draw_area(m_window, rc.left - 1, rc.top - 1, rc.Width() + 2, rc.Height() + 2);
  });
}

float CPaintManagerUI::GetDpiScale() const {
  if (m_window) return static_cast<float>(gtk_widget_get_scale_factor(m_window));
  GdkScreen* screen = gdk_screen_get_default();
  GdkMonitor* monitor = screen ? gdk_display_get_primary_monitor(gdk_screen_get_display(screen)) : nullptr;
  return monitor ? static_cast<float>(gdk_monitor_get_scale_factor(monitor)) : 1.0f;
}

void CPaintManagerUI::SetDpiScale(float scale) {
  if (scale > 0) m_pictureScale = scale;
}

void CPaintManagerUI::PaintTo(cairo_t* cr, float scale) {
  CCairoRender render(cr, scale, m_resources);
  Paint(render);
}

UniqueCairoSurface CPaintManagerUI::RenderToSurface() {
  const UiScale scale(m_pictureScale > 0 ? m_pictureScale : GetDpiScale());
  const UiSize size = scale.ToDevice(GetClientSize());
  if (size.cx <= 0 || size.cy <= 0) return nullptr;
  UniqueCairoSurface surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size.cx, size.cy));
  cairo_t* cr = cairo_create(surface.get());
  PaintTo(cr, scale.Factor());
  cairo_destroy(cr);
  cairo_surface_flush(surface.get());
  return surface;
}

bool CPaintManagerUI::HandleEvent(GdkEvent* event) {
  if (!m_window) return false;
  switch (event->type) {
    case GDK_CONFIGURE:
      SetClientSize(UiSize{event->configure.width, event->configure.height});
      return false;
    case GDK_MOTION_NOTIFY:
      MouseMove(PointOf(event->motion.x, event->motion.y));
      return true;
    case GDK_LEAVE_NOTIFY:
      // A grab's crossing is no leave: the pointer is still over the window.
      if (event->crossing.mode == GDK_CROSSING_NORMAL) MouseLeave();
      return true;
    case GDK_BUTTON_PRESS:
    case GDK_2BUTTON_PRESS:
      if (event->button.button != 1) return false;
      ButtonDown(PointOf(event->button.x, event->button.y));
      return true;
    case GDK_BUTTON_RELEASE:
      if (event->button.button != 1) return false;
      ButtonUp(PointOf(event->button.x, event->button.y));  // last: the click may end the window
      return true;
    case GDK_FOCUS_CHANGE:
      if (!event->focus_change.in) WindowLostFocus();
      return false;
    case GDK_KEY_PRESS: {
      const UiKey key = KeyOf(event->key);
      if (key == UiKey::Other || key == UiKey::Escape) return false;
      return KeyDown(key);  // last: the click may end the window
    }
    default:
      return false;
  }
}

bool SavePng(cairo_surface_t* surface, const std::wstring& path) {
  return surface && cairo_surface_write_to_png(surface, WideToUtf8(path).c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace corvane
