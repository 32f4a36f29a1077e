// The close decision's rules: ok minimises and remembers minimising, cancel ends and remembers
// ending, close only dismisses; all three apply the "no prompt" box when the layout has it.
#include "client/ui/close_decision.h"

namespace corvane {

CloseAction DecideCloseAction(bool closePrompt, bool exitOnClose) {
  if (closePrompt) return CloseAction::ShowPrompt;
  return exitOnClose ? CloseAction::Exit : CloseAction::Minimise;
}

bool CPendingExit::Begin(int code, bool pageShown) {
  if (!pageShown) return false;
  if (!m_code) m_code = code;  // a second request while asking keeps the first one's code
  return true;
}

std::optional<int> CPendingExit::Take() {
  std::optional<int> code = m_code;
  m_code.reset();
  return code;
}

ClosePromptOutcome DecideClosePromptClick(const std::wstring& name, std::optional<bool> noPromptTicked) {
  ClosePromptOutcome out;
  if (name == L"button_cancel") {
    out.exitOnClose = true;
    out.effect = ClosePromptOutcome::Effect::ExitApp;
  } else if (name == L"button_ok") {
    out.exitOnClose = false;
    out.effect = ClosePromptOutcome::Effect::MinimiseMainWindow;
  } else if (name != L"button_close") {
    return out;
  }
  out.closes = true;
  if (noPromptTicked) out.closePrompt = !*noPromptTicked;
  return out;
}

}  // namespace corvane
