// The WebKit backend's code mappings, without a display: what the browser's key table and the
// client's error page see of GDK's keys and WebKit's load errors.
#include <gtest/gtest.h>

#include "client/browser/browser_keys.h"
#include "client/browser/webkit/webkit_codes_gtk.h"

namespace corvane {
namespace {

// The command a key press of the page gives, as the backend asks the table.
BrowserKey PageCommand(guint keyval, guint state, bool editable = false) {
  return BrowserKeyOf(WindowsKeyCode(keyval), KeyEventFlags(state), editable, KeyPlace::kPage);
}

TEST(WebKitCodes, GdkKeysReachTheBrowsersKeyTable) {
  constexpr guint ctrl = GDK_CONTROL_MASK, shift = GDK_SHIFT_MASK, numLock = GDK_MOD2_MASK, caps = GDK_LOCK_MASK;
  EXPECT_EQ(PageCommand(GDK_KEY_v, ctrl | numLock | caps, true), BrowserKey::kPaste);
  EXPECT_EQ(PageCommand(GDK_KEY_V, ctrl | caps, true), BrowserKey::kPaste);  // Caps Lock gives the capital
  EXPECT_EQ(PageCommand(GDK_KEY_Insert, shift, true), BrowserKey::kPaste);
  EXPECT_EQ(PageCommand(GDK_KEY_KP_Insert, shift, true), BrowserKey::kPaste);  // Num Lock off
  EXPECT_EQ(PageCommand(GDK_KEY_V, ctrl | shift, true), BrowserKey::kNone);
  EXPECT_EQ(PageCommand(GDK_KEY_v, ctrl | GDK_MOD1_MASK, true), BrowserKey::kNone);
  EXPECT_EQ(PageCommand(GDK_KEY_p, ctrl | numLock), BrowserKey::kPrint);
  EXPECT_EQ(PageCommand(GDK_KEY_plus, ctrl | shift), BrowserKey::kZoomIn);
  EXPECT_EQ(PageCommand(GDK_KEY_equal, ctrl), BrowserKey::kZoomIn);
  EXPECT_EQ(PageCommand(GDK_KEY_KP_Add, ctrl | numLock), BrowserKey::kZoomIn);
  EXPECT_EQ(PageCommand(GDK_KEY_minus, ctrl), BrowserKey::kZoomOut);
  EXPECT_EQ(PageCommand(GDK_KEY_underscore, ctrl | shift), BrowserKey::kZoomOut);
  EXPECT_EQ(PageCommand(GDK_KEY_KP_Subtract, ctrl), BrowserKey::kZoomOut);
  EXPECT_EQ(PageCommand(GDK_KEY_0, ctrl), BrowserKey::kZoomReset);
  EXPECT_EQ(PageCommand(GDK_KEY_KP_0, ctrl | numLock), BrowserKey::kZoomReset);
  EXPECT_EQ(PageCommand(GDK_KEY_f, ctrl), BrowserKey::kFind);
  EXPECT_EQ(PageCommand(GDK_KEY_F, ctrl | caps), BrowserKey::kFind);
  EXPECT_EQ(BrowserKeyOf(WindowsKeyCode(GDK_KEY_Escape), KeyEventFlags(0), false, KeyPlace::kFindBar),
            BrowserKey::kCloseFind);
  EXPECT_EQ(BrowserKeyOf(WindowsKeyCode(GDK_KEY_KP_Enter), KeyEventFlags(shift), false, KeyPlace::kFindBar),
            BrowserKey::kFindPrevious);
  // Letters and digits the table does not know stay the page's.
  EXPECT_EQ(PageCommand(GDK_KEY_c, ctrl, true), BrowserKey::kNone);
  EXPECT_EQ(PageCommand(GDK_KEY_1, ctrl), BrowserKey::kNone);
  EXPECT_EQ(WindowsKeyCode(GDK_KEY_a), 0x41);
  EXPECT_EQ(WindowsKeyCode(GDK_KEY_F12), 0x7B);
  EXPECT_EQ(WindowsKeyCode(GDK_KEY_KP_9), 0x69);
  EXPECT_EQ(WindowsKeyCode(GDK_KEY_dead_acute), 0);
}

TEST(WebKitCodes, LoadErrorsBecomeTheRuntimesCodes) {
  struct Case {
    GQuark domain;
    int code;
    cef_errorcode_t expected;
  } cases[] = {
      {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED, ERR_ABORTED},
      {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST, ERR_FILE_NOT_FOUND},
      {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL, ERR_UNKNOWN_URL_SCHEME},
      {WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_TRANSPORT, ERR_FAILED},
      {WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE, ERR_ABORTED},
      {WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI, ERR_FAILED},
      {G_RESOLVER_ERROR, G_RESOLVER_ERROR_NOT_FOUND, ERR_NAME_NOT_RESOLVED},
      {G_IO_ERROR, G_IO_ERROR_CONNECTION_REFUSED, ERR_CONNECTION_REFUSED},
      {G_IO_ERROR, G_IO_ERROR_TIMED_OUT, ERR_TIMED_OUT},
      {G_IO_ERROR, G_IO_ERROR_HOST_NOT_FOUND, ERR_NAME_NOT_RESOLVED},
      {G_IO_ERROR, G_IO_ERROR_PERMISSION_DENIED, ERR_FAILED},
  };
  for (const Case& c : cases) {
    GError* error = g_error_new_literal(c.domain, c.code, "x");
    EXPECT_EQ(WebKitLoadErrorCode(error), c.expected) << g_quark_to_string(c.domain) << " " << c.code;
    g_error_free(error);
  }
  EXPECT_EQ(WebKitLoadErrorCode(nullptr), ERR_FAILED);
}

}  // namespace
}  // namespace corvane
