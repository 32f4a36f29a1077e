// The channel on Linux: notices are carried onto the GTK main loop (the default main context)
// and handed to the main window's handler there, in the order they were posted.
#pragma once

#include <functional>

#include "client/main_window_channel.h"

namespace corvane {

// The main window installs its handler (null: notices are dropped, as posts to no window are).
// Called on the main loop's thread.
void SetMainWindowHandler(std::function<void(const MainNotice&)> handler);

}  // namespace corvane
