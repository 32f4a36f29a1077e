// The runtime's plain records and constants: main arguments, the settings record, window and
// browser settings, the key event and its flags, load error codes, pop-up dispositions.
#pragma once

#include <cstddef>
#include <cstdint>

#include "client/browser/cef_string.h"

// A native window handle (HWND on Windows), opaque to portable code.
typedef void* cef_window_handle_t;
// A native event (MSG* on Windows), opaque to portable code.
typedef void* CefEventHandle;

// What the entry point hands the runtime: the module instance (HINSTANCE on Windows).
struct CefMainArgs {
  CefMainArgs() = default;
  explicit CefMainArgs(void* instance_handle) : instance(instance_handle) {}
  void* instance = nullptr;
};

// The runtime's settings. The program zero-fills it, sets `size`, fills what it needs and frees
// the string fields after cef_shutdown; zero and empty fields keep the runtime's defaults.
struct cef_settings_t {
  size_t size;
  int no_sandbox;
  cef_string_t browser_subprocess_path;
  int multi_threaded_message_loop;
  int external_message_pump;
  int windowless_rendering_enabled;
  int command_line_args_disabled;
  cef_string_t cache_path;
  cef_string_t user_data_path;
  int persist_session_cookies;
  int persist_user_preferences;
  cef_string_t user_agent;
  cef_string_t product_version;
  cef_string_t locale;
  cef_string_t log_file;
  int log_severity;
  cef_string_t javascript_flags;
  cef_string_t resources_dir_path;
  cef_string_t locales_dir_path;
  int pack_loading_disabled;
  int remote_debugging_port;
  int uncaught_exception_stack_size;
  int ignore_certificate_errors;
  uint32_t background_color;
  cef_string_t accept_language_list;
};

// Frees every string field of the record.
void ClearSettingsStrings(cef_settings_t* settings);

// How and where the browser window is made.
struct CefWindowInfo {
  cef_window_handle_t parent_window = nullptr;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
  uint32_t style = 0;
  uint32_t ex_style = 0;
  CefString window_name;
  bool windowless_rendering_enabled = false;
  cef_window_handle_t window = nullptr;  // filled in by the runtime
};

// Per-browser settings; the program uses the defaults.
struct CefBrowserSettings {
  size_t size = sizeof(CefBrowserSettings);
};

struct CefPopupFeatures {
  int x = 0, xSet = 0, y = 0, ySet = 0, width = 0, widthSet = 0, height = 0, heightSet = 0;
};

enum cef_key_event_type_t {
  KEYEVENT_RAWKEYDOWN = 0,
  KEYEVENT_KEYDOWN,
  KEYEVENT_KEYUP,
  KEYEVENT_CHAR,
};

// Modifier flags of key and mouse events.
enum cef_event_flags_t : uint32_t {
  EVENTFLAG_NONE = 0,
  EVENTFLAG_CAPS_LOCK_ON = 1 << 0,
  EVENTFLAG_SHIFT_DOWN = 1 << 1,
  EVENTFLAG_CONTROL_DOWN = 1 << 2,
  EVENTFLAG_ALT_DOWN = 1 << 3,
  EVENTFLAG_LEFT_MOUSE_BUTTON = 1 << 4,
  EVENTFLAG_MIDDLE_MOUSE_BUTTON = 1 << 5,
  EVENTFLAG_RIGHT_MOUSE_BUTTON = 1 << 6,
  EVENTFLAG_COMMAND_DOWN = 1 << 7,
  EVENTFLAG_NUM_LOCK_ON = 1 << 8,
  EVENTFLAG_IS_KEY_PAD = 1 << 9,
  EVENTFLAG_IS_LEFT = 1 << 10,
  EVENTFLAG_IS_RIGHT = 1 << 11,
};

struct CefKeyEvent {
  cef_key_event_type_t type = KEYEVENT_RAWKEYDOWN;
  uint32_t modifiers = EVENTFLAG_NONE;
  int windows_key_code = 0;
  int native_key_code = 0;
  bool is_system_key = false;
  char16_t character = 0;
  char16_t unmodified_character = 0;
  bool focus_on_editable_field = false;
};

// Load error codes (the network stack's numbers).
enum cef_errorcode_t {
  ERR_NONE = 0,
  ERR_FAILED = -2,
  ERR_ABORTED = -3,  // a load was stopped or replaced by another
  ERR_INVALID_ARGUMENT = -4,
  ERR_FILE_NOT_FOUND = -6,
  ERR_TIMED_OUT = -7,
  ERR_ACCESS_DENIED = -10,
  ERR_CONNECTION_CLOSED = -100,
  ERR_CONNECTION_RESET = -101,
  ERR_CONNECTION_REFUSED = -102,
  ERR_NAME_NOT_RESOLVED = -105,
  ERR_INTERNET_DISCONNECTED = -106,
  ERR_ADDRESS_UNREACHABLE = -109,
  ERR_CERT_INVALID = -207,
  ERR_INVALID_URL = -300,
  ERR_UNKNOWN_URL_SCHEME = -302,
  ERR_EMPTY_RESPONSE = -324,
};

// The runtime's short name of an error code ("ERR_ABORTED"), for error texts.
const char* ErrorCodeName(cef_errorcode_t code);

enum cef_window_open_disposition_t {
  WOD_UNKNOWN = 0,
  WOD_CURRENT_TAB,
  WOD_SINGLETON_TAB,
  WOD_NEW_FOREGROUND_TAB,
  WOD_NEW_BACKGROUND_TAB,
  WOD_NEW_POPUP,
  WOD_NEW_WINDOW,
};

enum cef_transition_type_t {
  TT_LINK = 0,
  TT_EXPLICIT = 1,
  TT_RELOAD = 8,
  TT_FORWARD_BACK_FLAG = 0x01000000,
};
