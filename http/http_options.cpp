// Verb texts, request header text, connect port and numeric header values.
#include "http/http_options.h"

#include <climits>
#include <cwchar>

namespace corvane {

const wchar_t* VerbText(int32_t verb) {
  switch (verb) {
    case 1:
    case 2:
      return L"POST";
    case 3:
      return L"DELETE";
    default:
      return L"GET";
  }
}

std::wstring BuildRequestHeaderText(const HttpRequestOptions& options) {
  std::wstring text = options.extraHeaders;
  if (options.rangeStart != 0) {
    text += L"Range: bytes=" + std::to_wstring(options.rangeStart) + L"-\r\n";
  }
  return text;
}

int32_t ConnectPort(int32_t scheme, int32_t portInUrl) {
  if (portInUrl > 0 && portInUrl <= 65535) return portInUrl;
  return scheme == kSchemeHttps ? 443 : 80;
}

int32_t HeaderNumber(const std::wstring& text) {
  const long value = std::wcstol(text.c_str(), nullptr, 10);
  // long is 64 bits natively; keep the 32-bit field's saturation of wcstol on Windows.
  if (value > INT32_MAX) return INT32_MAX;
  if (value < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(value);
}

}  // namespace corvane
