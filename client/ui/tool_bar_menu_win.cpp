// CToolBarMenu: badge and placement at creation, click routing, closing and self-deletion.
#include "client/ui/tool_bar_menu_win.h"

#include "client/client_messages_win.h"
#include "client/ui/click_routes.h"
#include "client/update/installer_win.h"

namespace corvane {
namespace {
constexpr ClickRoute kMenuRoutes[] = {
    {L"button_setting", MainCommand::ShowSettings},
    {L"button_help", MainCommand::ShowHelp},
    {L"button_about", MainCommand::ShowAbout},
    {L"button_exit", MainCommand::ExitApp},
};
constexpr int kRightInset = 25;  // from the main window's right edge
constexpr int kTopOffset = 60;   // below the main window's top edge
}  // namespace

LRESULT CToolBarMenu::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  if (uMsg == WM_KILLFOCUS) {
    Close(1);
    return 0;
  }
  return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CToolBarMenu::OnFinalMessage(HWND hWnd) {
  WindowImplBase::OnFinalMessage(hWnd);
  delete this;
}

void CToolBarMenu::InitWindow() {
  // The installer test runs only when no update is pending: it reads two files' versions.
  if (m_bUpdatePending || IsInstallerReady()) {
    if (auto* about = m_PaintManager.FindControlAs<CButtonUI>(L"button_about")) {
      about->SetNormalImage(L"tool_bar_menu_about_update_normal.png");
      about->SetHotImage(L"tool_bar_menu_about_update_hover.png");
      about->SetPushedImage(L"tool_bar_menu_about_update_press.png");
    }
  }
  ShowWindow(m_hWnd, SW_SHOW);
  // The main window's frame stays drawn active while the menu has the focus.
  SendMessageW(GetParent(m_hWnd), WM_NCACTIVATE, TRUE, 0);

  RECT main = {};
  GetWindowRect(g_hMainWnd, &main);
  RECT client = {};
  GetClientRect(m_hWnd, &client);
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  MoveWindow(m_hWnd, main.right - width - kRightInset, main.top + kTopOffset, width, height, TRUE);
}

void CToolBarMenu::OnClick(TNotifyUI& msg) {
  PostRoutedCommand(msg.pSender->GetName(), kMenuRoutes);
  Close(1);  // after any click, on a named button or not
}

}  // namespace corvane
