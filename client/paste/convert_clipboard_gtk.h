// The paste conversion on the GTK clipboard, without blocking the main loop.
#pragma once

#include <functional>

namespace corvane {

// Reads the clipboard asynchronously, converts on a worker thread (a picture a page cannot show
// becomes PNG, the HTML's local pictures and the picture become data URIs) and, when something
// was converted, makes this program the clipboard's owner with the rewritten "text/html".
// `done` runs on the GTK main thread after that, also when nothing changed. GTK main thread.
void ConvertClipboardForPasteAsync(std::function<void()> done);

}  // namespace corvane
