// RunClient on Linux, in the order of the Windows start-up where the platforms agree.
#include "client/startup_gtk.h"

#include <glib-unix.h>
#include <signal.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "base/utf8.h"
#include "client/browser/cef_runtime.h"
#include "client/browser/corvane_cef_app.h"
#include "client/browser/client_platform_gtk.h"
#include "client/main_window_gtk.h"
#include "client/single_instance_gtk.h"
#include "client/tray_gtk.h"
#include "client/ui/client_settings.h"
#include "client/update/update_check_gtk.h"

namespace corvane {
namespace {

void SetString(const std::string& text, cef_string_t* field) {
  const std::wstring wide = Utf8ToWide(text);
  cef_string_wide_to_utf16(wide.c_str(), wide.size(), field);
}

}  // namespace

int RunClient(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("%s\n", OwnVersion());  // the version the update check reports
      return 0;
    }
  }
  CefMainArgs args;
  CefRefPtr<CorvaneCefApp> app = new CorvaneCefApp();
  const int role = cef_execute_process(args, app.get(), nullptr);
  if (role >= 0) return role;
  if (!gtk_init_check(&argc, &argv)) {
    std::fprintf(stderr, "corvane-client: cannot open the display\n");
    return 1;
  }

  CMainWindow* mainWindow = nullptr;
  CSingleInstance instance;
  if (!instance.Acquire([&mainWindow] {
        if (mainWindow) mainWindow->Present();
      })) {
    return 0;  // the running instance comes forward
  }
  g_settings.AllowWriting();

  cef_settings_t settings = {};
  settings.size = sizeof(settings);
  SetString("zh-CN", &settings.accept_language_list);
  settings.no_sandbox = 1;  // the backend decides about its own sandbox
  SetString(std::string(g_get_user_cache_dir()) + "/corvane/corvane_cache", &settings.cache_path);
  settings.persist_session_cookies = 1;
  // The GTK main loop is the runtime's UI thread: no loop of the runtime's own.
  settings.multi_threaded_message_loop = 0;
  cef_initialize(args, settings, app.get(), nullptr);

  int exitCode = 0;
  {
    CMainWindow window;
    CTrayIcon tray;
    if (window.Create(LinuxClientPlatform())) {
      mainWindow = &window;
      // A StatusNotifier host listens on the session bus; without one there is no tray to ask.
      if (instance.OnSessionBus()) tray.Create(WideToUtf8(CPaintManagerUI::GetInstancePath()) + "corvane.png", [&window] { window.Present(); },
                  [&window] { window.ExitAskingPage(0); });
      // The session's end (SIGTERM) or Ctrl+C ends the program without asking the page (nobody
      // is there to answer), the runtime still shut down.
      auto quit = +[](gpointer data) -> gboolean {
        static_cast<CMainWindow*>(data)->Exit(0);
        return G_SOURCE_CONTINUE;  // removed below, once the loop has ended
      };
      const guint term = g_unix_signal_add(SIGTERM, quit, &window);
      const guint interrupt = g_unix_signal_add(SIGINT, quit, &window);
      window.ShowMaximised();
      // Only here, in the instance that holds the lock: at most one check a day.
      CheckForUpdate();
      exitCode = CPaintManagerUI::MessageLoop();
      mainWindow = nullptr;
      // A clipboard the paste conversion rewrote is ours: hand it to a clipboard manager, if one
      // runs, so the teacher can still paste it after the client has ended.
      gtk_clipboard_store(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
      g_source_remove(term);
      g_source_remove(interrupt);
    }
  }
  cef_shutdown();
  cef_string_clear(&settings.accept_language_list);
  cef_string_clear(&settings.cache_path);
  return exitCode;
}

}  // namespace corvane
