// UTF-8 <-> wide string conversions (layouts, archive entry names, the browser runtime's
// strings); works with 16-bit (Windows) and 32-bit (Linux) wchar_t alike.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// Invalid sequences become U+FFFD: a broken or cut-off sequence one replacement.
std::wstring Utf8ToWide(std::string_view utf8);
// Every byte that does not belong to a valid sequence becomes U+FFFD, as the browser runtime
// reads the bytes of URLs and pages.
std::wstring Utf8ToWideEachByte(std::string_view bytes);
// Lone surrogates (and, with 32-bit wchar_t, values past U+10FFFF) become U+FFFD.
std::string WideToUtf8(std::wstring_view wide);
// Appends the UTF-8 form of `cp`, which must be a scalar value (no surrogate, at most U+10FFFF).
void AppendUtf8(std::string& out, char32_t cp);

}  // namespace corvane
