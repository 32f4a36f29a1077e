// The removal against a real installation laid out in a temporary folder of the Wine prefix:
// files, read-only files, links, registry keys, shortcuts, processes and the mutex.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "base/product_names.h"
#include "base/program_folder.h"
#include "skin/driver/window_driver_win.h"
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

// The host's path of a Windows path under Wine; empty elsewhere.
std::string UnixPathOf(const std::wstring& path) {
  using ToUnix = char*(CDECL*)(LPCWSTR);
  auto toUnix = reinterpret_cast<ToUnix>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  char* unixPath = toUnix != nullptr ? toUnix(path.c_str()) : nullptr;
  if (unixPath == nullptr) return std::string();
  const std::string result = unixPath;
  HeapFree(GetProcessHeap(), 0, unixPath);
  return result;
}

// Starts a program of the host under Wine (Z:\\ is the host's root). Wine starts a Unix
// program without a process handle to wait on, so callers wait for its effect.
bool StartHost(std::string command) {
  STARTUPINFOA si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
  if (pi.hProcess != nullptr) CloseHandle(pi.hProcess);
  if (pi.hThread != nullptr) CloseHandle(pi.hThread);
  return true;
}

bool IsLinkNow(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Creates `link` as a directory junction to `target`. Wine 8 implements neither
// FSCTL_SET_REPARSE_POINT nor CreateSymbolicLinkW (which answers TRUE and creates nothing), but
// it reports a Unix symbolic link as a directory reparse point (attributes 0x410), which is what
// the removal must not follow; under Wine the link is made with /bin/ln.
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
  const std::wstring parent = link.substr(0, link.find_last_of(L'\\'));
  const std::string unixTarget = UnixPathOf(target), unixParent = UnixPathOf(parent);
  if (unixTarget.empty() || unixParent.empty()) return false;
  const std::string unixLink = unixParent + "/" + std::string(link.begin() + parent.size() + 1, link.end());
  if (!StartHost("Z:\\bin\\ln -s \"" + unixTarget + "\" \"" + unixLink + "\"")) return false;
  return driver::WaitFor([&] { return IsLinkNow(link); }, 10000);
}

// Removes a link made by MakeJunction, never what it points at; true when it is gone. Wine 8's
// RemoveDirectoryW on a Unix symlink removes the target when that is an empty folder, and
// neither it nor DeleteFileW removes the link, so there the host's rm does.
bool RemoveJunction(const std::wstring& link) {
  if (!IsLinkNow(link)) return true;
  const std::string unixLink = UnixPathOf(link);
  if (unixLink.empty()) return RemoveDirectoryW(link.c_str()) != FALSE;
  return StartHost("Z:\\bin\\rm -f \"" + unixLink + "\"") && driver::WaitFor([&] { return !IsLinkNow(link); }, 10000);
}

// A program that creates the client's mutex the way the client does: its exit code is 183
// (ERROR_ALREADY_EXISTS) while someone holds the mutex.
DWORD ProbeClientMutex() { return RunAndWait(GetProgramFolder() + L"\\uninstall_test_mutex_probe.exe"); }

class Removal : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    static int test = 0;
    root = std::wstring(temp) + L"corvane_removal_" + std::to_wstring(GetCurrentProcessId()) + L"_" +
           std::to_wstring(++test);
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
    for (const std::wstring& file : outsideFiles) DeleteFileW(file.c_str());
    // Links first: the folder deletion below would follow them out of the test's folder.
    for (const std::wstring& link : links) {
      if (!RemoveJunction(link)) {
        ADD_FAILURE() << "a link of the test could not be removed; its folder is left in place";
        return;
      }
    }
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
  bool MakeLink(const std::wstring& link, const std::wstring& target) {
    links.push_back(link);
    return MakeJunction(link, target);
  }

  std::wstring root, install, canary;
  std::vector<std::wstring> links;         // removed before the test's folder
  std::vector<std::wstring> outsideFiles;  // written outside the test's folder
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

TEST_F(Removal, LinksOnTheWayToAnEntryAreNeverEntered) {
  // Victims outside the installation folder, reachable through a link at the first level of an
  // entry ("via") and one at the second ("data\\link"); a listed link and a listed folder
  // holding one; plain entries around them.
  for (const wchar_t* folder : {L"\\deep", L"\\deep2"}) CreateDirectoryW((canary + folder).c_str(), nullptr);
  for (const wchar_t* file : {L"\\victim.txt", L"\\deep\\victim.txt", L"\\deep2\\victim.txt"}) {
    WriteFile(canary + file, "outside");
  }
  for (const wchar_t* folder : {L"\\data", L"\\plain", L"\\plain\\sub"}) {
    CreateDirectoryW((install + folder).c_str(), nullptr);
  }
  for (const wchar_t* file : {L"\\plain\\sub\\own.txt", L"\\plain\\sub\\unlisted.txt", L"\\data\\own.txt",
                              L"\\inside.txt"}) {
    WriteFile(install + file, "x");
  }
  ASSERT_TRUE(MakeLink(install + L"\\via", canary));
  ASSERT_TRUE(MakeLink(install + L"\\data\\link", canary + L"\\deep2"));
  ASSERT_TRUE(MakeLink(install + L"\\toplink", canary));
  WriteList("via\\victim.txt\nvia\\deep\\victim.txt\nvia\\deep\ndata\\link\\victim.txt\ninside.txt\n"
            "plain\\sub\\own.txt\ntoplink\ndata\n");
  SetInstallDir(install);

  RunRemoval();

  EXPECT_TRUE(Exists(canary + L"\\victim.txt")) << "through a link at the first level";
  EXPECT_TRUE(Exists(canary + L"\\deep\\victim.txt")) << "through a link at the first level, two down";
  EXPECT_TRUE(Exists(canary + L"\\deep")) << "a folder through a link";
  EXPECT_TRUE(Exists(canary + L"\\deep2\\victim.txt")) << "through a link at the second level";
  EXPECT_TRUE(Exists(canary + L"\\keep.txt")) << "a listed link and a link inside a listed folder";
  EXPECT_FALSE(Exists(install + L"\\inside.txt")) << "entries elsewhere in the list still go";
  EXPECT_FALSE(Exists(install + L"\\plain\\sub\\own.txt")) << "an entry below plain folders goes";
  EXPECT_TRUE(Exists(install + L"\\plain\\sub\\unlisted.txt"));
  EXPECT_FALSE(Exists(install + L"\\data\\own.txt")) << "a listed folder is emptied past the link inside it";
}

TEST_F(Removal, InstallDirIsJudgedByItsFinalPath) {
  // Through a link to the Windows folder: the stored text passes the guards, its final path
  // does not. Wine 8 resolves a Unix symlink in GetFinalPathNameByHandleW and names the target
  // by its drive ("\\?\\C:\\windows"), as Windows does for a junction.
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring toWindows = root + L"\\to windows";
  ASSERT_TRUE(MakeLink(toWindows, windows));
  EXPECT_EQ(lstrcmpiW(GetFinalFolderPath(toWindows).c_str(), windows), 0) << "what the final path is";
  const std::wstring victimName = L"corvane_victim_" + std::to_wstring(GetCurrentProcessId()) + L".txt";
  const std::wstring victim = std::wstring(windows) + L"\\" + victimName;
  outsideFiles = {victim, std::wstring(windows) + L"\\delete_file_list.txt"};
  WriteFile(victim, "system");
  WriteFile(outsideFiles[1], std::string(victimName.begin(), victimName.end()) + "\n");
  SetInstallDir(toWindows);
  RunRemoval();
  EXPECT_TRUE(Exists(victim)) << "a folder that is the Windows folder by its final path is no base";

  // Through a link to an ordinary folder: its final path is the base, and the link itself is
  // no link on the way to an entry.
  const std::wstring toInstall = root + L"\\to install";
  ASSERT_TRUE(MakeLink(toInstall, install));
  EXPECT_EQ(lstrcmpiW(GetFinalFolderPath(toInstall).c_str(), GetFinalFolderPath(install).c_str()), 0);
  CreateDirectoryW((install + L"\\sub").c_str(), nullptr);
  WriteFile(install + L"\\sub\\inside.txt", "x");
  WriteFile(install + L"\\top.txt", "x");
  WriteList("sub\\inside.txt\ntop.txt\n");
  SetInstallDir(toInstall);
  RunRemoval();
  EXPECT_FALSE(Exists(install + L"\\sub\\inside.txt"));
  EXPECT_FALSE(Exists(install + L"\\top.txt"));
  EXPECT_TRUE(Exists(toInstall)) << "the folder itself is not listed";
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
  // Wine links the desktop to the user's home: that folder is protected by its final path too.
  const std::wstring desktop = GetFinalFolderPath(GetSpecialFolder(CSIDL_DESKTOPDIRECTORY));
  ASSERT_FALSE(desktop.empty());
  EXPECT_TRUE(has(desktop)) << std::string(desktop.begin(), desktop.end());
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
