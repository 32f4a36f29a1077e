// The paste conversion the browser's Ctrl+V hook runs on the system clipboard before pasting.
#pragma once

namespace corvane {

// Rewrites the clipboard's "HTML Format" entry so that pictures travel inline as data URIs.
// Silent: whatever fails leaves the clipboard as it was.
void ConvertClipboardForPaste();

}  // namespace corvane
