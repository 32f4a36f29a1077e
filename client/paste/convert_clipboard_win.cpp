// The paste conversion on the Windows clipboard.
#include "client/paste/convert_clipboard.h"

#include "client/paste/clipboard_html.h"
#include "client/paste/clipboard_session_win.h"

namespace corvane {

void ConvertClipboardForPaste() {
  CWinClipboardSession session;  // opens the clipboard for the whole conversion
  RunPasteConversion(session);
}

}  // namespace corvane
