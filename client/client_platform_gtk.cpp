// Notices from the runtime reach the main window only through the channel, so a callback never
// waits for the main loop.
#include "client/client_platform_gtk.h"

#include "client/browser/client_platform_gtk.h"
#include "client/browser/webkit/webkit_zoom_gtk.h"
#include "client/main_window_channel.h"
#include "client/ui/client_settings.h"
#include "skin/paint_manager_gtk.h"

namespace corvane {

std::wstring LinuxErrorPageUrl() {
  return L"file://" + CPaintManagerUI::GetInstancePath() + L"error_page/Error.html";
}

CorvaneClientPlatform LinuxClientPlatform() {
  CorvaneClientPlatform platform = GtkClientPlatform();
  // The zoom the teacher chose, kept at once: a crash or a power cut does not lose it.
  SetZoomMemory({[] { return g_settings.m_nZoomLevel; },
                 [](int level) {
                   g_settings.m_nZoomLevel = level;
                   g_settings.Save();
                 }});
  platform.postNavState = [](bool canGoBack, bool canGoForward) { PostNavState(canGoBack, canGoForward); };
  platform.postRelayout = [] { PostToMainWindow(MainCommand::Relayout); };
  platform.errorPageUrl = [] { return LinuxErrorPageUrl(); };
  return platform;
}

}  // namespace corvane
