// The page zoom and its memory.
#include "client/browser/webkit/webkit_zoom_gtk.h"

#include <cmath>

#include "client/browser/zoom_steps.h"

namespace corvane {
namespace {

ZoomMemory& Memory() {
  static ZoomMemory memory;
  return memory;
}

void SetPercent(WebKitWebView* view, int percent) {
  webkit_web_view_set_zoom_level(view, percent / 100.0);
  if (Memory().store) Memory().store(percent);
}

// Smooth scrolling reports fractions of a notch: a step per whole notch, kept per direction.
double g_wheelNotches = 0;

}  // namespace

void SetZoomMemory(ZoomMemory memory) { Memory() = std::move(memory); }

int ZoomPercent(WebKitWebView* view) {
  return static_cast<int>(std::lround(webkit_web_view_get_zoom_level(view) * 100));
}

void ApplyRememberedZoom(WebKitWebView* view) {
  const int percent = Memory().load ? Memory().load() : kZoomDefault;
  webkit_web_view_set_zoom_level(view, percent / 100.0);
}

void StepZoom(WebKitWebView* view, BrowserKey key) {
  const int now = ZoomPercent(view);
  switch (key) {
    case BrowserKey::kZoomIn: return SetPercent(view, ZoomInStep(now));
    case BrowserKey::kZoomOut: return SetPercent(view, ZoomOutStep(now));
    case BrowserKey::kZoomReset: return SetPercent(view, kZoomDefault);
    default: return;
  }
}

gboolean OnZoomWheel(GtkWidget* view, GdkEventScroll* event, gpointer) {
  constexpr guint kHeld = GDK_CONTROL_MASK | GDK_SHIFT_MASK | GDK_MOD1_MASK;
  if ((event->state & kHeld) != GDK_CONTROL_MASK) return FALSE;  // the page scrolls
  double notches = 0;
  if (event->direction == GDK_SCROLL_UP) notches = -1;
  if (event->direction == GDK_SCROLL_DOWN) notches = 1;
  if (event->direction == GDK_SCROLL_SMOOTH) notches = event->delta_y;
  if ((notches < 0) != (g_wheelNotches < 0)) g_wheelNotches = 0;
  g_wheelNotches += notches;
  while (g_wheelNotches <= -1 || g_wheelNotches >= 1) {
    const bool in = g_wheelNotches < 0;  // away from the teacher: larger, as browsers do
    StepZoom(WEBKIT_WEB_VIEW(view), in ? BrowserKey::kZoomIn : BrowserKey::kZoomOut);
    g_wheelNotches += in ? 1 : -1;
  }
  return TRUE;  // the page never scrolls under a zoom
}

}  // namespace corvane
