// UTF-8 <-> wide string conversions for the bytes of layouts and archive entry names; works
// with 16-bit (Windows) and 32-bit (Linux) wchar_t alike.
#pragma once

#include <string>
#include <string_view>

namespace corvane {

// Invalid sequences become U+FFFD.
std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace corvane
