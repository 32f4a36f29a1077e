// The browser's key table.
#include "client/browser/browser_keys.h"

#include "client/browser/cef_types.h"

namespace corvane {
namespace {

// Windows virtual-key codes.
constexpr int kKeyReturn = 0x0D, kKeyEscape = 0x1B, kKeyInsert = 0x2D, kKey0 = 0x30, kKeyF = 0x46, kKeyP = 0x50,
              kKeyV = 0x56, kKeyNumpad0 = 0x60, kKeyAdd = 0x6B, kKeySubtract = 0x6D, kKeyF3 = 0x72,
              kKeyOemPlus = 0xBB, kKeyOemMinus = 0xBD;

constexpr uint32_t kLockStates = EVENTFLAG_CAPS_LOCK_ON | EVENTFLAG_NUM_LOCK_ON;

}  // namespace

BrowserKey BrowserKeyOf(int code, uint32_t modifiers, bool editableField, KeyPlace place, bool findBarOpen) {
  // The keypad flag says where a key sits, not a key held; only the paste keeps it (a keypad V
  // is no V a teacher presses).
  const uint32_t held = modifiers & ~kLockStates & ~static_cast<uint32_t>(EVENTFLAG_IS_KEY_PAD);
  const bool keypad = (modifiers & EVENTFLAG_IS_KEY_PAD) != 0;
  const bool ctrl = held == EVENTFLAG_CONTROL_DOWN;
  // Plus and minus sit on shifted keys on many layouts: Shift is part of the key there.
  const bool ctrlMaybeShift = ctrl || held == (EVENTFLAG_CONTROL_DOWN | EVENTFLAG_SHIFT_DOWN);
  const bool shift = held == EVENTFLAG_SHIFT_DOWN;
  const bool none = held == 0;

  if (place == KeyPlace::kFindBar || findBarOpen) {
    if (code == kKeyF3 && none) return BrowserKey::kFindNext;
    if (code == kKeyF3 && shift) return BrowserKey::kFindPrevious;
  }
  if (place == KeyPlace::kFindBar) {
    if (code == kKeyReturn && none) return BrowserKey::kFindNext;
    if (code == kKeyReturn && shift) return BrowserKey::kFindPrevious;
    if (code == kKeyEscape && none) return BrowserKey::kCloseFind;
  }
  if (place == KeyPlace::kPage && editableField && !keypad &&
      ((ctrl && code == kKeyV) || (shift && code == kKeyInsert))) {
    return BrowserKey::kPaste;
  }
  if (ctrlMaybeShift && (code == kKeyOemPlus || code == kKeyAdd)) return BrowserKey::kZoomIn;
  if (ctrlMaybeShift && (code == kKeyOemMinus || code == kKeySubtract)) return BrowserKey::kZoomOut;
  if (ctrl && (code == kKey0 || code == kKeyNumpad0)) return BrowserKey::kZoomReset;
  if (ctrl && code == kKeyP) return BrowserKey::kPrint;
  if (ctrl && code == kKeyF) return BrowserKey::kFind;
  return BrowserKey::kNone;
}

}  // namespace corvane
