// The program's platform for CorvaneCefClient on Linux: the paste conversion on the GTK
// clipboard. The main window adds its notices (navigation state, relayout) and the error page.
#pragma once

#include "client/browser/corvane_cef_client.h"

namespace corvane {

// Ctrl+V in an editable field takes the key press from WebKit (the backend's key queue), reads
// and converts the clipboard without blocking the main loop, makes this program the owner of
// the rewritten "text/html", and only then has WebKit paste; the page's paste event reads the
// rewrite. Presses while one converts wait their turn. Pictures dropped on an editable field are
// inlined there by the same conversion (webkit_drop_gtk.h).
CorvaneClientPlatform GtkClientPlatform();

}  // namespace corvane
