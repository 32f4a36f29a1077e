// The program's platform for CorvaneCefClient on Linux: the paste conversion on the GTK
// clipboard. The main window adds its notices (navigation state, relayout) and the error page.
#pragma once

#include "client/browser/corvane_cef_client.h"

namespace corvane {

// Ctrl+V in an editable field runs ConvertClipboardForPaste inside the key handler: the clipboard
// is read synchronously (GTK's nested main loop), rewritten and owned by this program before
// the key reaches WebKit, whose own paste then reads the rewritten "text/html".
CorvaneClientPlatform GtkClientPlatform();

}  // namespace corvane
