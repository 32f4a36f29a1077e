// Delete list parsing and the guards on entries and on the installation folder.
#include "uninstall/delete_list.h"

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <optional>

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

bool IsAbsolute(const std::wstring& dir) {
  const bool driveAbsolute = dir.size() >= 3 && std::iswalpha(static_cast<std::wint_t>(dir[0])) && dir[1] == L':' &&
                             (dir[2] == L'\\' || dir[2] == L'/');
  const bool unc = dir.size() >= 2 && (dir[0] == L'\\' || dir[0] == L'/') && (dir[1] == L'\\' || dir[1] == L'/');
  return driveAbsolute || unc;
}

std::wstring Lower(std::wstring s) {
  for (wchar_t& c : s) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
  return s;
}

// A name as Windows compares it: without its trailing dots and spaces, any letter case; empty
// for a name of dots and spaces only.
std::wstring ComparedName(const std::wstring& name) {
  return Lower(name.substr(0, name.find_last_not_of(L". ") + 1));  // npos + 1 == 0
}

// An absolute folder as Windows reads it: its root ("c:" or "\\server\share") and the names
// below, each in lower case without its trailing dots and spaces, doubled separators dropped.
// Nothing when a name is dots and spaces only: Windows reads ".", ".." or ".. " as this folder or
// its parent, so the text would not say which folder is meant.
struct ComparableFolder {
  std::wstring root;
  std::vector<std::wstring> names;
};

std::optional<ComparableFolder> Comparable(const std::wstring& dir) {
  const std::vector<std::wstring> parts = SplitComponents(dir);
  ComparableFolder folder;
  size_t first = 1;
  if (parts[0].empty()) {  // "\\server\share\...": parts "", "", server, share
    if (parts.size() < 4) return std::nullopt;
    // The server and share names are read as any other name: "\\server  \share" is
    // "\\server\share", never another, unguarded root.
    const std::wstring server = ComparedName(parts[2]), share = ComparedName(parts[3]);
    if (server.empty() || share.empty()) return std::nullopt;
    folder.root = L"\\\\" + server + L"\\" + share;
    first = 4;
  } else {
    folder.root = Lower(parts[0]);
  }
  for (size_t i = first; i < parts.size(); ++i) {
    if (parts[i].empty()) continue;
    folder.names.push_back(ComparedName(parts[i]));
    if (folder.names.back().empty()) return std::nullopt;
  }
  return folder;
}

bool IsSameOrAncestor(const ComparableFolder& ancestor, const ComparableFolder& folder) {
  return ancestor.root == folder.root && ancestor.names.size() <= folder.names.size() &&
         std::equal(ancestor.names.begin(), ancestor.names.end(), folder.names.begin());
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
  // The file API reads a name up to its first NUL: "\0x" would name the installation folder.
  if (entry.find(L'\0') != std::wstring::npos) return false;
  if (entry.find(L':') != std::wstring::npos) return false;  // drive-relative, streams, "C:\..."
  if (entry[0] == L'\\' || entry[0] == L'/') return false;    // rooted or UNC
  bool namesSomething = false;
  for (const std::wstring& component : SplitComponents(entry)) {
    // Windows drops trailing dots and spaces from a component, so ".. " is "..".
    const std::wstring trimmed = ComparedName(component);
    if (trimmed.empty() && component.find(L"..") != std::wstring::npos) return false;
    if (NamesDevice(component)) return false;
    namesSomething = namesSomething || !trimmed.empty();
  }
  return namesSomething;  // "." or ".\" alone is the installation folder itself
}

bool IsDeletableInstallDir(const std::wstring& dir, const std::vector<std::wstring>& protectedFolders) {
  if (dir.empty() || dir.size() >= 260 || !IsAbsolute(dir)) return false;
  if (dir.find(L':', 2) != std::wstring::npos || dir.find(L'\0') != std::wstring::npos) return false;
  const std::optional<ComparableFolder> folder = Comparable(dir);
  if (!folder || folder->names.empty()) return false;  // a root, or not plainly named
  return std::none_of(protectedFolders.begin(), protectedFolders.end(), [&](const std::wstring& guarded) {
    const std::optional<ComparableFolder> g = guarded.empty() ? std::nullopt : Comparable(guarded);
    return g && IsSameOrAncestor(*folder, *g);
  });
}

std::vector<std::wstring> EntryComponents(const std::wstring& entry) {
  std::vector<std::wstring> components = SplitComponents(entry);
  components.erase(std::remove(components.begin(), components.end(), std::wstring()), components.end());
  return components;
}

std::vector<std::wstring> ComparableEntry(const std::wstring& entry) {
  std::vector<std::wstring> names;
  for (const std::wstring& component : EntryComponents(entry)) {
    std::wstring name = ComparedName(component);
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

std::wstring StripFinalPathPrefix(const std::wstring& finalPath) {
  static const wchar_t kUnc[] = L"\\\\?\\UNC\\";
  static const wchar_t kLocal[] = L"\\\\?\\";
  if (finalPath.compare(0, wcslen(kUnc), kUnc) == 0) return L"\\\\" + finalPath.substr(wcslen(kUnc));
  if (finalPath.compare(0, wcslen(kLocal), kLocal) == 0) return finalPath.substr(wcslen(kLocal));
  return finalPath;
}

}  // namespace corvane
