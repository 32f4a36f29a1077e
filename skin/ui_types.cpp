// Attribute value parsers.
#include "skin/ui_types.h"

#include <cwchar>
#include <vector>

namespace corvane {
namespace {

std::optional<std::vector<int>> ParseInts(const std::wstring& text, size_t count) {
  std::vector<int> values;
  const wchar_t* p = text.c_str();
  while (values.size() < count) {
    while (*p == L' ') ++p;
    wchar_t* end = nullptr;
    const long v = std::wcstol(p, &end, 10);
    if (end == p || v > kUiCoordinateLimit || v < -kUiCoordinateLimit) return std::nullopt;
    values.push_back(static_cast<int>(v));
    p = end;
    while (*p == L' ') ++p;
    if (values.size() < count) {
      if (*p != L',') return std::nullopt;
      ++p;
    }
  }
  if (*p != L'\0') return std::nullopt;
  return values;
}

}  // namespace

UiImageSpec ParseImageSpec(const std::wstring& text) {
  UiImageSpec parsed;
  if (text.find(L'=') == std::wstring::npos) {
    parsed.file = text;
    return parsed;
  }
  // key='value' pairs separated by spaces.
  size_t at = 0;
  while (at < text.size()) {
    while (at < text.size() && text[at] == L' ') ++at;
    const size_t eq = text.find(L'=', at);
    if (eq == std::wstring::npos || eq + 1 >= text.size() || text[eq + 1] != L'\'') break;
    const size_t close = text.find(L'\'', eq + 2);
    if (close == std::wstring::npos) break;
    const std::wstring key = text.substr(at, eq - at);
    const std::wstring value = text.substr(eq + 2, close - eq - 2);
    if (key == L"file") parsed.file = value;
    if (key == L"dest") {
      if (auto rc = ParseRect(value)) {
        parsed.hasDest = true;
        parsed.dest = *rc;
      }
    }
    at = close + 1;
  }
  return parsed;
}

std::optional<UiColor> ParseColor(const std::wstring& text) {
  if (text.size() != 7 && text.size() != 9) return std::nullopt;
  if (text[0] != L'#') return std::nullopt;
  UiColor value = 0;
  for (size_t i = 1; i < text.size(); ++i) {
    const wchar_t c = text[i];
    int digit = 0;
    if (c >= L'0' && c <= L'9') digit = c - L'0';
    else if (c >= L'a' && c <= L'f') digit = c - L'a' + 10;
    else if (c >= L'A' && c <= L'F') digit = c - L'A' + 10;
    else return std::nullopt;
    value = (value << 4) | static_cast<UiColor>(digit);
  }
  if (text.size() == 7) value |= 0xFF000000u;
  return value;
}

std::optional<UiRect> ParseRect(const std::wstring& text) {
  auto v = ParseInts(text, 4);
  if (!v) return std::nullopt;
  return UiRect{(*v)[0], (*v)[1], (*v)[2], (*v)[3]};
}

std::optional<UiSize> ParseSize(const std::wstring& text) {
  auto v = ParseInts(text, 2);
  if (!v) return std::nullopt;
  return UiSize{(*v)[0], (*v)[1]};
}

std::optional<int> ParseInt(const std::wstring& text) {
  auto v = ParseInts(text, 1);
  if (!v) return std::nullopt;
  return (*v)[0];
}

std::optional<bool> ParseBool(const std::wstring& text) {
  if (text == L"true") return true;
  if (text == L"false") return false;
  return std::nullopt;
}

}  // namespace corvane
