// Helpers for tests of real GTK windows under Xvfb with a window manager: running the main loop
// until something holds, and a person's input through the X server (xdotool, XTest).
#pragma once

#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <string>

#include "skin/paint_manager_gtk.h"

namespace corvane::test {

// Runs the main loop until `done` holds or about five seconds of iterations have passed.
template <typename Pred>
bool PumpUntil(Pred done) {
  const gint64 end = g_get_monotonic_time() + 5 * G_USEC_PER_SEC;
  while (!done() && g_get_monotonic_time() < end) {
    if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(2000);
  }
  return done();
}

inline void PumpIdle() {
  for (int i = 0; i < 50; ++i) {
    while (g_main_context_iteration(nullptr, FALSE)) {
    }
    g_usleep(2000);
  }
  gdk_display_sync(gdk_display_get_default());
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
}

inline bool ShownAndFocused(GtkWidget* w) {
  return gtk_widget_get_mapped(w) && gtk_window_is_active(GTK_WINDOW(w));
}

inline void Show(GtkWidget* w) {
  gtk_window_present(GTK_WINDOW(w));
  ASSERT_TRUE(PumpUntil([&] { return ShownAndFocused(w); })) << "the window manager shows and focuses it";
  PumpIdle();
}

inline UiPoint CentreOf(CPaintManagerUI& m, const wchar_t* name) {
  const UiRect r = m.FindControl(name)->GetPos();
  return UiPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Real input through the X server's XTest extension (xdotool), as a person's mouse and keys;
// GDK's own simulation sends synthetic core events, which GDK's XInput 2 path drops.
inline void XdoTool(const std::string& args) {
  gdk_display_sync(gdk_display_get_default());
  gint status = 0;
  ASSERT_TRUE(g_spawn_command_line_sync(("xdotool " + args).c_str(), nullptr, nullptr, &status, nullptr));
  ASSERT_EQ(status, 0) << args;
}

// Clicks `count` times at logical client coordinates.
inline void ClickAt(GtkWidget* w, UiPoint p, int count = 1) {
  int x = 0, y = 0;
  gdk_window_get_origin(gtk_widget_get_window(w), &x, &y);
  XdoTool("mousemove " + std::to_string(x + p.x) + " " + std::to_string(y + p.y) + " click --repeat " +
          std::to_string(count) + " --delay 40 1");
  PumpIdle();
}

inline void Press(const std::string& keys) {
  XdoTool("key " + keys);
  PumpIdle();
}

}  // namespace corvane::test
