// What a click in the close prompt does with the store, the same on both hosts: the decision
// (close_decision.h) applied to the settings in the landed order — the close action stored,
// the main window's effect carried out by the host, then the "no prompt" box stored.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "client/ui/client_settings.h"
#include "client/ui/close_decision.h"

namespace corvane {

// True when the prompt closes (the host then calls Close(1)).
bool ApplyClosePromptClick(const std::wstring& name, std::optional<bool> noPromptTicked, CClientSettings& settings,
                           const std::function<void(ClosePromptOutcome::Effect)>& carryOut);

}  // namespace corvane
