// CSettingDlg (GTK): shows the stored close behaviour and stores the one chosen.
#include "client/ui/setting_dlg_gtk.h"

#include "client/ui/client_settings.h"

namespace corvane {

void CSettingDlg::InitWindow() {
  const CClientSettings& settings = g_settings;
  if (auto* exit = m_PaintManager.FindControlAs<COptionUI>(L"option_exit")) exit->Selected(settings.m_bExitOnClose);
  if (auto* tray = m_PaintManager.FindControlAs<COptionUI>(L"option_tray")) {
    if (!settings.m_bExitOnClose) tray->Selected(true);
  }
}

void CSettingDlg::OnClick(TNotifyUI& msg) {
  const CDuiString& name = msg.pSender->GetName();
  if (name == L"button_close") {
    Close(1);
  } else if (name == L"option_tray") {
    g_settings.m_bExitOnClose = false;
    g_settings.Save();
  } else if (name == L"option_exit") {
    g_settings.m_bExitOnClose = true;
    g_settings.Save();
  }
}

}  // namespace corvane
