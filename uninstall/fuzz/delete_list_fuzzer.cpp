// Fuzzes what the elevated uninstaller reads from places an ordinary user can write: the lines
// of "delete_file_list.txt" and the entry rule, and the installation folder rule (the stored
// "Install_Dir"; every line is tried as one too). Checks, besides the sanitizers: an accepted
// entry reaches something strictly inside the installation folder however Windows reads it,
// the removal walks it as the same names, and an accepted folder is neither a root nor a
// protected folder or one holding one.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/ansi.h"
#include "uninstall/delete_list.h"
#include "uninstall/fuzz/windows_path_model.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const std::vector<std::wstring>& Protected() {
  static const std::vector<std::wstring> folders = {L"C:\\Windows", L"C:\\Program Files", L"C:\\Users\\pupil\\Desktop",
                                                    L"\\\\server\\share\\profiles"};
  return folders;
}

bool IsSameOrAncestor(const corvane::fuzz::ResolvedFolder& dir, const corvane::fuzz::ResolvedFolder& of) {
  if (dir.root != of.root || dir.names.size() > of.names.size()) return false;
  return std::equal(dir.names.begin(), dir.names.end(), of.names.begin());
}

void CheckEntry(const std::wstring& entry) {
  if (!corvane::IsSafeDeleteEntry(entry)) return;
  const auto reached = corvane::fuzz::ResolveBelowFolder(entry);
  Check(reached.has_value());
  // The removal opens base\c1\...\cn: the same text with the separators made one.
  std::wstring walked;
  for (const std::wstring& component : corvane::EntryComponents(entry)) {
    Check(!component.empty() && component.find_first_of(L"\\/") == std::wstring::npos);
    walked += (walked.empty() ? L"" : L"\\") + component;
  }
  Check(corvane::fuzz::ResolveBelowFolder(walked) == reached);
}

void CheckInstallDir(const std::wstring& dir) {
  if (!corvane::IsDeletableInstallDir(dir, Protected())) return;
  const auto folder = corvane::fuzz::ResolveFolder(dir);
  Check(folder.has_value() && !folder->names.empty());
  for (const std::wstring& guarded : Protected()) Check(!IsSameOrAncestor(*folder, *corvane::fuzz::ResolveFolder(guarded)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  size_t lineBytes = 0;
  for (const std::string& line : corvane::SplitDeleteList(bytes)) {
    Check(!line.empty() && line.find('\n') == std::string::npos);
    lineBytes += line.size();
    // As the removal reads it: the system's code page (UTF-8 here).
    const std::wstring entry = corvane::AnsiToWide(line);
    CheckEntry(entry);
    CheckInstallDir(entry);
  }
  Check(lineBytes <= bytes.size());
  return 0;
}
