// Delete list parsing and the guards on entries and on the installation folder.
#include "uninstall/delete_list.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>

namespace corvane {
namespace {

std::vector<std::wstring> SplitComponents(const std::wstring& path) {
  std::vector<std::wstring> parts;
  std::wstring current;
  for (wchar_t c : path) {
    if (c == L'\\' || c == L'/') {
      parts.push_back(current);
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  parts.push_back(current);
  return parts;
}

std::wstring UpperAscii(std::wstring s) {
  for (wchar_t& c : s) {
    if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
  }
  return s;
}

// Windows resolves a device name before the first dot and ignores trailing spaces there:
// "nul.txt", "CON .log" and "com1" all open devices.
bool NamesDevice(const std::wstring& component) {
  std::wstring base = component.substr(0, component.find(L'.'));
  while (!base.empty() && base.back() == L' ') base.pop_back();
  base = UpperAscii(base);
  static const wchar_t* const kFixed[] = {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"};
  for (const wchar_t* name : kFixed) {
    if (base == name) return true;
  }
  if (base.size() == 4 && (base.compare(0, 3, L"COM") == 0 || base.compare(0, 3, L"LPT") == 0)) {
    const wchar_t digit = base[3];
    // Superscript 1-3 count as digits for the device table too.
    return (digit >= L'1' && digit <= L'9') || digit == L'\x00B9' || digit == L'\x00B2' || digit == L'\x00B3';
  }
  return false;
}

std::wstring NormalisedForCompare(std::wstring path) {
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  for (wchar_t& c : path) {
    c = (c == L'/') ? L'\\' : static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  }
  return path;
}

bool IsAbsolute(const std::wstring& dir) {
  const bool driveAbsolute = dir.size() >= 3 && std::iswalpha(static_cast<std::wint_t>(dir[0])) && dir[1] == L':' &&
                             (dir[2] == L'\\' || dir[2] == L'/');
  const bool unc = dir.size() >= 2 && (dir[0] == L'\\' || dir[0] == L'/') && (dir[1] == L'\\' || dir[1] == L'/');
  return driveAbsolute || unc;
}

// "C:\" or "\\server\share" (with or without a trailing backslash).
bool IsRoot(const std::wstring& normalised) {
  if (normalised.size() == 2 && normalised[1] == L':') return true;
  if (normalised.compare(0, 2, L"\\\\") == 0) {
    const std::vector<std::wstring> parts = SplitComponents(normalised.substr(2));
    return parts.size() <= 2;
  }
  return false;
}

bool IsSameOrAncestor(const std::wstring& ancestor, const std::wstring& path) {
  if (path.size() < ancestor.size() || path.compare(0, ancestor.size(), ancestor) != 0) return false;
  return path.size() == ancestor.size() || path[ancestor.size()] == L'\\';
}

}  // namespace

std::vector<std::string> SplitDeleteList(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    const bool hasEnd = end != std::string::npos;
    if (!hasEnd) end = bytes.size();
    std::string line = bytes.substr(start, end - start);
    if (hasEnd && !line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

bool IsSafeDeleteEntry(const std::wstring& entry) {
  if (entry.empty()) return false;
  if (entry.find(L':') != std::wstring::npos) return false;  // drive-relative, streams, "C:\..."
  if (entry[0] == L'\\' || entry[0] == L'/') return false;    // rooted or UNC
  for (const std::wstring& component : SplitComponents(entry)) {
    // Windows drops trailing dots and spaces from a component, so ".. " is "..".
    std::wstring trimmed = component;
    while (!trimmed.empty() && (trimmed.back() == L'.' || trimmed.back() == L' ')) trimmed.pop_back();
    if (trimmed.empty() && component.find(L"..") != std::wstring::npos) return false;
    if (NamesDevice(component)) return false;
  }
  return true;
}

bool IsDeletableInstallDir(const std::wstring& dir, const std::vector<std::wstring>& protectedFolders) {
  if (dir.empty() || dir.size() >= 260 || !IsAbsolute(dir)) return false;
  if (dir.find(L':', 2) != std::wstring::npos) return false;
  for (const std::wstring& component : SplitComponents(dir.substr(2))) {
    if (component == L"..") return false;
  }
  const std::wstring normalised = NormalisedForCompare(dir);
  if (IsRoot(normalised)) return false;
  return std::none_of(protectedFolders.begin(), protectedFolders.end(), [&](const std::wstring& folder) {
    const std::wstring f = NormalisedForCompare(folder);
    return !f.empty() && IsSameOrAncestor(normalised, f);
  });
}

std::vector<std::wstring> EntryComponents(const std::wstring& entry) {
  std::vector<std::wstring> components = SplitComponents(entry);
  components.erase(std::remove(components.begin(), components.end(), std::wstring()), components.end());
  return components;
}

std::wstring StripFinalPathPrefix(const std::wstring& finalPath) {
  static const wchar_t kUnc[] = L"\\\\?\\UNC\\";
  static const wchar_t kLocal[] = L"\\\\?\\";
  if (finalPath.compare(0, wcslen(kUnc), kUnc) == 0) return L"\\\\" + finalPath.substr(wcslen(kUnc));
  if (finalPath.compare(0, wcslen(kLocal), kLocal) == 0) return finalPath.substr(wcslen(kLocal));
  return finalPath;
}

}  // namespace corvane
