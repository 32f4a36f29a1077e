// The removal against a real installation laid out in a temporary folder of the Wine prefix:
// files, read-only files, links, registry keys, shortcuts, processes and the mutex.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "base/product_names.h"
#include "base/program_folder.h"
#include "uninstall/removal_win.h"
#include "uninstall/tests/run_program_win.h"

namespace corvane {
namespace {

constexpr wchar_t kUninstallEntry[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CorvaneClient";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void WriteFile(const std::wstring& path, const std::string& bytes, bool readOnly = false) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
  if (readOnly) SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY);
}

void ClearReadOnly(const std::wstring& path) { SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL); }

// Creates `link` as a directory junction to `target`. Wine does not implement
// FSCTL_SET_REPARSE_POINT, but it reports a Unix symbolic link as a directory reparse point,
// which is what the removal must not follow; under Wine the link is made with /bin/ln.
bool MakeJunction(const std::wstring& link, const std::wstring& target) {
  CreateDirectoryW(link.c_str(), nullptr);
  HANDLE h = CreateFileW(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    const std::wstring substitute = L"\\??\\" + target;
    std::string buffer(16 + (substitute.size() + target.size() + 2) * sizeof(wchar_t), '\0');
    auto* header = reinterpret_cast<unsigned char*>(&buffer[0]);
    auto put16 = [&](size_t at, size_t v) {
      header[at] = static_cast<unsigned char>(v);
      header[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    const size_t subBytes = substitute.size() * sizeof(wchar_t), printBytes = target.size() * sizeof(wchar_t);
    *reinterpret_cast<DWORD*>(header) = IO_REPARSE_TAG_MOUNT_POINT;
    put16(4, buffer.size() - 8);
    put16(8, 0);
    put16(10, subBytes);
    put16(12, subBytes + sizeof(wchar_t));
    put16(14, printBytes);
    memcpy(header + 16, substitute.c_str(), subBytes);
    memcpy(header + 16 + subBytes + sizeof(wchar_t), target.c_str(), printBytes);
    DWORD returned = 0;
    const BOOL ok = DeviceIoControl(h, FSCTL_SET_REPARSE_POINT, header, static_cast<DWORD>(buffer.size()), nullptr, 0,
                                    &returned, nullptr);
    CloseHandle(h);
    if (ok) return true;
  }
  RemoveDirectoryW(link.c_str());
  // Wine: a Unix symlink. wine_get_unix_file_name gives the host paths.
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (toUnix == nullptr) return false;
  char* unixTarget = toUnix(target.c_str());
  const std::wstring parent = link.substr(0, link.find_last_of(L'\\'));
  char* unixParent = toUnix(parent.c_str());
  if (unixTarget == nullptr || unixParent == nullptr) return false;
  const std::string unixLink = std::string(unixParent) + "/" + std::string(link.begin() + parent.size() + 1, link.end());
  std::string command = std::string("Z:\\bin\\ln -s \"") + unixTarget + "\" \"" + unixLink + "\"";
  HeapFree(GetProcessHeap(), 0, unixTarget);
  HeapFree(GetProcessHeap(), 0, unixParent);
  STARTUPINFOA si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return (GetFileAttributesW(link.c_str()) & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// A program that creates the client's mutex the way the client does: its exit code is 183
// (ERROR_ALREADY_EXISTS) while someone holds the mutex.
DWORD ProbeClientMutex() { return RunAndWait(GetProgramFolder() + L"\\uninstall_test_mutex_probe.exe"); }

class Removal : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"corvane_removal_" + std::to_wstring(GetCurrentProcessId());
    install = root + L"\\Install Dir";
    canary = root + L"\\canary";
    CreateDirectoryW(root.c_str(), nullptr);
    CreateDirectoryW(install.c_str(), nullptr);
    CreateDirectoryW(canary.c_str(), nullptr);
    WriteFile(canary + L"\\keep.txt", "outside the installation");
  }
  void TearDown() override {
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallEntry);
    // Leave nothing read-only behind, then remove what is left.
    ClearReadOnly(install + L"\\readonly_direct.txt");
    SHFILEOPSTRUCTW op = {};
    std::wstring from = root + L'\0';
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
  }

  void SetInstallDir(const std::wstring& dir) {
    ASSERT_EQ(SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue, REG_SZ, dir.c_str(),
                          static_cast<DWORD>((dir.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
  }
  void WriteList(const std::string& text) { WriteFile(install + L"\\delete_file_list.txt", text); }

  std::wstring root, install, canary;
};

TEST_F(Removal, DeletesListedEntriesKeysAndShortcuts) {
  // A folder with nested content and read-only files, files named directly, an entry with a
  // trailing space, and other values under the client's key.
  CreateDirectoryW((install + L"\\skin").c_str(), nullptr);
  CreateDirectoryW((install + L"\\skin\\images").c_str(), nullptr);
  WriteFile(install + L"\\skin\\skin.zip", "zip");
  WriteFile(install + L"\\skin\\images\\ro.png", "png", /*readOnly=*/true);
  WriteFile(install + L"\\CorvaneClient.exe", "MZ");
  WriteFile(install + L"\\readonly_direct.txt", "ro", /*readOnly=*/true);
  WriteFile(install + L"\\unlisted.txt", "not in the list");
  WriteList("skin\r\n\r\nCorvaneClient.exe\nreadonly_direct.txt\r\nspaced \nmissing_entry\n");
  SetInstallDir(install + L"\\");
  const DWORD seconds = 12345;
  SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", REG_DWORD, &seconds, sizeof(seconds));
  SHSetValueW(HKEY_LOCAL_MACHINE, kUninstallEntry, L"DisplayName", REG_SZ, L"x", 4);

  const std::wstring desktop = GetSpecialFolder(CSIDL_DESKTOP);
  const std::wstring startMenu = GetSpecialFolder(CSIDL_STARTMENU);
  ASSERT_FALSE(desktop.empty());
  ASSERT_FALSE(startMenu.empty());
  EXPECT_NE(desktop.back(), L'\\');
  SHCreateDirectoryExW(nullptr, (startMenu + L"\\Programs\\Corvane").c_str(), nullptr);
  const std::wstring shortcuts[] = {desktop + L"\\Drovessa\x8001\x5E08\x7AEF.lnk",
                                    startMenu + L"\\Programs\\Corvane\\Drovessa\x8001\x5E08\x7AEF.lnk",
                                    startMenu + L"\\Programs\\Corvane\\uninstall.lnk"};
  for (const std::wstring& s : shortcuts) WriteFile(s, "lnk");
  const std::wstring otherShortcut = desktop + L"\\other.lnk";
  WriteFile(otherShortcut, "lnk");

  // The first removal of this process: before it, nobody holds the client's mutex.
  EXPECT_EQ(ProbeClientMutex(), 0u);
  const std::vector<std::wstring> entries = ReadDeleteList();
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(entries[3], L"spaced ") << "a trailing space is kept";

  EXPECT_TRUE(RunRemoval());

  EXPECT_EQ(ProbeClientMutex(), 183u) << "held from the removal on, so a client started now ends at once";
  EXPECT_FALSE(Exists(install + L"\\skin")) << "a listed folder goes with its read-only content";
  EXPECT_FALSE(Exists(install + L"\\CorvaneClient.exe"));
  EXPECT_TRUE(Exists(install + L"\\readonly_direct.txt")) << "a read-only file named directly stays";
  EXPECT_TRUE(Exists(install + L"\\unlisted.txt"));
  EXPECT_TRUE(Exists(install + L"\\delete_file_list.txt"));
  EXPECT_TRUE(Exists(install));
  std::wstring value;
  DWORD size = 0;
  EXPECT_NE(SHGetValueW(HKEY_CURRENT_USER, kClientRegistryKey, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
  HKEY key = nullptr;
  EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, kClientRegistryKey, 0, KEY_READ, &key), ERROR_SUCCESS);
  EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallEntry, 0, KEY_READ, &key), ERROR_SUCCESS);
  for (const std::wstring& s : shortcuts) EXPECT_FALSE(Exists(s));
  EXPECT_TRUE(Exists(otherShortcut));
  EXPECT_TRUE(Exists(startMenu + L"\\Programs\\Corvane")) << "the Start menu folder itself stays";
  DeleteFileW(otherShortcut.c_str());
}

TEST_F(Removal, HostileEntriesNeverReachOutside) {
  WriteFile(install + L"\\inside.txt", "x");
  const std::string canaryAnsi(canary.begin(), canary.end());
  WriteList(canaryAnsi + "\r\n" + canaryAnsi + "\\keep.txt\n..\\canary\n..\\canary\\keep.txt\nx\\..\\..\\canary\n" +
            canaryAnsi.substr(2) + "\n" + canaryAnsi.substr(0, 2) + canaryAnsi.substr(3) + "\nNUL\nCON.txt\n" +
            "\\\\?\\" + canaryAnsi + "\ninside.txt\n");
  SetInstallDir(install);
  RunRemoval();
  EXPECT_TRUE(Exists(canary + L"\\keep.txt"));
  EXPECT_FALSE(Exists(install + L"\\inside.txt")) << "the safe entry after the hostile ones still runs";
}

TEST_F(Removal, JunctionInsideTheFolderIsRemovedNotFollowed) {
  CreateDirectoryW((install + L"\\data").c_str(), nullptr);
  WriteFile(install + L"\\data\\own.txt", "x");
  ASSERT_TRUE(MakeJunction(install + L"\\data\\link", canary));
  ASSERT_TRUE(MakeJunction(install + L"\\toplink", canary));
  WriteList("data\ntoplink\n");
  SetInstallDir(install);
  RunRemoval();
  EXPECT_TRUE(Exists(canary + L"\\keep.txt"));
  EXPECT_FALSE(Exists(install + L"\\data\\own.txt"));
}

TEST_F(Removal, UnusableInstallDirSkipsListedDeletions) {
  WriteFile(install + L"\\victim.txt", "x");
  WriteList("victim.txt\n");
  const std::wstring listAtRoot = L"C:\\delete_file_list.txt";
  for (const std::wstring& dir : {std::wstring(L""), std::wstring(L"C:\\"), std::wstring(L"C:"),
                                  install + L"\\" + std::wstring(260, L'a')}) {
    SetInstallDir(dir);
    RunRemoval();
    EXPECT_TRUE(Exists(install + L"\\victim.txt"));
  }
  SetInstallDir(install);
  RunRemoval();
  EXPECT_FALSE(Exists(install + L"\\victim.txt")) << "the same list with a sound folder does delete";
}

TEST_F(Removal, SystemFoldersAreNeverABase) {
  const std::vector<std::wstring> folders = ProtectedFolders();
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  auto has = [&](const std::wstring& f) {
    for (const std::wstring& p : folders) {
      if (lstrcmpiW(p.c_str(), f.c_str()) == 0) return true;
    }
    return false;
  };
  EXPECT_TRUE(has(windows));
  EXPECT_TRUE(has(GetSpecialFolder(CSIDL_PROFILE)));
  EXPECT_TRUE(has(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY)));
  EXPECT_TRUE(has(GetSpecialFolder(CSIDL_PROGRAM_FILES)));
}

PROCESS_INFORMATION StartCopyOf(const std::wstring& program, const std::wstring& asPath) {
  PROCESS_INFORMATION pi = {};
  CopyFileW(program.c_str(), asPath.c_str(), FALSE);
  STARTUPINFOW si = {sizeof(si)};
  std::wstring command = L"\"" + asPath + L"\"";
  CreateProcessW(asPath.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi);
  return pi;
}

TEST_F(Removal, TerminatesClientsByAsciiCaseFoldedName) {
  const std::wstring sleeper = GetProgramFolder() + L"\\uninstall_test_sleeper.exe";
  PROCESS_INFORMATION upper = StartCopyOf(sleeper, root + L"\\CORVANECLIENT.EXE");
  // Differs only in a non-ASCII letter: capital I with dot above instead of I.
  PROCESS_INFORMATION lookalike = StartCopyOf(sleeper, root + L"\\CORVANECL\x0130" L"ENT.EXE");
  ASSERT_NE(upper.hProcess, nullptr);
  ASSERT_NE(lookalike.hProcess, nullptr);
  Sleep(300);

  EXPECT_TRUE(TerminateClientProcesses(kClientExeName));
  EXPECT_EQ(WaitForSingleObject(upper.hProcess, 5000), WAIT_OBJECT_0);
  DWORD code = 99;
  GetExitCodeProcess(upper.hProcess, &code);
  EXPECT_EQ(code, 0u) << "terminated with exit code 0";
  EXPECT_EQ(WaitForSingleObject(lookalike.hProcess, 500), static_cast<DWORD>(WAIT_TIMEOUT));

  TerminateProcess(lookalike.hProcess, 1);
  WaitForSingleObject(lookalike.hProcess, 5000);
  for (PROCESS_INFORMATION* pi : {&upper, &lookalike}) {
    CloseHandle(pi->hProcess);
    CloseHandle(pi->hThread);
  }
}

}  // namespace
}  // namespace corvane
