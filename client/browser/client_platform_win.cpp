// Notices from the runtime's thread reach the main window only as posted messages, so a callback
// never waits for the main thread.
#include "client/browser/client_platform_win.h"

#include <windows.h>

#include "base/program_folder.h"
#include "client/browser/error_page_url.h"
#include "client/client_messages_win.h"
#include "client/main_window_channel.h"

namespace corvane {

std::wstring BuildErrorPageUrl() { return BuildErrorPageUrl(GetProgramFolder()); }

CorvaneClientPlatform WindowsClientPlatform(std::function<void()> convertClipboardForPaste) {
  CorvaneClientPlatform platform;
  platform.convertClipboardForPaste = std::move(convertClipboardForPaste);
  platform.postNavState = [](bool canGoBack, bool canGoForward) {
    PostNavState(canGoBack, canGoForward);
  };
  platform.postRelayout = [] { PostToMainWindow(MainCommand::Relayout); };
  platform.errorPageUrl = [] { return BuildErrorPageUrl(); };
  platform.pageLetGo = [] { PostMessageW(g_hMainWnd, WM_PAGELETGO, 0, 0); };
  return platform;
}

}  // namespace corvane
