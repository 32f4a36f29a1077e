// The main window's commands and notices as one portable channel: the skinned windows, the
// browser handlers and the self-update tell the main window what to do through it, never by
// calling it. Delivery is always deferred (posted), from any thread. On Windows the channel
// posts the WM_USER messages of client_messages_win.h to g_hMainWnd, unchanged; on Linux it
// marshals each notice onto the GTK main loop, to the handler the main window installs.
#pragma once

namespace corvane {

enum class MainCommand {
  ShowSettings,     // WM_SHOWSETTINGS
  ShowHelp,         // WM_SHOWHELP
  ShowAbout,        // WM_SHOWABOUT
  ExitApp,          // WM_EXITAPP
  GoBack,           // WM_GOBACK
  GoForward,        // WM_GOFORWARD
  Reload,           // WM_RELOADPAGE
  ShowToolBarMenu,  // WM_SHOWTOOLBARMENU
  NavState,         // WM_NAVSTATE, with the two flags
  UpdateAvailable,  // WM_UPDATEAVAILABLE
  InstallerReady,   // WM_INSTALLERREADY
  Relayout,         // WM_RELAYOUT
  UpdateUnverified, // WM_UPDATEUNVERIFIED: a downloaded update failed its signature check
};

struct MainNotice {
  MainCommand command = MainCommand::Relayout;
  bool canGoBack = false;     // NavState only
  bool canGoForward = false;  // NavState only
};

class IMainWindowChannel {
 public:
  virtual void Post(const MainNotice& notice) = 0;

 protected:
  ~IMainWindowChannel() = default;
};

// The process's channel: the platform's, or the one a test put in its place.
IMainWindowChannel& MainWindowChannel();
// Replaces the channel (null: the platform's again); for tests.
void SetMainWindowChannel(IMainWindowChannel* channel);

inline void PostToMainWindow(MainCommand command) { MainWindowChannel().Post(MainNotice{command}); }
inline void PostNavState(bool canGoBack, bool canGoForward) {
  MainWindowChannel().Post(MainNotice{MainCommand::NavState, canGoBack, canGoForward});
}

}  // namespace corvane
