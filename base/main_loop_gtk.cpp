// Posting onto the GLib main loop and running it until a condition holds.
#include "base/main_loop_gtk.h"

#include <glib.h>

#include <utility>

namespace corvane {

void PostToMainLoop(std::function<void()> task) {
  g_idle_add_full(
      G_PRIORITY_DEFAULT,
      [](gpointer data) -> gboolean {
        (*static_cast<std::function<void()>*>(data))();
        return G_SOURCE_REMOVE;
      },
      new std::function<void()>(std::move(task)), [](gpointer data) { delete static_cast<std::function<void()>*>(data); });
}

bool RunMainLoopUntil(const std::function<bool()>& done, int boundMs) {
  const gint64 end = boundMs >= 0 ? g_get_monotonic_time() + gint64{boundMs} * 1000 : 0;
  // With a bound, a ticker wakes the loop so the bound is seen though nothing else happens.
  const guint ticker =
      boundMs >= 0 ? g_timeout_add(10, [](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr) : 0;
  bool held = false;
  while (!(held = done()) && (boundMs < 0 || g_get_monotonic_time() < end)) g_main_context_iteration(nullptr, TRUE);
  if (ticker) g_source_remove(ticker);
  return held;
}

}  // namespace corvane
