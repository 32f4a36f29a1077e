// CMainToolBar's click routing.
#include "client/ui/main_tool_bar_win.h"

#include "client/ui/click_routes.h"

namespace corvane {
namespace {
// "button_setting" opens the drop-down menu here; the menu's own "button_setting" opens the
// settings dialog.
constexpr ClickRoute kToolBarRoutes[] = {
    {L"button_setting", MainCommand::ShowToolBarMenu},
    {L"button_back", MainCommand::GoBack},
    {L"button_forward", MainCommand::GoForward},
    {L"button_refresh", MainCommand::Reload},
};
}  // namespace

LRESULT CMainToolBar::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CMainToolBar::OnClick(TNotifyUI& msg) { PostRoutedCommand(msg.pSender->GetName(), kToolBarRoutes); }

}  // namespace corvane
