// CClosePromptDlg: acts on the user's choice and remembers it.
#include "client/ui/close_prompt_dlg_win.h"

#include "client/client_messages_win.h"
#include "client/main_window_channel.h"
#include "client/ui/client_settings.h"
#include "client/ui/close_decision.h"

namespace corvane {

void CClosePromptDlg::OnClick(TNotifyUI& msg) {
  auto* noPrompt = m_PaintManager.FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt");
  const ClosePromptOutcome out = DecideClosePromptClick(
      msg.pSender->GetName().str(), noPrompt ? std::optional<bool>(noPrompt->GetCheck()) : std::nullopt);
  if (!out.closes) return;
  if (out.exitOnClose) {
    g_settings.m_bExitOnClose = *out.exitOnClose;
    g_settings.Save();
  }
  if (out.effect == ClosePromptOutcome::Effect::ExitApp) PostToMainWindow(MainCommand::ExitApp);
  if (out.effect == ClosePromptOutcome::Effect::MinimiseMainWindow) ShowWindow(g_hMainWnd, SW_SHOWMINIMIZED);
  if (out.closePrompt) {
    g_settings.m_bClosePrompt = *out.closePrompt;
    g_settings.Save();
  }
  Close(1);
}

}  // namespace corvane
