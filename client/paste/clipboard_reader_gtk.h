// Reads the GTK clipboard (CLIPBOARD selection) without a nested main loop: every target is
// asked for with gtk_clipboard_request_*, one after the other, and the answer comes back on the
// GTK main thread once all have arrived.
#pragma once

#include <functional>

#include "client/paste/clipboard_contents.h"

namespace corvane {

// Reads "text/html" (as UTF-8), the text, the picture and, with no HTML and no picture, the
// copied files ("x-special/gnome-copied-files" or "text/uri-list") as HTML naming the pictures
// among them. The picture: the first of image/png, image/jpeg, image/gif and image/webp offered,
// taken as it is when its bytes are of that format and within the size limit; otherwise any
// other picture format GDK reads (BMP, TIFF, ...) as offered, for the caller to convert. GTK
// main thread.
void ReadClipboardAsync(std::function<void(ClipboardContents)> done);

// Whether a page shows pictures of `mediaType` as they are.
bool IsWebPictureType(const std::string& mediaType);

}  // namespace corvane
