// The close prompt's click applied to the store.
#include "client/ui/close_prompt_rules.h"

#include "skin/button.h"
#include "skin/ui_manager.h"

namespace corvane {

CloseAction DecideMainWindowClose(const CClientSettings& settings, const MachinePolicy& policy) {
  const CloseFlags flags = EffectiveCloseFlags(settings.m_bClosePrompt, settings.m_bExitOnClose, policy);
  return DecideCloseAction(flags.closePrompt, flags.exitOnClose);
}

void LockNoPromptBox(CUiManager& ui, const MachinePolicy& policy) {
  if (!policy.closeBehavior) return;
  if (auto* box = ui.FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt")) box->SetEnabled(false);
}

std::optional<bool> NoPromptChoice(CUiManager& ui) {
  auto* box = ui.FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt");
  if (!box || !box->IsEnabled()) return std::nullopt;
  return box->GetCheck();
}

bool ApplyClosePromptClick(const std::wstring& name, std::optional<bool> noPromptTicked, CClientSettings& settings,
                           const std::function<void(ClosePromptOutcome::Effect)>& carryOut) {
  const ClosePromptOutcome out = DecideClosePromptClick(name, noPromptTicked);
  if (!out.closes) return false;
  if (out.exitOnClose) {
    settings.m_bExitOnClose = *out.exitOnClose;
    settings.Save();
  }
  if (out.effect != ClosePromptOutcome::Effect::None) carryOut(out.effect);
  if (out.closePrompt) {
    settings.m_bClosePrompt = *out.closePrompt;
    settings.Save();
  }
  return true;
}

}  // namespace corvane
