// What the settings dialog does, the same on both hosts: it shows the stored close action by
// selecting one of its two options, and a click on an option stores that action at once.
#pragma once

#include "client/ui/client_settings.h"
#include "skin/dui_string.h"
#include "skin/ui_manager.h"

namespace corvane {

// Selects "option_exit" or "option_tray" as `settings` say (a missing option is skipped).
void ShowStoredCloseAction(CUiManager& ui, const CClientSettings& settings);
// A click on `name`: an option stores its action in `settings`; true for "button_close", which
// ends the dialog. Any other name does nothing.
bool ApplySettingsClick(const CDuiString& name, CClientSettings& settings);

}  // namespace corvane
