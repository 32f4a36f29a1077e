// The runtime's strings: CefString's UTF-8 forms (through base/utf8) and the UTF-16
// cef_string_t; wide text is UTF-16 on Windows and UTF-32 elsewhere, so surrogates are made
// only where wchar_t needs them.
#include "client/browser/cef_string.h"

#include "base/utf8.h"

#include <cstring>

CefString::CefString(const std::string& utf8) : m_text(corvane::Utf8ToWideEachByte(utf8)) {}

std::string CefString::ToString() const { return corvane::WideToUtf8(m_text); }

namespace {
void FreeUtf16(cef_char16_t* str) { delete[] str; }
}  // namespace

int cef_string_set(const cef_char16_t* src, size_t length, cef_string_t* output, int copy) {
  cef_string_clear(output);
  if (copy) {
    output->str = new cef_char16_t[length + 1];
    if (length > 0) std::memcpy(output->str, src, length * sizeof(cef_char16_t));
    output->str[length] = 0;
    output->dtor = FreeUtf16;
  } else {
    output->str = const_cast<cef_char16_t*>(src);
    output->dtor = nullptr;
  }
  output->length = length;
  return 1;
}

int cef_string_wide_to_utf16(const wchar_t* src, size_t length, cef_string_t* output) {
  std::u16string utf16;
  const std::wstring wide(src, length);
  if (sizeof(wchar_t) == 2) {
    utf16.assign(wide.begin(), wide.end());
  } else {
    for (wchar_t c : wide) {
      char32_t cp = static_cast<char32_t>(c);
      if (cp > 0xFFFF) {
        cp -= 0x10000;
        utf16.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        utf16.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
      } else {
        utf16.push_back(static_cast<char16_t>(cp));
      }
    }
  }
  return cef_string_set(utf16.data(), utf16.size(), output, 1);
}

void cef_string_clear(cef_string_t* str) {
  if (str->dtor != nullptr && str->str != nullptr) str->dtor(str->str);
  str->str = nullptr;
  str->length = 0;
  str->dtor = nullptr;
}

CefString CefStringFrom(const cef_string_t& str) {
  if (str.str == nullptr) return CefString();
  std::wstring wide;
  for (size_t i = 0; i < str.length; ++i) {
    char32_t cp = str.str[i];
    if (sizeof(wchar_t) == 4 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < str.length) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(str.str[++i]) - 0xDC00);
    }
    wide.push_back(static_cast<wchar_t>(cp));
  }
  return CefString(wide);
}
