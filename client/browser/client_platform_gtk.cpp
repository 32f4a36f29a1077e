// The Linux platform of CorvaneCefClient. Notices from the runtime reach the main window only
// through the channel, so a callback never waits for the main loop.
#include "client/browser/client_platform_gtk.h"

#include "client/browser/webkit/webkit_drop_gtk.h"
#include "client/browser/webkit/webkit_key_queue_gtk.h"
#include "client/browser/webkit/webkit_zoom_gtk.h"
#include "client/main_window_channel.h"
#include "client/paste/convert_clipboard_gtk.h"
#include "client/paste/dropped_pictures.h"
#include "client/ui/client_settings.h"
#include "skin/paint_manager_gtk.h"

namespace corvane {

std::wstring LinuxErrorPageUrl() {
  return L"file://" + CPaintManagerUI::GetInstancePath() + L"error_page/Error.html";
}

CorvaneClientPlatform LinuxClientPlatform() {
  // Pictures dropped on a field arrive as a paste of the same files would.
  SetDroppedFilesConversion(DroppedPicturesHtml);
  // The zoom the teacher chose, kept at once: a crash or a power cut does not lose it.
  SetZoomMemory({[] { return g_settings.m_nZoomLevel; },
                 [](int level) {
                   g_settings.m_nZoomLevel = level;
                   g_settings.Save();
                 }});
  CorvaneClientPlatform platform;
  // A release of the key is left alone: the press alone pastes.
  platform.convertClipboardForPaste = [] {
    TakeKeyPress([](KeyFinish finish) {
      ConvertClipboardForPasteAsync([finish] {
        finish([](WebKitWebView* view) { webkit_web_view_execute_editing_command(view, WEBKIT_EDITING_COMMAND_PASTE); });
      });
    });
  };
  platform.postNavState = [](bool canGoBack, bool canGoForward) { PostNavState(canGoBack, canGoForward); };
  platform.postRelayout = [] { PostToMainWindow(MainCommand::Relayout); };
  platform.errorPageUrl = [] { return LinuxErrorPageUrl(); };
  return platform;
}

}  // namespace corvane
