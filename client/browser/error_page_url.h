// The local error page's address, and the test that tells a failure of that page itself from
// the failure of any other page.
#pragma once

#include <string>

namespace corvane {

// "file:///" + folder + "/error_page/Error.html", every backslash made a slash (a POSIX folder
// keeps its one root slash: file:///opt/...); the characters are kept as they are (spaces and
// non-ASCII letters included).
std::wstring BuildErrorPageUrl(const std::wstring& programFolder);

// True when `url` names the same file as `errorPageUrl`, after undoing percent-escapes (a
// runtime reports file URLs escaped) and ignoring letter case (Windows paths are
// case-insensitive); a fragment after the page's own address is ignored.
bool IsErrorPageUrl(const std::wstring& url, const std::wstring& errorPageUrl);

// Undoes %XX escapes, reading the escaped bytes as UTF-8; malformed escapes stay as they are.
std::wstring PercentDecodeUtf8(const std::wstring& text);

}  // namespace corvane
