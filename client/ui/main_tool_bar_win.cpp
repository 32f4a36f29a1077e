// CMainToolBar's click routing.
#include "client/ui/main_tool_bar_win.h"

#include "client/ui/main_tool_bar_routes.h"

namespace corvane {

LRESULT CMainToolBar::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CMainToolBar::OnClick(TNotifyUI& msg) { PostRoutedCommand(msg.pSender->GetName(), kToolBarRoutes); }

}  // namespace corvane
