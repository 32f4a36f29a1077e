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

// Opens a folder without FILE_SHARE_DELETE, so nobody can rename or delete it (nor swap it for a
// link) while the handle lives. The share mode binds others only when the handle asks for data
// access, hence FILE_LIST_DIRECTORY.
UniqueKernelHandle OpenFolderUndeletable(const std::wstring& path, DWORD flags) {
  return UniqueKernelHandle(CreateFileW(path.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | flags, nullptr));
}

bool IsFolder(HANDLE handle, DWORD* attributes) {
  BY_HANDLE_FILE_INFORMATION info = {};
  if (!GetFileInformationByHandle(handle, &info)) return false;
  *attributes = info.dwFileAttributes;
  return (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// `path` held open, when it is a folder and no link; otherwise an empty handle. Windows shows a
// link through the handle; Wine opens the target of a Unix symlink even with
// FILE_FLAG_OPEN_REPARSE_POINT and shows the link only in the attributes of its name, so both
// are read, the name's after the open, when it can no longer change.
UniqueKernelHandle HoldPlainFolder(const std::wstring& path) {
  UniqueKernelHandle folder = OpenFolderUndeletable(path, FILE_FLAG_OPEN_REPARSE_POINT);
  if (!folder) return folder;
  DWORD opened = 0;
  const DWORD named = GetFileAttributesW(path.c_str());
  const bool plain = IsFolder(folder.Get(), &opened) && !(opened & FILE_ATTRIBUTE_REPARSE_POINT) &&
                     named != INVALID_FILE_ATTRIBUTES && !(named & FILE_ATTRIBUTE_REPARSE_POINT);
  if (!plain) folder.Reset();
  return folder;
}

// The final path of an open handle in the form the folder guards compare; empty on failure.
std::wstring FinalPathOf(HANDLE handle) {
  std::wstring path(MAX_PATH, L'\0');
  DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
  if (length >= path.size()) {
    path.resize(length);
    length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
  }
  if (length == 0 || length >= path.size()) return std::wstring();
  path.resize(length);
  return StripFinalPathPrefix(path);
}

// The installation folder as a base for deletions: resolved through any link, judged by its
// stored text and by its final path, and held open while the list is worked.
struct InstallBase {
  UniqueKernelHandle held;
  std::wstring path;  // the final path; every entry is walked from here
};

InstallBase OpenInstallBase(const std::wstring& stored) {
  InstallBase base;
  const std::vector<std::wstring> protectedFolders = ProtectedFolders();
  if (!IsDeletableInstallDir(stored, protectedFolders)) return base;
  UniqueKernelHandle folder = OpenFolderUndeletable(stored, 0);  // through any link: its target counts
  DWORD attributes = 0;
  if (!folder || !IsFolder(folder.Get(), &attributes)) return base;
  const std::wstring finalPath = FinalPathOf(folder.Get());
  if (!IsDeletableInstallDir(finalPath, protectedFolders)) return base;
  base.held = std::move(folder);
  base.path = finalPath;
  return base;
}

// The list step: each entry the entry rule accepts, walked down from the held base.
void DeleteEntriesFrom(const InstallBase& base, const std::vector<std::wstring>& entries) {
  for (const std::wstring& entry : entries) {
    if (IsSafeDeleteEntry(entry)) DeleteListedEntry(base.path, entry);
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

std::vector<std::wstring> ReadDeleteList() { return ReadDeleteList(GetInstallDir()); }

std::vector<std::wstring> ReadDeleteList(const std::wstring& dir) {
  std::vector<std::wstring> entries;
  if (dir.empty()) return entries;
  // Share mode of an ifstream on Windows allows other readers and writers.
  std::ifstream file((dir + L"\\" + kDeleteListName).c_str(), std::ios::binary);
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
  // Held while its content goes, closed just before the folder itself is removed. A folder that
  // cannot be held as a plain folder is not entered: RemoveDirectoryW then takes only a link or
  // an empty folder.
  UniqueKernelHandle held = HoldPlainFolder(folder);
  const std::wstring pattern = folder + L"\\*.*";
  const std::wstring parent = PatternParent(pattern);
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW found = {};
  UniqueFindHandle search(held ? FindFirstFileW(pattern.c_str(), &found) : INVALID_HANDLE_VALUE);
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
  held.Reset();
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

void DeleteListedEntry(const std::wstring& base, const std::wstring& entry) {
  const std::vector<std::wstring> components = EntryComponents(entry);
  if (components.empty()) return;
  std::vector<UniqueKernelHandle> walked;  // every folder above the entry, held until it is gone
  std::wstring path = base;
  for (size_t i = 0; i + 1 < components.size(); ++i) {
    path += L"\\" + components[i];
    UniqueKernelHandle folder = HoldPlainFolder(path);
    if (!folder) return;  // a link, no folder, or unreadable: nothing of this entry is touched
    walked.push_back(std::move(folder));
  }
  DeletePath(path + L"\\" + components.back());
}

std::wstring GetFinalFolderPath(const std::wstring& folder) {
  // A look, not a hold: every sharing allowed.
  const UniqueKernelHandle handle(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES,
                                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return handle ? FinalPathOf(handle.Get()) : std::wstring();
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
  // Each folder also by its final path: a folder reached through a link (Wine links the desktop
  // and the documents to the user's home) is compared by where it really is.
  std::vector<std::wstring> folders;
  auto add = [&folders](const std::wstring& folder) {
    if (folder.empty()) return;
    folders.push_back(folder);
    const std::wstring finalPath = GetFinalFolderPath(folder);
    if (!finalPath.empty() && finalPath != folder) folders.push_back(finalPath);
  };
  for (int csidl : kFolders) add(GetSpecialFolder(csidl));
  // Every user's profile lives under the profiles folder: C:\Users itself is protected through
  // the current profile, the other profiles through their common parent.
  wchar_t profiles[MAX_PATH] = {};
  DWORD size = MAX_PATH;
  if (SHGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
                  L"ProfilesDirectory", nullptr, profiles, &size) == ERROR_SUCCESS) {
    wchar_t expanded[MAX_PATH] = {};
    if (ExpandEnvironmentStringsW(profiles, expanded, MAX_PATH) > 0) add(expanded);
  }
  return folders;
}

void DeleteListedEntries(const std::wstring& dir, const std::vector<std::wstring>& entries) {
  const InstallBase base = OpenInstallBase(dir);
  if (base.held) DeleteEntriesFrom(base, entries);
}

bool RunRemoval() {
  TerminateClientProcesses(kClientExeName);

  // Held until the process exits, so a client started from here on ends at once.
  static HANDLE clientMutex = CreateMutexW(nullptr, FALSE, kClientMutexName);
  (void)clientMutex;

  const InstallBase base = OpenInstallBase(GetInstallDir());
  if (base.held) DeleteEntriesFrom(base, ReadDeleteList(base.path));

  SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  SHDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallEntryKey);

  for (const Shortcut& shortcut : kShortcuts) {
    const std::wstring folder = GetSpecialFolder(shortcut.csidl);
    if (!folder.empty()) DeleteFileW((folder + shortcut.path).c_str());
  }
  return true;
}

}  // namespace corvane
