// Notices from the runtime's thread reach the main window only as posted messages, so a callback
// never waits for the main thread.
#include "client/browser/client_platform_win.h"

#include <windows.h>

#include "base/program_folder.h"
#include "client/browser/error_page_url.h"
#include "client/client_messages_win.h"

namespace corvane {

std::wstring BuildErrorPageUrl() { return BuildErrorPageUrl(GetProgramFolder()); }

CorvaneClientPlatform WindowsClientPlatform(std::function<void()> convertClipboardForPaste) {
  CorvaneClientPlatform platform;
  platform.convertClipboardForPaste = std::move(convertClipboardForPaste);
  platform.postNavState = [](bool canGoBack, bool canGoForward) {
    PostMessageW(g_hMainWnd, WM_NAVSTATE, canGoBack ? 1 : 0, canGoForward ? 1 : 0);
  };
  platform.postRelayout = [] { PostMessageW(g_hMainWnd, WM_RELAYOUT, 0, 0); };
  platform.errorPageUrl = [] { return BuildErrorPageUrl(); };
  return platform;
}

}  // namespace corvane
