// CSettingDlg (GTK): shows the stored close behaviour and stores the one chosen.
#include "client/ui/setting_dlg_gtk.h"

#include "client/policy/machine_policy_source.h"
#include "client/ui/client_settings.h"
#include "client/ui/setting_dlg_rules.h"

namespace corvane {

void CSettingDlg::InitWindow() { ShowStoredCloseAction(m_PaintManager, g_settings, GetMachinePolicy()); }

void CSettingDlg::OnClick(TNotifyUI& msg) {
  if (ApplySettingsClick(msg.pSender->GetName(), g_settings)) Close(1);
}

}  // namespace corvane
