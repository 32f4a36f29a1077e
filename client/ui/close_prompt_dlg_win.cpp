// CClosePromptDlg: acts on the user's choice and remembers it.
#include "client/ui/close_prompt_dlg_win.h"

#include "client/client_messages_win.h"
#include "client/main_window_channel.h"
#include "client/ui/client_settings.h"
#include "client/ui/close_prompt_rules.h"

namespace corvane {

void CClosePromptDlg::OnClick(TNotifyUI& msg) {
  auto* noPrompt = m_PaintManager.FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt");
  const auto carryOut = [](ClosePromptOutcome::Effect effect) {
    if (effect == ClosePromptOutcome::Effect::ExitApp) PostToMainWindow(MainCommand::ExitApp);
    if (effect == ClosePromptOutcome::Effect::MinimiseMainWindow) ShowWindow(g_hMainWnd, SW_SHOWMINIMIZED);
  };
  if (ApplyClosePromptClick(msg.pSender->GetName().str(),
                            noPrompt ? std::optional<bool>(noPrompt->GetCheck()) : std::nullopt, g_settings,
                            carryOut)) {
    Close(1);
  }
}

}  // namespace corvane
