// What the settings dialog does, the same on both hosts: it shows the stored close action by
// selecting one of its two options, and a click on an option stores that action at once. While
// a machine policy fixes the close behaviour, both options show the fixed action, disabled, so
// nothing can be chosen.
#pragma once

#include "client/policy/machine_policy.h"
#include "client/ui/client_settings.h"
#include "skin/dui_string.h"
#include "skin/ui_manager.h"

namespace corvane {

// Selects "option_exit" or "option_tray" as `settings` say, or as `policy` fixes it, and
// disables both while it does (a missing option is skipped).
void ShowStoredCloseAction(CUiManager& ui, const CClientSettings& settings, const MachinePolicy& policy);
// A click on `name`: an option stores its action in `settings` (a locked option, being disabled,
// is never clicked); true for "button_close", which ends the dialog. Any other name does nothing.
bool ApplySettingsClick(const CDuiString& name, CClientSettings& settings);

}  // namespace corvane
