// The error page's address and its comparison.
#include "client/browser/error_page_url.h"

#include <algorithm>
#include <cwctype>

#include "base/utf8.h"

namespace corvane {

std::wstring BuildErrorPageUrl(const std::wstring& programFolder) {
  std::wstring path = programFolder + L"\\error_page\\Error.html";
  std::replace(path.begin(), path.end(), L'\\', L'/');
  // A POSIX folder brings its own root slash: "file://" + "/opt/x", never four slashes.
  return (path.front() == L'/' ? L"file://" : L"file:///") + path;
}

std::wstring PercentDecodeUtf8(const std::wstring& text) {
  auto hex = [](wchar_t c) -> int {
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return -1;
  };
  std::wstring out;
  std::string bytes;  // a run of decoded bytes, turned into text when it ends
  auto flush = [&] {
    if (!bytes.empty()) out += Utf8ToWideEachByte(bytes);
    bytes.clear();
  };
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'%' && i + 2 < text.size() && hex(text[i + 1]) >= 0 && hex(text[i + 2]) >= 0) {
      bytes.push_back(static_cast<char>(hex(text[i + 1]) * 16 + hex(text[i + 2])));
      i += 2;
      continue;
    }
    flush();
    out.push_back(text[i]);
  }
  flush();
  return out;
}

bool IsErrorPageUrl(const std::wstring& url, const std::wstring& errorPageUrl) {
  auto normal = [](const std::wstring& text) {
    std::wstring decoded = PercentDecodeUtf8(text);
    std::replace(decoded.begin(), decoded.end(), L'\\', L'/');
    for (wchar_t& c : decoded) c = static_cast<wchar_t>(std::towlower(c));
    return decoded;
  };
  return !url.empty() && normal(url) == normal(errorPageUrl);
}

}  // namespace corvane
