// CClosePromptDlg (GTK): acts on the user's choice and remembers it.
#include "client/ui/close_prompt_dlg_gtk.h"

#include "client/main_window_channel_gtk.h"
#include "client/policy/machine_policy_source.h"
#include "client/ui/client_settings.h"
#include "client/ui/close_prompt_rules.h"

namespace corvane {

void CClosePromptDlg::InitWindow() { LockNoPromptBox(m_PaintManager, GetMachinePolicy()); }

void CClosePromptDlg::OnClick(TNotifyUI& msg) {
  const auto carryOut = [](ClosePromptOutcome::Effect effect) {
    if (effect == ClosePromptOutcome::Effect::ExitApp) PostToMainWindow(MainCommand::ExitApp);
    if (effect == ClosePromptOutcome::Effect::MinimiseMainWindow && g_mainWindow) {
      gtk_window_iconify(GTK_WINDOW(g_mainWindow));
    }
  };
  if (ApplyClosePromptClick(msg.pSender->GetName().str(), NoPromptChoice(m_PaintManager),
                            g_settings, carryOut)) {
    Close(1);
  }
}

}  // namespace corvane
