// CMainWindow: the Linux client's one top-level window, as CMainDlg is on Windows. It holds the
// 30-pixel skinned toolbar strip above a container for the browser, installs the main-window
// channel's handler and carries out every MainCommand with the portable decisions: dialogs,
// help, about, exit, navigation, the close behaviour (ask, minimise, exit as remembered), and
// the update prompts (only a line saying so when apt brings the updates).
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "client/browser/corvane_cef_client.h"
#include "client/ui/close_decision.h"
#include "client/main_window_channel.h"
#include "client/ui/main_tool_bar_gtk.h"
#include "client/update/apt_source.h"
#include "client/update/update_prompt_dlg_gtk.h"

namespace corvane {

class CMainWindow {
 public:
  CMainWindow() = default;
  ~CMainWindow();
  CMainWindow(const CMainWindow&) = delete;
  CMainWindow& operator=(const CMainWindow&) = delete;

  // Builds the window (caption, icon, toolbar, browser container), becomes g_mainWindow and the
  // channel's handler, and asks the runtime for the browser. Not shown yet.
  bool Create(CorvaneClientPlatform platform);
  // Shown maximised, as at start.
  void ShowMaximised();
  // To the front, restored if minimised (a second start, the tray's entry).
  void Present();
  // Ends the program: the window goes first, then the loop ends with `code`. Unasked: the end of
  // the session.
  void Exit(int code);
  // The teacher's exit: the page's beforeunload first (close_decision.h), then Exit(code).
  void ExitAskingPage(int code);

  GtkWidget* GetWindow() const { return m_window; }
  CMainToolBar& GetToolBar() { return m_toolbar; }
  GtkWidget* GetBrowserContainer() const { return m_browserBox; }
  CefRefPtr<CorvaneCefClient> GetClient() const { return m_client; }

  // Each command or notice of the channel.
  void Handle(const MainNotice& notice);
  // The close action with Windows' command ids (1 OK, 2 Cancel): prompt, exit or minimise.
  void CloseOrMinimize(int code);

  // The update prompt while it is shown (tests drive it), else null.
  CUpdatePromptDlg* GetShownUpdatePrompt() const { return m_updatePrompt; }

  // Opens the help page (default: the desktop's handler for the URL); a test may watch it.
  std::function<void(const std::string& url)> openUrl;
  // The package's apt source, whose being enabled leaves the updates to apt (apt_source.h); a
  // test may point it at a file of its own. Nothing outside the program can.
  std::string aptSourcePath = kAptSourcePath;

 private:
  CefRefPtr<CefBrowser> Browser() const;
  void CreateBrowser(CorvaneClientPlatform platform);
  void LayoutChildren();
  // SystemUpdatesLine() while the apt source brings the updates, else empty.
  std::string SystemUpdatesOnly() const;
  void ShowUpdatePrompt(bool installMode, const wchar_t* windowName, const std::string& line);
  static gboolean OnDeleteThunk(GtkWidget*, GdkEvent*, gpointer self);
  void OnPageLetGo();
  static void OnAllocateThunk(GtkWidget*, GdkRectangle*, gpointer self);
  static void OnDestroyThunk(GtkWidget*, gpointer self);

  GtkWidget* m_window = nullptr;
  GtkWidget* m_browserBox = nullptr;
  CMainToolBar m_toolbar;
  CefRefPtr<CorvaneCefClient> m_client;
  CPendingExit m_pendingExit;
  bool m_bUpdateAvailable = false;
  CUpdatePromptDlg* m_updatePrompt = nullptr;
  int m_lastWidth = -1;
};

}  // namespace corvane
