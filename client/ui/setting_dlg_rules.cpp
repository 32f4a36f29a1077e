// The settings dialog's rules.
#include "client/ui/setting_dlg_rules.h"

#include "skin/button.h"

namespace corvane {

void ShowStoredCloseAction(CUiManager& ui, const CClientSettings& settings, const MachinePolicy& policy) {
  const bool locked = policy.closeBehavior.has_value();
  const bool exitOnClose =
      EffectiveCloseFlags(settings.m_bClosePrompt, settings.m_bExitOnClose, policy).exitOnClose;
  if (auto* exit = ui.FindControlAs<COptionUI>(L"option_exit")) {
    exit->Selected(exitOnClose);
    if (locked) exit->SetEnabled(false);
  }
  if (auto* tray = ui.FindControlAs<COptionUI>(L"option_tray")) {
    if (!exitOnClose) tray->Selected(true);
    if (locked) tray->SetEnabled(false);
  }
}

bool ApplySettingsClick(const CDuiString& name, CClientSettings& settings) {
  if (name == L"button_close") return true;
  if (name == L"option_tray") {
    settings.m_bExitOnClose = false;
    settings.Save();
  } else if (name == L"option_exit") {
    settings.m_bExitOnClose = true;
    settings.Save();
  }
  return false;
}

}  // namespace corvane
