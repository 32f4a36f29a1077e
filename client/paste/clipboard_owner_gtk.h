// This program as the clipboard's owner, offering a rewritten paste.
#pragma once

#include <optional>
#include <string>

namespace corvane {

// Owns the CLIPBOARD selection with "text/html" = `html` and, when given, the text targets =
// `text`; a clipboard manager may keep it after this program exits. True when GTK took it.
// GTK main thread.
bool OwnClipboardWithHtml(std::string html, std::optional<std::string> text);

}  // namespace corvane
