// How Windows may read a path the elevated programs build from listed text, taken at its worst,
// for the fuzz targets' properties. Written from Win32's path handling, not from the rules it
// checks: a name loses its trailing dots and spaces, "." stays, ".." (also "..." or ".. ") may go
// up, the API stops at the first NUL, a device name is a device in any folder.
#pragma once

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace corvane::fuzz {

inline bool OnlyDotsAndSpaces(const std::wstring& name) { return name.find_first_not_of(L". ") == std::wstring::npos; }

// "..", ".. ", "...": names that trim to ".." or that some reading takes as the parent.
inline bool MayBeParent(const std::wstring& name) { return name.compare(0, 2, L"..") == 0 && OnlyDotsAndSpaces(name); }

// Before its first dot, trailing spaces ignored, any letter case: CON, PRN, AUX, NUL, CONIN$,
// CONOUT$, COM1-9 and LPT1-9 (superscript 1-3 too).
inline bool MayBeDevice(const std::wstring& name) {
  std::wstring base = name.substr(0, name.find(L'.'));
  base.erase(base.find_last_not_of(L' ') + 1);
  for (wchar_t& c : base) c = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
  if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL" || base == L"CONIN$" || base == L"CONOUT$")
    return true;
  if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0)) return false;
  return std::wstring(L"123456789\x00B9\x00B2\x00B3").find(base[3]) != std::wstring::npos;
}

// A name as NTFS compares it here: trailing dots and spaces gone, ASCII letters folded.
inline std::wstring ComparedName(std::wstring name) {
  name.erase(name.find_last_not_of(L". ") + 1);
  for (wchar_t& c : name) c = (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : c;
  return name;
}

inline std::vector<std::wstring> SplitAtSeparators(const std::wstring& path) {
  std::vector<std::wstring> parts(1);
  for (wchar_t c : path) {
    if (c == L'\\' || c == L'/') {
      parts.emplace_back();
    } else {
      parts.back().push_back(c);
    }
  }
  return parts;
}

// Walks `names` down onto `below`: "." and empty names stay, ".." goes up. False when some
// reading goes above where the walk started.
inline bool WalkNames(const std::vector<std::wstring>& names, std::vector<std::wstring>& below) {
  for (const std::wstring& name : names) {
    if (MayBeParent(name)) {
      if (below.empty()) return false;
      below.pop_back();
    } else if (!OnlyDotsAndSpaces(name)) {
      below.push_back(ComparedName(name));
    }
  }
  return true;
}

// The names an entry of the delete list reaches below the installation folder; nothing when
// some reading of it leaves the folder, names the folder itself or names a device.
inline std::optional<std::vector<std::wstring>> ResolveBelowFolder(std::wstring entry) {
  entry.resize(std::min(entry.size(), entry.find(L'\0')));
  if (entry.find(L':') != std::wstring::npos) return std::nullopt;  // a drive, or a stream
  if (!entry.empty() && (entry[0] == L'\\' || entry[0] == L'/')) return std::nullopt;
  const std::vector<std::wstring> names = SplitAtSeparators(entry);
  for (const std::wstring& name : names) {
    if (MayBeDevice(name)) return std::nullopt;
  }
  std::vector<std::wstring> below;
  if (!WalkNames(names, below) || below.empty()) return std::nullopt;
  return below;
}

// An absolute folder ("C:\a\b", "\\server\share\a") as its root and the names below it; nothing
// for anything else, and when some reading goes above the root (Windows stops there: the root).
struct ResolvedFolder {
  std::vector<std::wstring> root;
  std::vector<std::wstring> names;
};
inline std::optional<ResolvedFolder> ResolveFolder(std::wstring dir) {
  dir.resize(std::min(dir.size(), dir.find(L'\0')));
  const std::vector<std::wstring> parts = SplitAtSeparators(dir);
  ResolvedFolder folder;
  std::vector<std::wstring> rest;
  if (dir.size() >= 3 && dir[1] == L':' && (dir[2] == L'\\' || dir[2] == L'/')) {
    folder.root = {ComparedName(parts[0])};
    rest.assign(parts.begin() + 1, parts.end());
  } else if (parts.size() >= 4 && parts[0].empty() && parts[1].empty() && !parts[2].empty() && !parts[3].empty()) {
    folder.root = {ComparedName(parts[2]), ComparedName(parts[3])};
    rest.assign(parts.begin() + 4, parts.end());
  } else {
    return std::nullopt;
  }
  if (!WalkNames(rest, folder.names)) return std::nullopt;
  return folder;
}

}  // namespace corvane::fuzz
