// paste_replay in the Linux edition: the live GTK clipboard through the client's own conversion.
#include <gtk/gtk.h>

#include "client/paste/clipboard_contents.h"
#include "client/paste/clipboard_reader_gtk.h"
#include "client/paste/convert_clipboard.h"
#include "tools/paste_replay/replay_platform.h"

namespace corvane {

bool ConvertLiveClipboard(std::string& entry, std::string& error, int& exitCode) {
  if (!gtk_init_check(nullptr, nullptr)) {
    error = "no display: the clipboard cannot be reached";
    exitCode = 1;
    return false;
  }
  ConvertClipboardForPaste();
  // A rewritten clipboard is this program's: hand it to a clipboard manager before exiting.
  gtk_clipboard_store(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  std::optional<ClipboardContents> read;
  ReadClipboardAsync([&read](ClipboardContents contents) { read = std::move(contents); });
  while (!read) g_main_context_iteration(nullptr, TRUE);  // no windows here to re-enter
  CContentsClipboardSession session(*read);
  if (!session.ReadHtml(entry)) {
    error = "the clipboard holds no text/html (nor a picture or copied pictures to make it of)";
    exitCode = 2;
    return false;
  }
  return true;
}

void UseBinaryStandardOutput() {}

}  // namespace corvane
