// What a click in the close prompt does with the store, the same on both hosts: the decision
// (close_decision.h) applied to the settings in the landed order — the close action stored,
// the main window's effect carried out by the host, then the "no prompt" box stored. While a
// machine policy fixes the close behaviour (its "ask" is the only one that shows the prompt),
// the box is disabled and never stored. Also what closing the main window does, under the policy.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "client/policy/machine_policy.h"
#include "client/ui/client_settings.h"
#include "client/ui/close_decision.h"

namespace corvane {

class CUiManager;

// What closing the main window does: the user's stored flags, or what `policy` fixes.
CloseAction DecideMainWindowClose(const CClientSettings& settings, const MachinePolicy& policy);

// Disables "checkbox_no_prompt" while `policy` fixes the close behaviour.
void LockNoPromptBox(CUiManager& ui, const MachinePolicy& policy);
// The box's state as a click applies it: nothing when the layout lacks it or it is disabled
// (locked: whatever it shows is not the user's choice).
std::optional<bool> NoPromptChoice(CUiManager& ui);

// True when the prompt closes (the host then calls Close(1)).
bool ApplyClosePromptClick(const std::wstring& name, std::optional<bool> noPromptTicked, CClientSettings& settings,
                           const std::function<void(ClosePromptOutcome::Effect)>& carryOut);

}  // namespace corvane
