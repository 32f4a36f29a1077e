// The runtime's strings: CefString for interface arguments (wide text with UTF-8 conversions,
// since URLs cross as UTF-8 bytes), and cef_string_t, the UTF-16 string of the settings record
// whose memory the program frees itself after shut-down.
#pragma once

#include <cstddef>
#include <string>

class CefString {
 public:
  CefString() = default;
  CefString(const std::wstring& text) : m_text(text) {}
  CefString(const wchar_t* text) : m_text(text ? text : L"") {}
  // UTF-8 bytes.
  CefString(const std::string& utf8);
  CefString(const char* utf8) : CefString(std::string(utf8 ? utf8 : "")) {}

  const std::wstring& ToWString() const { return m_text; }
  std::string ToString() const;  // UTF-8
  bool empty() const { return m_text.empty(); }
  bool operator==(const CefString& other) const { return m_text == other.m_text; }
  bool operator!=(const CefString& other) const { return m_text != other.m_text; }

 private:
  std::wstring m_text;
};

typedef char16_t cef_char16_t;

// A UTF-16 string that owns its buffer when `dtor` is set.
struct cef_string_t {
  cef_char16_t* str;
  size_t length;
  void (*dtor)(cef_char16_t* str);
};

// Sets `output` to `length` code units of `src`; copies when `copy` is non-zero (the copy is
// freed by cef_string_clear), otherwise points at `src`. Returns 1.
int cef_string_set(const cef_char16_t* src, size_t length, cef_string_t* output, int copy);
// Copies wide text into `output` as UTF-16.
int cef_string_wide_to_utf16(const wchar_t* src, size_t length, cef_string_t* output);
// Frees an owned buffer and empties the string.
void cef_string_clear(cef_string_t* str);
// The text of a cef_string_t (empty for a null buffer).
CefString CefStringFrom(const cef_string_t& str);
