// CDuiString: the toolkit's wide string, compared exactly (case-sensitively) with text, as the
// windows' click routing compares control names.
#pragma once

#include <string>

namespace corvane {

class CDuiString {
 public:
  CDuiString() = default;
  // `length` −1 takes the text up to its terminating NUL; a null text is the empty string.
  CDuiString(const wchar_t* text, int length = -1) { Assign(text, length); }
  CDuiString(std::wstring text) : m_text(std::move(text)) {}

  void Assign(const wchar_t* text, int length = -1) {
    if (text == nullptr) {
      m_text.clear();
    } else if (length < 0) {
      m_text.assign(text);
    } else {
      m_text.assign(text, static_cast<size_t>(length));
    }
  }

  const wchar_t* GetData() const { return m_text.c_str(); }
  int GetLength() const { return static_cast<int>(m_text.size()); }
  bool IsEmpty() const { return m_text.empty(); }
  void Empty() { m_text.clear(); }
  const std::wstring& str() const { return m_text; }
  operator const wchar_t*() const { return m_text.c_str(); }

  CDuiString& operator=(const wchar_t* text) {
    Assign(text);
    return *this;
  }
  CDuiString& operator+=(const CDuiString& other) {
    m_text += other.m_text;
    return *this;
  }

  // Exact comparison; a null text compares as the empty string.
  bool operator==(const wchar_t* text) const { return m_text == (text ? text : L""); }
  bool operator!=(const wchar_t* text) const { return !(*this == text); }
  bool operator==(const CDuiString& other) const { return m_text == other.m_text; }
  bool operator!=(const CDuiString& other) const { return m_text != other.m_text; }

 private:
  std::wstring m_text;
};

inline CDuiString operator+(CDuiString left, const CDuiString& right) {
  left += right;
  return left;
}

}  // namespace corvane
