// CClosePromptDlg: acts on the user's choice and remembers it.
#include "client/ui/close_prompt_dlg_win.h"

#include "client/client_messages_win.h"
#include "client/ui/client_settings_win.h"

namespace corvane {

void CClosePromptDlg::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (name == L"button_cancel") {
    g_settings.m_bExitOnClose = true;
    g_settings.Save();
    PostMessageW(g_hMainWnd, WM_EXITAPP, 0, 0);
    ApplyNoPromptAndClose();
  } else if (name == L"button_ok") {
    g_settings.m_bExitOnClose = false;
    g_settings.Save();
    ShowWindow(g_hMainWnd, SW_SHOWMINIMIZED);
    ApplyNoPromptAndClose();
  } else if (name == L"button_close") {
    ApplyNoPromptAndClose();
  }
}

void CClosePromptDlg::ApplyNoPromptAndClose() {
  if (auto* noPrompt = m_PaintManager.FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt")) {
    g_settings.m_bClosePrompt = !noPrompt->GetCheck();
    g_settings.Save();
  }
  Close(1);
}

}  // namespace corvane
