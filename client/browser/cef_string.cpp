// UTF-8 and UTF-16 conversions of the runtime's strings; wide text is UTF-16 on Windows and
// UTF-32 elsewhere, so surrogates are made and joined only where wchar_t needs them.
#include "client/browser/cef_string.h"

#include <cstring>

namespace corvane {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if (sizeof(wchar_t) == 2 && cp > 0xFFFF) {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(cp));
  }
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

std::string WideToUtf8(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t cp = static_cast<char32_t>(text[i]);
    if (sizeof(wchar_t) == 2 && cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() &&
        text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[++i]) - 0xDC00);
    } else if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
      cp = kReplacement;  // a lone surrogate has no UTF-8 form
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::wstring Utf8ToWide(const std::string& bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    int extra = lead < 0x80 ? 0 : (lead >> 5) == 0x6 ? 1 : (lead >> 4) == 0xE ? 2 : (lead >> 3) == 0x1E ? 3 : -1;
    if (extra < 0 || i + extra >= bytes.size()) {  // not a lead byte, or cut off at the end
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    char32_t cp = extra == 0 ? lead : extra == 1 ? (lead & 0x1F) : extra == 2 ? (lead & 0x0F) : (lead & 0x07);
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      const unsigned char next = static_cast<unsigned char>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3F);
    }
    static const char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (!valid || cp < kMinimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    AppendCodePoint(out, cp);
    i += extra + 1;
  }
  return out;
}

}  // namespace corvane

CefString::CefString(const std::string& utf8) : m_text(corvane::Utf8ToWide(utf8)) {}

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
