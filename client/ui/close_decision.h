// What closing the main window does, and what each button of the close prompt does, from the
// two remembered flags (close prompt, exit on close). Portable, so both editions decide alike;
// each platform carries the decision out (a modal prompt, ending, minimising).
#pragma once

#include <optional>
#include <string>

namespace corvane {

enum class CloseAction { ShowPrompt, Exit, Minimise };

// The prompt while asking is on; otherwise exit or minimise as remembered.
CloseAction DecideCloseAction(bool closePrompt, bool exitOnClose);

struct ClosePromptOutcome {
  enum class Effect { None, ExitApp, MinimiseMainWindow };
  bool closes = false;                     // the prompt closes (Close(1))
  Effect effect = Effect::None;            // what the main window is asked to do
  std::optional<bool> exitOnClose;         // the new "min_close", stored first
  std::optional<bool> closePrompt;         // the new "close_prompt", stored last
};

// An exit the teacher asked for (the caption in exit mode, the close prompt's exit, the menu, the
// tray): the page is asked first (CloseBrowser(false), its beforeunload), and the program ends
// with the exit's code only once the page lets go. The end of the session does not ask.
class CPendingExit {
 public:
  // False: nothing to ask, end now with `code`. True: ask the page, then Take().
  bool Begin(int code, bool pageShown);
  // When the page let go: the code of the exit asked for; nothing when none was (the page was
  // not closed for an exit).
  std::optional<int> Take();

 private:
  std::optional<int> m_code;
};

// A click on the close prompt's control `name`; `noPromptTicked` is the check box's state, or
// nothing when the layout lacks it. A click on any other control does nothing.
ClosePromptOutcome DecideClosePromptClick(const std::wstring& name, std::optional<bool> noPromptTicked);

}  // namespace corvane
