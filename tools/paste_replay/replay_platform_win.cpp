// paste_replay on Windows: the live clipboard through the client's own conversion.
#include "tools/paste_replay/replay_platform.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "client/paste/clipboard_session_win.h"
#include "client/paste/convert_clipboard.h"

namespace corvane {

bool ConvertLiveClipboard(std::string& entry, std::string& error, int& exitCode) {
  ConvertClipboardForPaste();
  CWinClipboardSession session;
  if (!session.IsOpen()) {
    error = "the clipboard is held by another program";
    exitCode = 1;
    return false;
  }
  if (!session.ReadHtml(entry)) {
    error = "the clipboard holds no HTML Format entry (nor a bitmap to make one of)";
    exitCode = 2;
    return false;
  }
  return true;
}

void UseBinaryStandardOutput() { _setmode(_fileno(stdout), _O_BINARY); }

}  // namespace corvane
