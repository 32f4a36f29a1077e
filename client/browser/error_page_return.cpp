// The error page's fragment, its reading, and the retry rule and back-off.
#include "client/browser/error_page_return.h"

#include <cwchar>
#include <cwctype>

#include "base/percent_escapes.h"
#include "base/utf8.h"
#include "client/browser/cef_types.h"

namespace corvane {
namespace {

constexpr wchar_t kFailedKey[] = L"failed=";
constexpr wchar_t kHomeKey[] = L"home=";
constexpr int kLongestDelay = 60;

bool IsWebAddress(const std::wstring& url) {
  std::wstring scheme = url.substr(0, url.find(L':'));
  for (wchar_t& c : scheme) c = static_cast<wchar_t>(std::towlower(c));
  return url.find(L':') != std::wstring::npos && (scheme == L"http" || scheme == L"https");
}

std::wstring Escaped(const std::wstring& text) { return Utf8ToWide(PercentEncode(WideToUtf8(text))); }

}  // namespace

std::wstring ErrorPageUrlFor(const std::wstring& errorPage, const std::wstring& failedUrl, const std::wstring& homeUrl) {
  std::wstring fragment;
  if (IsWebAddress(failedUrl)) fragment = kFailedKey + Escaped(failedUrl) + L"&";
  return errorPage + L"#" + fragment + kHomeKey + Escaped(homeUrl);
}

std::wstring FailedUrlOf(const std::wstring& errorPageUrl) {
  const size_t hash = errorPageUrl.rfind(L'#');
  if (hash == std::wstring::npos) return std::wstring();
  const std::wstring fragment = errorPageUrl.substr(hash + 1);
  for (size_t start = 0; start <= fragment.size();) {
    size_t end = fragment.find(L'&', start);
    if (end == std::wstring::npos) end = fragment.size();
    const std::wstring pair = fragment.substr(start, end - start);
    if (pair.rfind(kFailedKey, 0) == 0) {
      const std::wstring url = Utf8ToWide(PercentDecode(WideToUtf8(pair.substr(wcslen(kFailedKey)))));
      return IsWebAddress(url) ? url : std::wstring();
    }
    start = end + 1;
  }
  return std::wstring();
}

bool RetriesByItself(const std::string& method, bool formSubmission, int errorCode) {
  if (formSubmission || !(method.empty() || method == "GET")) return false;
  switch (errorCode) {
    case ERR_TIMED_OUT:
    case ERR_CONNECTION_CLOSED:
    case ERR_CONNECTION_RESET:
    case ERR_CONNECTION_REFUSED:
    case ERR_NAME_NOT_RESOLVED:
    case ERR_INTERNET_DISCONNECTED:
    case ERR_ADDRESS_UNREACHABLE:
    case ERR_EMPTY_RESPONSE:
      return true;
    default:
      return false;
  }
}

int RetryDelaySeconds(int attempt) {
  if (attempt < 0) attempt = 0;
  if (attempt >= 5) return kLongestDelay;  // 2 << 5 is already past the cap
  const int delay = 2 << attempt;
  return delay < kLongestDelay ? delay : kLongestDelay;
}

}  // namespace corvane
