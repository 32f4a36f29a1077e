// The code mappings of the WebKit backend.
#include "client/browser/webkit/webkit_codes_gtk.h"

namespace corvane {

cef_errorcode_t WebKitLoadErrorCode(const GError* error) {
  if (!error) return ERR_FAILED;
  if (error->domain == WEBKIT_NETWORK_ERROR) {
    if (error->code == WEBKIT_NETWORK_ERROR_CANCELLED) return ERR_ABORTED;
    if (error->code == WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST) return ERR_FILE_NOT_FOUND;
    if (error->code == WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL) return ERR_UNKNOWN_URL_SCHEME;
  }
  // A load given up because another took its place, or a download or policy took it over.
  if (error->domain == WEBKIT_POLICY_ERROR &&
      error->code == WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE) {
    return ERR_ABORTED;
  }
  if (error->domain == G_RESOLVER_ERROR) return ERR_NAME_NOT_RESOLVED;
  if (error->domain == G_IO_ERROR) {
    switch (error->code) {
      case G_IO_ERROR_CONNECTION_REFUSED: return ERR_CONNECTION_REFUSED;
      case G_IO_ERROR_TIMED_OUT: return ERR_TIMED_OUT;
      case G_IO_ERROR_CANCELLED: return ERR_ABORTED;
      case G_IO_ERROR_NOT_FOUND: return ERR_FILE_NOT_FOUND;
      case G_IO_ERROR_HOST_NOT_FOUND: return ERR_NAME_NOT_RESOLVED;
      default: break;
    }
  }
  return ERR_FAILED;
}

int WindowsKeyCode(guint keyval) {
  const guint upper = gdk_keyval_to_upper(keyval);
  if (upper >= GDK_KEY_A && upper <= GDK_KEY_Z) return 0x41 + static_cast<int>(upper - GDK_KEY_A);
  if (keyval >= GDK_KEY_0 && keyval <= GDK_KEY_9) return 0x30 + static_cast<int>(keyval - GDK_KEY_0);
  if (keyval >= GDK_KEY_KP_0 && keyval <= GDK_KEY_KP_9) return 0x60 + static_cast<int>(keyval - GDK_KEY_KP_0);
  if (keyval >= GDK_KEY_F1 && keyval <= GDK_KEY_F24) return 0x70 + static_cast<int>(keyval - GDK_KEY_F1);
  switch (keyval) {
    case GDK_KEY_BackSpace: return 0x08;
    case GDK_KEY_Tab: case GDK_KEY_ISO_Left_Tab: return 0x09;
    case GDK_KEY_Return: case GDK_KEY_KP_Enter: return 0x0D;
    case GDK_KEY_Shift_L: case GDK_KEY_Shift_R: return 0x10;
    case GDK_KEY_Control_L: case GDK_KEY_Control_R: return 0x11;
    case GDK_KEY_Alt_L: case GDK_KEY_Alt_R: return 0x12;
    case GDK_KEY_Pause: return 0x13;
    case GDK_KEY_Caps_Lock: return 0x14;
    case GDK_KEY_Escape: return 0x1B;
    case GDK_KEY_space: return 0x20;
    case GDK_KEY_Page_Up: return 0x21;
    case GDK_KEY_Page_Down: return 0x22;
    case GDK_KEY_End: return 0x23;
    case GDK_KEY_Home: return 0x24;
    case GDK_KEY_Left: return 0x25;
    case GDK_KEY_Up: return 0x26;
    case GDK_KEY_Right: return 0x27;
    case GDK_KEY_Down: return 0x28;
    case GDK_KEY_Insert: case GDK_KEY_KP_Insert: return 0x2D;
    case GDK_KEY_Delete: return 0x2E;
    case GDK_KEY_KP_Add: return 0x6B;
    case GDK_KEY_KP_Subtract: return 0x6D;
    case GDK_KEY_Num_Lock: return 0x90;
    // The keys of "=" and "-" on a US layout, whatever Shift makes of them.
    case GDK_KEY_equal: case GDK_KEY_plus: return 0xBB;
    case GDK_KEY_minus: case GDK_KEY_underscore: return 0xBD;
    default: return 0;
  }
}

uint32_t KeyEventFlags(guint state) {
  uint32_t flags = EVENTFLAG_NONE;
  if (state & GDK_SHIFT_MASK) flags |= EVENTFLAG_SHIFT_DOWN;
  if (state & GDK_CONTROL_MASK) flags |= EVENTFLAG_CONTROL_DOWN;
  if (state & GDK_MOD1_MASK) flags |= EVENTFLAG_ALT_DOWN;
  if (state & GDK_LOCK_MASK) flags |= EVENTFLAG_CAPS_LOCK_ON;
  if (state & GDK_MOD2_MASK) flags |= EVENTFLAG_NUM_LOCK_ON;  // X11 puts Num Lock on Mod2
  return flags;
}

}  // namespace corvane
