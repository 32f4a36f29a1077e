// CMainToolBar's click routing.
#include "client/ui/main_tool_bar_win.h"

#include "client/ui/click_routes_win.h"

namespace corvane {
namespace {
// "button_setting" opens the drop-down menu here; the menu's own "button_setting" opens the
// settings dialog.
constexpr ClickRoute kToolBarRoutes[] = {
    {L"button_setting", WM_SHOWTOOLBARMENU},
    {L"button_back", WM_GOBACK},
    {L"button_forward", WM_GOFORWARD},
    {L"button_refresh", WM_RELOADPAGE},
};
}  // namespace

LRESULT CMainToolBar::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CMainToolBar::OnClick(TNotifyUI& msg) { PostRoutedCommand(msg.pSender->GetName(), kToolBarRoutes); }

}  // namespace corvane
