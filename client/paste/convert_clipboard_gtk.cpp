// The paste conversion on the GTK clipboard (GTK main thread).
#include "client/paste/clipboard_html.h"
#include "client/paste/clipboard_session_gtk.h"
#include "client/paste/convert_clipboard.h"

namespace corvane {

void ConvertClipboardForPaste() {
  CGtkClipboardSession session;  // reads every target it needs now
  RunPasteConversion(session);
}

}  // namespace corvane
