// Saving the engine's downloads: into the desktop's download folder (XDG), under the server's
// name made safe and never over a file already there, written beside that name and renamed to it
// only when whole; nothing is left behind when a download fails or is cancelled.
#pragma once

#include <webkit2/webkit2.h>

#include <string>

namespace corvane {

// Connected to the web context's "download-started"; UI thread.
void SaveDownload(WebKitWebContext* context, WebKitDownload* download, gpointer);

// The desktop's download folder: XDG's, else the home folder's "Downloads".
std::string DownloadFolder();

}  // namespace corvane
