// The channel on Linux: notices are carried onto the GTK main loop (the default main context)
// and handed to the main window's handler there, in the order they were posted.
#pragma once

#include <gtk/gtk.h>

#include <functional>

#include "client/main_window_channel.h"

namespace corvane {

// The main window installs its handler (null: notices are dropped, as posts to no window are).
// Called on the main loop's thread.
void SetMainWindowHandler(std::function<void(const MainNotice&)> handler);

// The main window's top level, set by its initialisation (what g_hMainWnd is on Windows): the
// close prompt minimises it, dialogs are made transient for it. Null until then.
extern GtkWidget* g_mainWindow;

}  // namespace corvane
