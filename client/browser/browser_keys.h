// The keys the browser consumes before the page: each key press of the page (or of the find
// bar) becomes at most one command, from its Windows key code, its flags and where it was
// pressed. The paste is the one command that also needs an editable field. Lock states (Caps,
// Num) never count; Alt and the Command key always make a key the page's.
#pragma once

#include <cstdint>

namespace corvane {

enum class BrowserKey {
  kNone,          // the page's key
  kPaste,         // Ctrl+V or Shift+Insert in an editable field: the paste conversion first
  kPrint,         // Ctrl+P
  kZoomIn,        // Ctrl+plus, Ctrl+=, Ctrl+keypad plus
  kZoomOut,       // Ctrl+minus, Ctrl+keypad minus
  kZoomReset,     // Ctrl+0, Ctrl+keypad 0
  kFind,          // Ctrl+F
  kFindNext,      // Enter or F3 in the find bar, F3 in the page while the find bar is open
  kFindPrevious,  // Shift+Enter or Shift+F3, likewise
  kCloseFind,     // Esc in the find bar
};

enum class KeyPlace { kPage, kFindBar };

// `modifiers` are the contract's EVENTFLAG_* bits. `findBarOpen` only matters in the page.
BrowserKey BrowserKeyOf(int windowsKeyCode, uint32_t modifiers, bool editableField, KeyPlace place,
                        bool findBarOpen = false);

}  // namespace corvane
