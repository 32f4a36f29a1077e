// The error page's address and its comparison.
#include "client/browser/error_page_url.h"

#include <algorithm>
#include <cwctype>

#include "base/percent_escapes.h"
#include "base/utf8.h"

namespace corvane {

std::wstring BuildErrorPageUrl(const std::wstring& programFolder) {
  std::wstring path = programFolder + L"\\error_page\\Error.html";
  std::replace(path.begin(), path.end(), L'\\', L'/');
  // A POSIX folder brings its own root slash: "file://" + "/opt/x", never four slashes.
  return (path.front() == L'/' ? L"file://" : L"file:///") + path;
}

std::wstring PercentDecodeUtf8(const std::wstring& text) {
  return Utf8ToWideEachByte(PercentDecode(WideToUtf8(text)));
}

bool IsErrorPageUrl(const std::wstring& url, const std::wstring& errorPageUrl) {
  auto normal = [](const std::wstring& text) {
    std::wstring decoded = PercentDecodeUtf8(text);
    std::replace(decoded.begin(), decoded.end(), L'\\', L'/');
    for (wchar_t& c : decoded) c = static_cast<wchar_t>(std::towlower(c));
    return decoded;
  };
  // A fragment is the page's own business (it carries the way back, error_page_return.h).
  const std::wstring page = normal(errorPageUrl);
  const std::wstring given = normal(url);
  return !url.empty() && (given == page || given.rfind(page + L"#", 0) == 0);
}

}  // namespace corvane
