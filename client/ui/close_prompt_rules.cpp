// The close prompt's click applied to the store.
#include "client/ui/close_prompt_rules.h"

namespace corvane {

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
