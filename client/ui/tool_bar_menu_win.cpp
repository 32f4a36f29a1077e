// CToolBarMenu: badge and placement at creation, click routing, closing and self-deletion.
#include "client/ui/tool_bar_menu_win.h"

#include "client/client_messages_win.h"
#include "client/ui/tool_bar_menu_rules.h"
#include "client/update/installer_win.h"

namespace corvane {

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
    ShowUpdateBadge(m_PaintManager);
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
  const UiPoint at = MenuPlacement(UiRect{main.left, main.top, main.right, main.bottom}, width);
  MoveWindow(m_hWnd, at.x, at.y, width, height, TRUE);
}

void CToolBarMenu::OnClick(TNotifyUI& msg) {
  PostRoutedCommand(msg.pSender->GetName(), kMenuRoutes);
  Close(1);  // after any click, on a named button or not
}

}  // namespace corvane
