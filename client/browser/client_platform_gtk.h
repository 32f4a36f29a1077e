// The program's platform for CorvaneCefClient on Linux, as client_platform_win.h is on Windows:
// notices through the main-window channel, the error page beside the executable, the paste
// conversion on the GTK clipboard, dropped pictures and the zoom's memory.
#pragma once

#include <string>

#include "client/browser/corvane_cef_client.h"

namespace corvane {

// "file://" + the program's folder + "/error_page/Error.html".
std::wstring LinuxErrorPageUrl();

// Ctrl+V or Shift+Insert in an editable field takes the key press from WebKit (the backend's key
// queue), reads and converts the clipboard without blocking the main loop, makes this program
// the owner of the rewritten "text/html", and only then has WebKit paste; the page's paste event
// reads the rewrite. Presses while one converts wait their turn. Pictures dropped on an editable
// field are inlined there by the same conversion (webkit_drop_gtk.h). The page zoom starts at
// g_settings' "zoom_level" and every level chosen is saved there at once (webkit_zoom_gtk.h).
CorvaneClientPlatform LinuxClientPlatform();

}  // namespace corvane
