// CClosePromptDlg: acts on the user's choice and remembers it.
#include "client/ui/close_prompt_dlg_win.h"

#include "client/client_messages_win.h"
#include "client/main_window_channel.h"
#include "client/policy/machine_policy_source.h"
#include "client/ui/client_settings.h"
#include "client/ui/close_prompt_rules.h"

namespace corvane {

void CClosePromptDlg::InitWindow() { LockNoPromptBox(m_PaintManager, GetMachinePolicy()); }

void CClosePromptDlg::OnClick(TNotifyUI& msg) {
  const auto carryOut = [](ClosePromptOutcome::Effect effect) {
    if (effect == ClosePromptOutcome::Effect::ExitApp) PostToMainWindow(MainCommand::ExitApp);
    if (effect == ClosePromptOutcome::Effect::MinimiseMainWindow) ShowWindow(g_hMainWnd, SW_SHOWMINIMIZED);
  };
  if (ApplyClosePromptClick(msg.pSender->GetName().str(), NoPromptChoice(m_PaintManager),
                            g_settings, carryOut)) {
    Close(1);
  }
}

}  // namespace corvane
