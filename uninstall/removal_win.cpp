// RunRemoval and its steps: process termination, the delete list, tree deletion, registry keys
// and shortcuts.
#include "uninstall/removal_win.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <fstream>
#include <iterator>

#include "base/ansi.h"
#include "base/product_names.h"
#include "base/registry_win.h"
#include "base/unique_handle_win.h"
#include "uninstall/delete_list.h"

namespace corvane {
namespace {

constexpr wchar_t kUninstallEntryKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CorvaneClient";
constexpr wchar_t kDeleteListName[] = L"delete_file_list.txt";

struct Shortcut {
  int csidl;
  const wchar_t* path;
};
const Shortcut kShortcuts[] = {
    {CSIDL_DESKTOP, L"\\Drovessa\x8001\x5E08\x7AEF.lnk"},                      // Drovessa老师端.lnk
    {CSIDL_STARTMENU, L"\\Programs\\Corvane\\Drovessa\x8001\x5E08\x7AEF.lnk"},
    {CSIDL_STARTMENU, L"\\Programs\\Corvane\\uninstall.lnk"},
};

std::wstring FoldAscii(std::wstring s) {
  for (wchar_t& c : s) {
    if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
  }
  return s;
}

bool IsLink(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A junction or directory symlink goes with RemoveDirectoryW, a file symlink with DeleteFileW;
// both remove the link, never its target.
void RemoveLink(const std::wstring& path, DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    RemoveDirectoryW(path.c_str());
  } else {
    DeleteFileW(path.c_str());
  }
}

// The parent of a search pattern such as "C:\dir\*.*": "C:\dir".
std::wstring PatternParent(const std::wstring& pattern) {
  wchar_t buffer[MAX_PATH] = {};
  if (pattern.size() >= MAX_PATH) return pattern.substr(0, pattern.find_last_of(L'\\'));
  pattern.copy(buffer, pattern.size());
  PathRemoveBackslashW(buffer);
  PathRemoveFileSpecW(buffer);
  return buffer;
}

}  // namespace

bool TerminateClientProcesses(const std::wstring& name) {
  UniqueKernelHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return false;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  if (!Process32FirstW(snapshot.Get(), &entry)) return false;
  const std::wstring wanted = FoldAscii(name);
  do {
    if (FoldAscii(entry.szExeFile) == wanted) {
      UniqueKernelHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID));
      if (process) TerminateProcess(process.Get(), 0);
    }
  } while (Process32NextW(snapshot.Get(), &entry));
  return true;
}

std::vector<std::wstring> ReadDeleteList() {
  const std::wstring dir = GetInstallDir();
  if (dir.empty()) return {};
  return ReadDeleteListFile(dir + L"\\" + kDeleteListName);
}

std::vector<std::wstring> ReadDeleteListFile(const std::wstring& path) {
  std::vector<std::wstring> entries;
  // Share mode of an ifstream on Windows allows other readers and writers.
  std::ifstream file(path.c_str(), std::ios::binary);
  if (!file) return entries;
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  for (const std::string& line : SplitDeleteList(bytes)) entries.push_back(AnsiToWide(line));
  return entries;
}

bool DeleteDirectoryTree(const std::wstring& folder) {
  const DWORD own = GetFileAttributesW(folder.c_str());
  if (IsLink(own)) {
    RemoveLink(folder, own);
    return GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
  }
  const std::wstring pattern = folder + L"\\*.*";
  const std::wstring parent = PatternParent(pattern);
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW found = {};
  UniqueFindHandle search(FindFirstFileW(pattern.c_str(), &found));
  if (search) {
    do {
      const std::wstring child = parent + L"\\" + found.cFileName;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        if (StrCmpW(found.cFileName, L".") == 0 || StrCmpW(found.cFileName, L"..") == 0) continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
          RemoveLink(child, found.dwFileAttributes);  // never enter a junction
        } else {
          DeleteDirectoryTree(child);
        }
      } else {
        files.push_back(child);
      }
    } while (FindNextFileW(search.Get(), &found));
  }
  for (const std::wstring& file : files) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
      SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    DeleteFileW(file.c_str());
  }
  const BOOL removed = RemoveDirectoryW(folder.c_str());
  return removed != FALSE;
}

void DeletePath(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (IsLink(attributes)) {
    RemoveLink(path, attributes);
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {  // also INVALID_FILE_ATTRIBUTES: finds nothing
    DeleteDirectoryTree(path);
  } else {
    DeleteFileW(path.c_str());  // read-only stays read-only: a file named directly is kept
  }
}

std::wstring GetSpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE)) return std::wstring();
  PathRemoveBackslashW(path);
  return path;
}

std::vector<std::wstring> ProtectedFolders() {
  static const int kFolders[] = {
      CSIDL_WINDOWS,          CSIDL_SYSTEM,        CSIDL_SYSTEMX86,          CSIDL_PROGRAM_FILES,
      CSIDL_PROGRAM_FILESX86, CSIDL_PROGRAM_FILES_COMMON, CSIDL_PROFILE,     CSIDL_DESKTOPDIRECTORY,
      CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_PERSONAL, CSIDL_APPDATA,          CSIDL_LOCAL_APPDATA,
      CSIDL_COMMON_APPDATA,   CSIDL_STARTMENU,     CSIDL_COMMON_STARTMENU,
  };
  std::vector<std::wstring> folders;
  for (int csidl : kFolders) {
    std::wstring folder = GetSpecialFolder(csidl);
    if (!folder.empty()) folders.push_back(folder);
  }
  // Every user's profile lives under the profiles folder: C:\Users itself is protected through
  // the current profile, the other profiles through their common parent.
  wchar_t profiles[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (SHGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                  L"ProfilesDirectory", nullptr, profiles, &size) == ERROR_SUCCESS) {
    wchar_t expanded[MAX_PATH] = {};
    if (ExpandEnvironmentStringsW(profiles, expanded, MAX_PATH) > 0) folders.push_back(expanded);
  }
  return folders;
}

void DeleteListedEntries(const std::wstring& dir, const std::vector<std::wstring>& entries) {
  if (!IsDeletableInstallDir(dir, ProtectedFolders())) return;
  for (const std::wstring& entry : entries) {
    if (IsSafeDeleteEntry(entry)) DeletePath(dir + L"\\" + entry);
  }
}

bool RunRemoval() {
  TerminateClientProcesses(kClientExeName);

  // Held until the process exits, so a client started from here on ends at once.
  static HANDLE clientMutex = CreateMutexW(nullptr, FALSE, kClientMutexName);
  (void)clientMutex;

  DeleteListedEntries(GetInstallDir(), ReadDeleteList());

  SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallEntryKey);

  for (const Shortcut& shortcut : kShortcuts) {
    const std::wstring folder = GetSpecialFolder(shortcut.csidl);
    if (!folder.empty()) DeleteFileW((folder + shortcut.path).c_str());
  }
  return true;
}

}  // namespace corvane
