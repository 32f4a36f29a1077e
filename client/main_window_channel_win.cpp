// The channel on Windows: the landed messages, posted to g_hMainWnd.
#include <atomic>

#include "client/client_messages_win.h"
#include "client/main_window_channel.h"

namespace corvane {
namespace {

UINT MessageOf(MainCommand command) {
  switch (command) {
    case MainCommand::ShowSettings: return WM_SHOWSETTINGS;
    case MainCommand::ShowHelp: return WM_SHOWHELP;
    case MainCommand::ShowAbout: return WM_SHOWABOUT;
    case MainCommand::ExitApp: return WM_EXITAPP;
    case MainCommand::GoBack: return WM_GOBACK;
    case MainCommand::GoForward: return WM_GOFORWARD;
    case MainCommand::Reload: return WM_RELOADPAGE;
    case MainCommand::ShowToolBarMenu: return WM_SHOWTOOLBARMENU;
    case MainCommand::NavState: return WM_NAVSTATE;
    case MainCommand::UpdateAvailable: return WM_UPDATEAVAILABLE;
    case MainCommand::InstallerReady: return WM_INSTALLERREADY;
    case MainCommand::Relayout: return WM_RELAYOUT;
    case MainCommand::UpdateUnverified: return WM_UPDATEUNVERIFIED;
  }
  return 0;
}

class CPostedMessages : public IMainWindowChannel {
 public:
  void Post(const MainNotice& n) override {
    const bool nav = n.command == MainCommand::NavState;
    PostMessageW(g_hMainWnd, MessageOf(n.command), nav && n.canGoBack ? 1 : 0, nav && n.canGoForward ? 1 : 0);
  }
};

CPostedMessages g_posted;
std::atomic<IMainWindowChannel*> g_channel{nullptr};

}  // namespace

IMainWindowChannel& MainWindowChannel() {
  IMainWindowChannel* c = g_channel.load();
  return c ? *c : g_posted;
}

void SetMainWindowChannel(IMainWindowChannel* channel) { g_channel.store(channel); }

}  // namespace corvane
