// The keys the browser consumes before the page, and the zoom steps.
#include <gtest/gtest.h>

#include "client/browser/browser_keys.h"
#include "client/browser/cef_types.h"
#include "client/browser/zoom_steps.h"

namespace corvane {
namespace {

constexpr uint32_t kCtrl = EVENTFLAG_CONTROL_DOWN, kShift = EVENTFLAG_SHIFT_DOWN, kAlt = EVENTFLAG_ALT_DOWN,
                   kLocks = EVENTFLAG_CAPS_LOCK_ON | EVENTFLAG_NUM_LOCK_ON, kPad = EVENTFLAG_IS_KEY_PAD;

TEST(BrowserKeys, EachKeyHasOneCommandWhereverTheLockStatesAre) {
  struct Case {
    int code;
    uint32_t flags;
    bool editable;
    KeyPlace place;
    bool findOpen;
    BrowserKey expected;
  } cases[] = {
      {0x56, kCtrl | kLocks, true, KeyPlace::kPage, false, BrowserKey::kPaste},
      {0x2D, kShift | kLocks, true, KeyPlace::kPage, false, BrowserKey::kPaste},
      {0x56, kCtrl, false, KeyPlace::kPage, false, BrowserKey::kNone},         // not in a field
      {0x56, kCtrl | kShift, true, KeyPlace::kPage, false, BrowserKey::kNone},  // paste as plain text
      {0x56, kCtrl | kPad, true, KeyPlace::kPage, false, BrowserKey::kNone},
      {0x56, kCtrl, true, KeyPlace::kFindBar, false, BrowserKey::kNone},  // the entry pastes itself
      {0x2D, kCtrl | kShift, true, KeyPlace::kPage, false, BrowserKey::kNone},
      {0x50, kCtrl | kLocks, false, KeyPlace::kPage, false, BrowserKey::kPrint},
      {0x50, kCtrl | kShift, false, KeyPlace::kPage, false, BrowserKey::kNone},
      {0x50, kCtrl | kAlt, false, KeyPlace::kPage, false, BrowserKey::kNone},
      {0xBB, kCtrl, true, KeyPlace::kPage, false, BrowserKey::kZoomIn},           // Ctrl+=
      {0xBB, kCtrl | kShift, false, KeyPlace::kPage, false, BrowserKey::kZoomIn},  // Ctrl++ (shifted =)
      {0x6B, kCtrl | kPad | kLocks, false, KeyPlace::kFindBar, false, BrowserKey::kZoomIn},
      {0xBB, 0, false, KeyPlace::kPage, false, BrowserKey::kNone},
      {0xBD, kCtrl, false, KeyPlace::kPage, false, BrowserKey::kZoomOut},
      {0x6D, kCtrl | kPad, false, KeyPlace::kPage, false, BrowserKey::kZoomOut},
      {0xBD, kCtrl | kAlt, false, KeyPlace::kPage, false, BrowserKey::kNone},
      {0x30, kCtrl, false, KeyPlace::kPage, false, BrowserKey::kZoomReset},
      {0x60, kCtrl | kPad, false, KeyPlace::kPage, false, BrowserKey::kZoomReset},
      {0x30, kCtrl | kShift, false, KeyPlace::kPage, false, BrowserKey::kNone},
      {0x46, kCtrl, true, KeyPlace::kPage, false, BrowserKey::kFind},
      {0x46, kCtrl, false, KeyPlace::kFindBar, false, BrowserKey::kFind},
      {0x46, 0, false, KeyPlace::kPage, false, BrowserKey::kNone},
      // Esc and Enter are the page's own unless the find bar has them.
      {0x1B, 0, false, KeyPlace::kPage, true, BrowserKey::kNone},
      {0x0D, 0, true, KeyPlace::kPage, true, BrowserKey::kNone},
      {0x1B, kLocks, false, KeyPlace::kFindBar, false, BrowserKey::kCloseFind},
      {0x1B, kShift, false, KeyPlace::kFindBar, false, BrowserKey::kNone},
      {0x0D, 0, false, KeyPlace::kFindBar, false, BrowserKey::kFindNext},
      {0x0D, kShift, false, KeyPlace::kFindBar, false, BrowserKey::kFindPrevious},
      {0x72, 0, false, KeyPlace::kPage, true, BrowserKey::kFindNext},
      {0x72, kShift, false, KeyPlace::kPage, true, BrowserKey::kFindPrevious},
      {0x72, 0, false, KeyPlace::kPage, false, BrowserKey::kNone},
      {0x00, kCtrl, true, KeyPlace::kPage, false, BrowserKey::kNone},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(BrowserKeyOf(c.code, c.flags, c.editable, c.place, c.findOpen), c.expected)
        << "code " << c.code << " flags " << c.flags << " editable " << c.editable;
  }
}

TEST(ZoomSteps, FiftyToThreeHundredAsBrowsersStep) {
  int level = kZoomDefault;
  std::vector<int> up, down;
  for (int i = 0; i < 8; ++i) up.push_back(level = ZoomInStep(level));
  EXPECT_EQ(up, (std::vector<int>{110, 125, 150, 175, 200, 250, 300, 300}));
  for (int i = 0; i < 13; ++i) down.push_back(level = ZoomOutStep(level));
  EXPECT_EQ(down, (std::vector<int>{250, 200, 175, 150, 125, 110, 100, 90, 80, 75, 67, 50, 50}));
  // A level between steps (edited by hand) goes to the neighbouring steps.
  EXPECT_EQ(ZoomInStep(120), 125);
  EXPECT_EQ(ZoomOutStep(120), 110);

  EXPECT_EQ(ParseZoomLevel("125"), 125);
  EXPECT_EQ(ParseZoomLevel("50"), 50);
  EXPECT_EQ(ParseZoomLevel("300"), 300);
  for (const char* bad : {"", "49", "301", "-100", "+100", " 100", "100%", "1.5", "1e2", "0100", "99999999999", "abc"}) {
    EXPECT_EQ(ParseZoomLevel(bad), std::nullopt) << bad;
  }
}

}  // namespace
}  // namespace corvane
