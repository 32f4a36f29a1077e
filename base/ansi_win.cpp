// ANSI code page conversions through WideCharToMultiByte / MultiByteToWideChar (CP_ACP).
#include "base/ansi.h"

#include <windows.h>

namespace corvane {

// The measured length includes the terminating NUL (count = size + 1), so embedded NULs are
// carried over too; the NUL itself is cut off before returning.
std::string WideToAnsi(const std::wstring& text) {
  const int count = static_cast<int>(text.size()) + 1;
  const int needed = WideCharToMultiByte(CP_ACP, 0, text.c_str(), count, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return std::string();
  std::string out(static_cast<size_t>(needed), '\0');
  const int written = WideCharToMultiByte(CP_ACP, 0, text.c_str(), count, &out[0], needed, nullptr, nullptr);
  out.resize(written > 0 ? static_cast<size_t>(written) - 1 : 0);
  return out;
}

std::wstring AnsiToWide(const std::string& text) {
  const int count = static_cast<int>(text.size()) + 1;
  const int needed = MultiByteToWideChar(CP_ACP, 0, text.c_str(), count, nullptr, 0);
  if (needed <= 0) return std::wstring();
  std::wstring out(static_cast<size_t>(needed), L'\0');
  const int written = MultiByteToWideChar(CP_ACP, 0, text.c_str(), count, &out[0], needed);
  out.resize(written > 0 ? static_cast<size_t>(written) - 1 : 0);
  return out;
}

}  // namespace corvane
