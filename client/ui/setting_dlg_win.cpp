// CSettingDlg: shows the stored close behaviour and stores the one chosen.
#include "client/ui/setting_dlg_win.h"

#include "client/policy/machine_policy_source.h"
#include "client/ui/client_settings.h"
#include "client/ui/setting_dlg_rules.h"

namespace corvane {

LRESULT CSettingDlg::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
  return WindowImplBase::HandleMessage(uMsg, wParam, lParam);
}

void CSettingDlg::InitWindow() {
  // A copy: it writes the values it read back to the file when it goes, at the end of this
  // function.
  const CClientSettings settings = g_settings;
  ShowStoredCloseAction(m_PaintManager, settings, GetMachinePolicy());
}

void CSettingDlg::OnClick(TNotifyUI& msg) {
  if (ApplySettingsClick(msg.pSender->GetName(), g_settings)) Close(1);
}

}  // namespace corvane
