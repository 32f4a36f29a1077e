// The page zoom of the WebKit backend: Ctrl+plus/minus/0 (the browser's key table) and
// Ctrl+wheel step the view's zoom through zoom_steps.h; the level is the program's to remember
// (SetZoomMemory), and every view starts at the remembered level.
#pragma once

#include <webkit2/webkit2.h>

#include <functional>

#include "client/browser/browser_keys.h"

namespace corvane {

struct ZoomMemory {
  std::function<int()> load;       // the level to start at, in percent
  std::function<void(int)> store;  // a level the teacher chose
};

// The program's memory for every view; without one, views start at 100 % and forget. UI thread.
void SetZoomMemory(ZoomMemory memory);

// The remembered level on a new view.
void ApplyRememberedZoom(WebKitWebView* view);
// kZoomIn, kZoomOut or kZoomReset on `view`, remembered.
void StepZoom(WebKitWebView* view, BrowserKey key);
// The view's "scroll-event": with Ctrl held, the wheel zooms instead of scrolling the page.
gboolean OnZoomWheel(GtkWidget* view, GdkEventScroll* event, gpointer);
// The view's level in whole percents.
int ZoomPercent(WebKitWebView* view);

}  // namespace corvane
