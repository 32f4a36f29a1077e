// Helpers of the runtime's plain records.
#include "client/browser/cef_types.h"

void ClearSettingsStrings(cef_settings_t* settings) {
  for (cef_string_t* field : {&settings->browser_subprocess_path, &settings->cache_path, &settings->user_data_path,
                              &settings->user_agent, &settings->product_version, &settings->locale,
                              &settings->log_file, &settings->javascript_flags, &settings->resources_dir_path,
                              &settings->locales_dir_path, &settings->accept_language_list}) {
    cef_string_clear(field);
  }
}

const char* ErrorCodeName(cef_errorcode_t code) {
  switch (code) {
    case ERR_NONE: return "OK";
    case ERR_FAILED: return "ERR_FAILED";
    case ERR_ABORTED: return "ERR_ABORTED";
    case ERR_INVALID_ARGUMENT: return "ERR_INVALID_ARGUMENT";
    case ERR_FILE_NOT_FOUND: return "ERR_FILE_NOT_FOUND";
    case ERR_TIMED_OUT: return "ERR_TIMED_OUT";
    case ERR_ACCESS_DENIED: return "ERR_ACCESS_DENIED";
    case ERR_CONNECTION_CLOSED: return "ERR_CONNECTION_CLOSED";
    case ERR_CONNECTION_RESET: return "ERR_CONNECTION_RESET";
    case ERR_CONNECTION_REFUSED: return "ERR_CONNECTION_REFUSED";
    case ERR_NAME_NOT_RESOLVED: return "ERR_NAME_NOT_RESOLVED";
    case ERR_INTERNET_DISCONNECTED: return "ERR_INTERNET_DISCONNECTED";
    case ERR_ADDRESS_UNREACHABLE: return "ERR_ADDRESS_UNREACHABLE";
    case ERR_CERT_INVALID: return "ERR_CERT_INVALID";
    case ERR_INVALID_URL: return "ERR_INVALID_URL";
    case ERR_UNKNOWN_URL_SCHEME: return "ERR_UNKNOWN_URL_SCHEME";
    case ERR_EMPTY_RESPONSE: return "ERR_EMPTY_RESPONSE";
  }
  return "ERR_FAILED";
}
