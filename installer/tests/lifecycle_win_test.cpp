// The life of an installation in a fresh Wine prefix, driven as a school's IT staff and a teacher
// would: Setup.exe /S of this version; the installed client from its shortcut's target, offered
// the next version by the demo service; the update prompt's download and install; the client
// back at the next version with its close choice; uninstall.exe by clicks; and what is left.
// Then the update's own rules: stale files, the settings file, refusals with exit code 2.
// Run by fresh_prefix_run.sh, which makes the prefix and removes it afterwards.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <fstream>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "base/file_version.h"
#include "base/product_names.h"
#include "base/program_folder.h"
#include "base/registry_win.h"
#include "base/testing/read_file_win.h"
#include "base/utf8.h"
#include "skin/driver/window_driver_win.h"
#include "tools/demo_service/client/demo_service_client_win.h"

namespace corvane {
namespace {

using driver::WaitFor;
using testing_files::ReadAll;

constexpr wchar_t kUninstallKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\CorvaneClient";
const std::wstring kLnkName = std::wstring(kMainWindowCaption) + L".lnk";
const std::string kShippedList = "CorvaneClient.exe\r\nuninstall.exe\r\nskin.zip\r\nerror_page\r\nerror_page\\Error.html\r\n";

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring Special(int csidl) {
  wchar_t path[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, path, csidl, FALSE);
  return path;
}

std::wstring TempFolder() {  // without the trailing backslash
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  wchar_t longForm[MAX_PATH] = {};
  GetLongPathNameW(temp, longForm, MAX_PATH);
  std::wstring t = longForm;
  if (!t.empty() && t.back() == L'\\') t.pop_back();
  return t;
}

std::wstring SetupLog() { return TempFolder() + L"\\CorvaneSetup.log"; }

std::wstring Lower(std::wstring s) {
  CharLowerBuffW(&s[0], static_cast<DWORD>(s.size()));
  return s;
}

// Every file and folder under `root`, lower case, except Wine's own Windows folder.
void ListTree(const std::wstring& root, std::set<std::wstring>& out) {
  WIN32_FIND_DATAW found = {};
  HANDLE search = FindFirstFileW((root + L"\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = root + L"\\" + name;
    if (Lower(path) == L"c:\\windows") continue;
    out.insert(Lower(path));
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
      ListTree(path, out);
    }
  } while (FindNextFileW(search, &found));
  FindClose(search);
}

std::set<std::wstring> ListPrefix() {
  std::set<std::wstring> all;
  ListTree(L"C:", all);
  return all;
}

// Runs `command` and gives its exit code (waited for up to `timeoutMs`; -1 on failure).
DWORD RunToEnd(const std::wstring& exe, const std::wstring& arguments, DWORD timeoutMs = 60000) {
  std::wstring command = L"\"" + exe + L"\" " + arguments;
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    return static_cast<DWORD>(-1);
  }
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, timeoutMs) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

std::wstring RegString(HKEY root, const wchar_t* key, const wchar_t* value) {
  std::wstring out;
  ReadRegistryString(root, key, value, out);
  return out;
}

DWORD RegDword(HKEY root, const wchar_t* key, const wchar_t* value) {
  DWORD data = 0xFFFFFFFF, type = 0, size = sizeof(data);
  if (SHGetValueW(root, key, value, &type, &data, &size) != ERROR_SUCCESS || type != REG_DWORD) return 0xFFFFFFFF;
  return data;
}

bool KeyExists(HKEY root, const wchar_t* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

// The target of a shell link, or empty.
std::wstring LinkTarget(const std::wstring& lnk) {
  std::wstring target;
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return target;
  }
  IPersistFile* file = nullptr;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    if (SUCCEEDED(file->Load(lnk.c_str(), STGM_READ))) {
      wchar_t path[MAX_PATH] = {};
      if (link->GetPath(path, MAX_PATH, nullptr, 0) == S_OK) target = path;
    }
    file->Release();
  }
  link->Release();
  return target;
}

std::string Narrow(const std::wstring& w) { return WideToUtf8(w); }

DWORD FindProcess(const wchar_t* exeName) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof(entry);
  DWORD pid = 0;
  if (Process32FirstW(snapshot, &entry)) {
    do {
      if (lstrcmpiW(entry.szExeFile, exeName) == 0) pid = entry.th32ProcessID;
    } while (pid == 0 && Process32NextW(snapshot, &entry));
  }
  CloseHandle(snapshot);
  return pid;
}

std::string VersionOf(const std::wstring& path) { return FormatFileVersion(ReadFileVersion(path)); }

class Installation : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitialize(nullptr); }
  void SetUp() override {
    here = GetProgramFolder();
    bin = here + L"\\..\\bin";
    wchar_t full[MAX_PATH] = {};
    GetFullPathNameW(bin.c_str(), MAX_PATH, full, nullptr);
    bin = full;
    install = Special(CSIDL_PROGRAM_FILES) + L"\\Corvane";
  }
  void ClickControl(HWND window, const wchar_t* layout, const wchar_t* control,
                    const std::function<void(CUiManager&)>& prepare = nullptr) {
    POINT p = {};
    ASSERT_TRUE(driver::ControlCentre(window, bin + L"\\skin.zip", layout, control,
                                      prepare ? prepare : [](CUiManager&) {}, p));
    driver::ClickAt(window, p);
  }
  HWND WaitForDialog(const wchar_t* cls, const wchar_t* name, DWORD timeoutMs = 20000) {
    HWND found = nullptr;
    WaitFor([&] { return (found = FindWindowW(cls, name)) != nullptr && IsWindowVisible(found); }, timeoutMs);
    return found;
  }
  std::wstring here, bin, install;
};

TEST_F(Installation, InstallStartUpdateUninstall) {
  const std::set<std::wstring> before = ListPrefix();
  const std::string version = VersionOf(bin + L"\\CorvaneClient.exe");
  const std::wstring nextSetup = here + L"\\next\\Setup.exe";
  const std::string nextVersion = VersionOf(nextSetup);
  ASSERT_EQ(VersionOf(bin + L"\\Setup.exe"), version) << "Setup.exe carries the client's version";
  ASSERT_NE(nextVersion, version);

  // 1. A silent install of this version into the default folder.
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(RunToEnd(bin + L"\\Setup.exe", L"/S"), 0u);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  std::printf("silent install: %lld ms\n", static_cast<long long>(took.count()));

  for (const wchar_t* name : {L"CorvaneClient.exe", L"uninstall.exe", L"skin.zip", L"error_page\\Error.html"}) {
    const std::wstring built = bin + L"\\" + name;
    EXPECT_TRUE(ReadAll(install + L"\\" + name) == ReadAll(built)) << Narrow(name) << " as built";
    EXPECT_FALSE(ReadAll(built).empty()) << Narrow(name);
  }
  EXPECT_EQ(ReadAll(install + L"\\delete_file_list.txt"), kShippedList);
  EXPECT_TRUE(Exists(install + L"\\CorvaneClient.ini"));
  EXPECT_EQ(ReadAll(install + L"\\CorvaneClient.ini"), "");
  // The list names exactly what was installed: nothing else lies in the folder but the list
  // and the settings file.
  std::set<std::wstring> installed;
  ListTree(install, installed);
  std::set<std::wstring> expected = {Lower(install + L"\\delete_file_list.txt"), Lower(install + L"\\CorvaneClient.ini")};
  for (const wchar_t* entry : {L"CorvaneClient.exe", L"uninstall.exe", L"skin.zip", L"error_page", L"error_page\\Error.html"}) {
    expected.insert(Lower(install + L"\\" + entry));
  }
  EXPECT_EQ(installed, expected);
  // Wine does not enforce file rights: that the grant was made is in the installer's log.
  const std::string log = ReadAll(SetupLog());
  EXPECT_NE(log.find("icacls \"" + Narrow(install) + "\\CorvaneClient.ini\" /grant *S-1-5-32-545:M -> "),
            std::string::npos)
      << log;

  EXPECT_EQ(RegString(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue), install);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayName"), kMainWindowCaption);
  EXPECT_EQ(Narrow(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion")), version);
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"Publisher"), L"Corvane");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayIcon"), install + L"\\CorvaneClient.exe");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString"), L"\"" + install + L"\\uninstall.exe\"");
  EXPECT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"), install);
  const DWORD size = RegDword(HKEY_LOCAL_MACHINE, kUninstallKey, L"EstimatedSize");
  EXPECT_GT(size, 0u);
  EXPECT_LT(size, 0xFFFFFFFFu);
  EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, kUninstallKey, L"NoModify"), 1u);
  EXPECT_EQ(RegDword(HKEY_LOCAL_MACHINE, kUninstallKey, L"NoRepair"), 1u);

  const std::wstring desktopLink = Special(CSIDL_DESKTOP) + L"\\" + kLnkName;
  const std::wstring menu = Special(CSIDL_STARTMENU) + L"\\Programs\\Corvane";
  EXPECT_EQ(Lower(LinkTarget(desktopLink)), Lower(install + L"\\CorvaneClient.exe"));
  EXPECT_EQ(Lower(LinkTarget(menu + L"\\" + kLnkName)), Lower(install + L"\\CorvaneClient.exe"));
  EXPECT_EQ(Lower(LinkTarget(menu + L"\\uninstall.lnk")), Lower(install + L"\\uninstall.exe"));

  // 2. The installed client from its shortcut's target, with the update check due and the
  // next version on offer; the teacher chose earlier that closing ends the program.
  ASSERT_NE(demo::UseDemoService(), 0);
  ASSERT_TRUE(demo::SetInstaller(nextSetup));
  const std::string host(getenv("CORVANE_SERVICE_HOST"));
  ASSERT_TRUE(demo::SetUpdateAnswer("{\"product_name\":\"DrovessaClient\",\"type\":1,\"url\":\"http://" + host +
                                    "/download/Setup.exe\"}"));
  const DWORD due = 0;
  SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", REG_DWORD, &due, sizeof(due));
  const std::wstring ini = install + L"\\CorvaneClient.ini";
  WritePrivateProfileStringW(L"setting", L"close_prompt", L"0", ini.c_str());
  WritePrivateProfileStringW(L"setting", L"min_close", L"1", ini.c_str());
  const std::wstring client = LinkTarget(desktopLink);
  std::wstring command = L"\"" + client + L"\"";
  STARTUPINFOW si = {sizeof(si)};
  PROCESS_INFORMATION process = {};
  ASSERT_TRUE(CreateProcessW(client.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, install.c_str(), &si,
                             &process));
  CloseHandle(process.hThread);

  // 3. Download, then install: the client starts Setup.exe /S and ends; the installer updates
  // the folder and starts the client again.
  HWND offer = WaitForDialog(L"UpdatePromptDlg", L"update_prompt_dlg", 30000);
  ASSERT_NE(offer, nullptr) << "no update offer";
  Sleep(300);
  ClickControl(offer, L"update_prompt_dlg.xml", L"button_download");
  HWND installNow = WaitForDialog(L"UpdatePromptDlg", L"about_dlg", 30000);
  ASSERT_NE(installNow, nullptr) << "no install offer after the download";
  Sleep(300);
  ClickControl(installNow, L"update_prompt_dlg.xml", L"button_download");
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0) << "the client did not end";
  CloseHandle(process.hProcess);
  // The installer starts the client again as its last step; the program file is read only then,
  // since reading its version while the installer writes it would hold it open.
  DWORD restarted = 0;
  ASSERT_TRUE(WaitFor([&] { return (restarted = FindProcess(kClientExeName)) != 0; }, 60000))
      << "the updated client was not started again\n" << ReadAll(SetupLog());
  ASSERT_EQ(VersionOf(install + L"\\CorvaneClient.exe"), nextVersion) << ReadAll(SetupLog());
  HWND main = driver::WaitForWindow(L"#32770", restarted, 30000);
  ASSERT_NE(main, nullptr) << "the restarted client shows no window";
  std::printf("%s", ReadAll(SetupLog()).c_str());
  EXPECT_EQ(Narrow(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"DisplayVersion")), nextVersion);
  EXPECT_EQ(ReadAll(install + L"\\delete_file_list.txt"), kShippedList);
  EXPECT_EQ(GetPrivateProfileIntW(L"setting", L"min_close", -1, ini.c_str()), 1) << "the close choice was kept";
  // Closing the updated client ends it, as the kept choice says.
  HANDLE restartedProcess = OpenProcess(SYNCHRONIZE, FALSE, restarted);
  PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(WaitForSingleObject(restartedProcess, 20000), WAIT_OBJECT_0);
  CloseHandle(restartedProcess);

  // 4. The uninstaller from the uninstall entry, by clicks.
  std::wstring uninstaller = RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"UninstallString");
  uninstaller = uninstaller.substr(1, uninstaller.size() - 2);
  command = L"\"" + uninstaller + L"\"";
  ASSERT_TRUE(CreateProcessW(uninstaller.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, install.c_str(),
                             &si, &process));
  CloseHandle(process.hThread);
  HWND window = driver::WaitForWindow(L"UnIntallDlg", process.dwProcessId, 20000);
  ASSERT_NE(window, nullptr);
  Sleep(500);
  ClickControl(window, L"uninstall_dlg.xml", L"page1_button_uninstall");
  ASSERT_TRUE(WaitFor([&] { return !Exists(install + L"\\CorvaneClient.exe"); }, 20000));
  POINT finish = {};
  ASSERT_TRUE(driver::ControlCentre(window, bin + L"\\skin.zip", L"uninstall_dlg.xml", L"page3_button_finish",
                                    [](CUiManager& m) {
                                      m.FindControl(L"begin_view")->SetVisible(false);
                                      m.FindControl(L"end_view")->SetVisible(true);
                                    },
                                    finish));
  const COLORREF accent = RGB(0x2F, 0x6F, 0xEB);
  const POINT face = {finish.x - 40, finish.y};
  ASSERT_TRUE(WaitFor([&] { return driver::ColourNear(driver::ScreenPixel(face), accent, 24); }, 30000));
  driver::ClickAt(window, finish);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 15000), WAIT_OBJECT_0);
  CloseHandle(process.hProcess);

  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kClientRegistryKey));
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
  EXPECT_FALSE(Exists(desktopLink));
  EXPECT_FALSE(Exists(menu + L"\\" + kLnkName));
  EXPECT_FALSE(Exists(menu + L"\\uninstall.lnk"));

  // What may remain: the uninstaller with its list and folder, the Start menu folder, the
  // settings file, the client's cache, the downloads and paste files in the temporary folder.
  const std::wstring temp = Lower(TempFolder());
  const std::wstring cache = Lower(Special(CSIDL_LOCAL_APPDATA) + L"\\corvane_cache");
  // WinINet's own stores (cookies, cache, history), as on Windows.
  const std::wstring wininet = Lower(Special(CSIDL_LOCAL_APPDATA) + L"\\Microsoft\\Windows");
  const std::set<std::wstring> allowed = {Lower(install), Lower(install + L"\\uninstall.exe"),
                                          Lower(install + L"\\delete_file_list.txt"), Lower(ini), Lower(menu),
                                          Lower(SetupLog())};
  auto within = [](const std::wstring& path, const std::wstring& folder) {
    return path == folder || path.rfind(folder + L"\\", 0) == 0;
  };
  const std::set<std::wstring> after = ListPrefix();
  for (const std::wstring& path : after) {
    if (before.count(path) || allowed.count(path) || within(path, cache) || within(path, temp + L"\\corvane") ||
        within(path, wininet)) {
      continue;
    }
    if (path.rfind(temp + L"\\img", 0) == 0 && path.size() > 4 && path.compare(path.size() - 4, 4, L".tmp") == 0) {
      continue;
    }
    ADD_FAILURE() << "left behind: " << Narrow(path);
  }
  for (const std::wstring& path : before) {
    if (!after.count(path)) ADD_FAILURE() << "gone: " << Narrow(path);
  }
}

class UpdateInPlace : public Installation {
 protected:
  void SetUp() override {
    Installation::SetUp();
    install = L"C:\\CorvaneUpdate";
    ASSERT_EQ(RunToEnd(bin + L"\\Setup.exe", L"/S /D=" + install), 0u);
    ASSERT_EQ(RegString(HKEY_LOCAL_MACHINE, kUninstallKey, L"InstallLocation"), install);
  }
  std::string LastLogLine() {
    const std::string log = ReadAll(SetupLog());
    const size_t end = log.find_last_not_of("\r\n");
    if (end == std::string::npos) return std::string();
    const size_t begin = log.find_last_of('\n', end);
    return log.substr(begin == std::string::npos ? 0 : begin + 1, end + 1 - (begin == std::string::npos ? 0 : begin + 1));
  }
};

TEST_F(UpdateInPlace, ReplacesKeepsSettingsAndRemovesOnlyWhatTheOldListNamed) {
  // The previous version shipped a helper the new one does not; the teacher's own file and the
  // settings are not in any list.
  std::ofstream((install + L"\\old_helper.exe").c_str()) << "old";
  std::ofstream((install + L"\\notes.txt").c_str()) << "mine";
  std::ofstream((install + L"\\delete_file_list.txt").c_str(), std::ios::binary | std::ios::app)
      << "old_helper.exe\r\n..\\outside.txt\r\n";
  std::ofstream("C:\\outside.txt") << "not ours";
  WritePrivateProfileStringW(L"setting", L"min_close", L"1", (install + L"\\CorvaneClient.ini").c_str());
  std::ofstream((install + L"\\skin.zip").c_str(), std::ios::binary) << "damaged";

  // Silently, into the uninstall entry's folder: no /D.
  ASSERT_EQ(RunToEnd(bin + L"\\Setup.exe", L"/S"), 0u) << LastLogLine();
  EXPECT_FALSE(Exists(install + L"\\old_helper.exe"));
  EXPECT_TRUE(Exists(install + L"\\notes.txt"));
  EXPECT_TRUE(Exists(L"C:\\outside.txt"));
  EXPECT_TRUE(ReadAll(install + L"\\skin.zip") == ReadAll(bin + L"\\skin.zip")) << "skin.zip replaced";
  EXPECT_EQ(ReadAll(install + L"\\delete_file_list.txt"), kShippedList);
  EXPECT_EQ(GetPrivateProfileIntW(L"setting", L"min_close", -1, (install + L"\\CorvaneClient.ini").c_str()), 1);
  DeleteFileW(L"C:\\outside.txt");
}

// A client ending: its mutex goes first, its program file is released a moment later. The
// update waits for both within its 10 s instead of giving up when the mutex has gone.
TEST_F(UpdateInPlace, AClientEndingIsWaitedForUntilItsFilesAreFree) {
  HANDLE mutex = CreateMutexW(nullptr, FALSE, kClientMutexName);
  HANDLE held = CreateFileW((install + L"\\CorvaneClient.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::ofstream((install + L"\\skin.zip").c_str(), std::ios::binary) << "old skin";
  std::thread ending([&] {
    Sleep(1500);
    CloseHandle(mutex);
    Sleep(2000);
    CloseHandle(held);
  });
  EXPECT_EQ(RunToEnd(bin + L"\\Setup.exe", L"/S"), 0u) << LastLogLine();
  ending.join();
  EXPECT_TRUE(ReadAll(install + L"\\skin.zip") == ReadAll(bin + L"\\skin.zip")) << "skin.zip replaced";
}

TEST_F(UpdateInPlace, ABusyTargetOrARunningClientChangesNothing) {
  std::ofstream((install + L"\\skin.zip").c_str(), std::ios::binary) << "old skin";
  const std::string oldList = ReadAll(install + L"\\delete_file_list.txt");
  // A file held open without write sharing, as a running program holds its own; or written by
  // another program that shares writes, which would refuse the installer's own write just the same.
  for (const auto& [access, share] : {std::pair<DWORD, DWORD>{GENERIC_READ, FILE_SHARE_READ},
                                      std::pair<DWORD, DWORD>{GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
    HANDLE held = CreateFileW((install + L"\\skin.zip").c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(RunToEnd(bin + L"\\Setup.exe", L"/S"), 2u) << access;
    CloseHandle(held);
    EXPECT_NE(LastLogLine().find("nothing changed, " + Narrow(install) + "\\skin.zip"), std::string::npos)
        << LastLogLine();
    EXPECT_EQ(ReadAll(install + L"\\skin.zip"), "old skin");
  }
  {
    // The client's mutex, held past the installer's wait.
    HANDLE mutex = CreateMutexW(nullptr, FALSE, kClientMutexName);
    EXPECT_EQ(RunToEnd(bin + L"\\Setup.exe", L"/S"), 2u);
    CloseHandle(mutex);
    EXPECT_NE(LastLogLine().find("nothing changed, CorvaneClient.exe is in use"), std::string::npos) << LastLogLine();
    EXPECT_EQ(ReadAll(install + L"\\skin.zip"), "old skin");
  }
  {
    // A write that fails after the wait found nothing in the way (a folder where a file goes)
    // is not reported as an installation, and the new list is not put in place.
    const std::wstring page = install + L"\\error_page\\Error.html";
    ASSERT_TRUE(DeleteFileW(page.c_str()));
    ASSERT_TRUE(CreateDirectoryW(page.c_str(), nullptr));
    EXPECT_EQ(RunToEnd(bin + L"\\Setup.exe", L"/S"), 2u);
    EXPECT_NE(LastLogLine().find("incomplete, " + Narrow(page) + " could not be written"), std::string::npos)
        << LastLogLine();
    RemoveDirectoryW(page.c_str());
  }
  EXPECT_EQ(ReadAll(install + L"\\delete_file_list.txt"), oldList);
  // Folders the uninstaller would refuse are refused before anything is written.
  // (A drive root NSIS itself replaces with the default folder before we are asked.)
  for (const std::wstring& refused : {Special(CSIDL_PROGRAM_FILES), Special(CSIDL_WINDOWS), Special(CSIDL_PROFILE),
                                      std::wstring(L"C:\\users"), Special(CSIDL_DESKTOPDIRECTORY) + L"\\.."}) {
    EXPECT_EQ(RunToEnd(bin + L"\\Setup.exe", L"/S /D=" + refused), 2u) << Narrow(refused);
    EXPECT_NE(LastLogLine().find("may not hold the installation"), std::string::npos) << LastLogLine();
  }
  EXPECT_FALSE(Exists(L"C:\\CorvaneClient.exe"));
}

// The pages a person goes through: Chinese texts, a refused folder with its message, the
// finish page's "start now" starting the installed client.
struct PageWalk {
  static HWND FindDescendant(HWND parent, int id) {
    struct Search {
      int id;
      HWND found;
    } search = {id, nullptr};
    struct Visit {
      static BOOL CALLBACK Child(HWND child, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        if (GetDlgCtrlID(child) != s->id || !IsWindowVisible(child)) return TRUE;
        s->found = child;
        return FALSE;
      }
    };
    EnumChildWindows(parent, &Visit::Child, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  // WM_GETTEXT itself: GetWindowTextW does not ask another process's controls.
  static std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 2000, nullptr);
    return text;
  }
  // The installer's other visible top-level dialog (its message box), or null.
  HWND MessageBoxWindow() const {
    struct Search {
      DWORD pid;
      HWND main;
      HWND found;
    } search = {process.dwProcessId, main, nullptr};
    struct Visit {
      static BOOL CALLBACK Window(HWND window, LPARAM param) {
        auto* s = reinterpret_cast<Search*>(param);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        wchar_t cls[32] = {};
        GetClassNameW(window, cls, 32);
        if (pid != s->pid || window == s->main || !IsWindowVisible(window) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
        s->found = window;
        return FALSE;
      }
    };
    EnumWindows(&Visit::Window, reinterpret_cast<LPARAM>(&search));
    return search.found;
  }
  void Click(int id) {
    HWND button = FindDescendant(main, id);
    ASSERT_NE(button, nullptr) << "no button " << id;
    RECT r = {};
    GetWindowRect(button, &r);
    driver::ClickAt(button, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  }
  void Start(const std::wstring& exe) {
    std::wstring command = L"\"" + exe + L"\"";
    STARTUPINFOW si = {sizeof(si)};
    ASSERT_TRUE(CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &process));
    CloseHandle(process.hThread);
    main = driver::WaitForWindow(L"#32770", process.dwProcessId, 20000);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitFor([&] { return FindDescendant(main, kNext) != nullptr; }, 10000));
    Sleep(300);
  }
  // The message box's text, once one is there.
  std::wstring WaitForMessage(HWND& box) const {
    box = nullptr;
    if (!WaitFor([&] { return (box = MessageBoxWindow()) != nullptr; }, 20000)) return std::wstring();
    Sleep(300);
    return Text(GetDlgItem(box, 0xFFFF));
  }
  // Waits for the finish page, clicks "finish" with "start now" ticked, and ends the client it
  // starts; false when the page or the client did not come.
  bool FinishAndEndClient() {
    if (!WaitFor([&] { return MessageBoxWindow() == nullptr && FindDescendant(main, kFolderEdit) == nullptr &&
                              Text(FindDescendant(main, kNext)).find(L"\x5B8C\x6210") != std::wstring::npos; },  // 完成
                 30000)) {
      return false;
    }
    Sleep(300);
    Click(kNext);
    WaitForSingleObject(process.hProcess, 15000);
    CloseHandle(process.hProcess);
    DWORD client = 0;
    if (!WaitFor([&] { return (client = FindProcess(kClientExeName)) != 0; }, 20000)) return false;
    HANDLE started = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, client);
    TerminateProcess(started, 0);
    WaitForSingleObject(started, 10000);
    CloseHandle(started);
    return true;
  }

  static constexpr int kNext = 1, kFolderEdit = 1019;
  PROCESS_INFORMATION process = {};
  HWND main = nullptr;
};

TEST_F(Installation, ThePagesRefuseAProtectedFolderAndStartTheClient) {
  PageWalk walk;
  ASSERT_NO_FATAL_FAILURE(walk.Start(bin + L"\\Setup.exe"));
  EXPECT_NE(PageWalk::Text(walk.main).find(kMainWindowCaption), std::wstring::npos);
  EXPECT_NE(PageWalk::Text(walk.main).find(L"\x5B89\x88C5"), std::wstring::npos) << "安装 in the caption";
  EXPECT_NE(PageWalk::Text(PageWalk::FindDescendant(walk.main, PageWalk::kNext)).find(L"\x4E0B\x4E00\x6B65"),
            std::wstring::npos)
      << "下一步 on the welcome page";
  ASSERT_NO_FATAL_FAILURE(walk.Click(PageWalk::kNext));

  // The folder page: a protected folder is refused with a message, and the page stays.
  HWND edit = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (edit = PageWalk::FindDescendant(walk.main, PageWalk::kFolderEdit)) != nullptr; },
                      10000));
  const std::wstring protectedFolder = Special(CSIDL_WINDOWS);
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(protectedFolder.c_str()));
  Sleep(300);
  ASSERT_NO_FATAL_FAILURE(walk.Click(PageWalk::kNext));
  HWND box = nullptr;
  const std::wstring message = walk.WaitForMessage(box);
  ASSERT_NE(box, nullptr) << "no refusal";
  EXPECT_NE(message.find(L"\x4E0D\x80FD\x5B89\x88C5\x5230"), std::wstring::npos) << Narrow(message);  // 不能安装到
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitFor([&] { return walk.MessageBoxWindow() == nullptr; }, 10000));
  EXPECT_FALSE(Exists(protectedFolder + L"\\CorvaneClient.exe"));
  ASSERT_TRUE(IsWindowVisible(edit)) << "the folder page stays";

  // A folder of its own is taken; the finish page starts the client ("start now" is ticked).
  const std::wstring folder = L"C:\\CorvanePages";
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(folder.c_str()));
  Sleep(300);
  ASSERT_NO_FATAL_FAILURE(walk.Click(PageWalk::kNext));
  EXPECT_TRUE(walk.FinishAndEndClient()) << "no finish page, or the client did not start";
  EXPECT_TRUE(Exists(folder + L"\\delete_file_list.txt"));
}

TEST_F(UpdateInPlace, InteractivelyABusyTargetAsksAndRetryGoesOn) {
  std::ofstream((install + L"\\skin.zip").c_str(), std::ios::binary) << "old skin";
  HANDLE held = CreateFileW((install + L"\\skin.zip").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  PageWalk walk;
  ASSERT_NO_FATAL_FAILURE(walk.Start(bin + L"\\Setup.exe"));
  ASSERT_NO_FATAL_FAILURE(walk.Click(PageWalk::kNext));
  HWND edit = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (edit = PageWalk::FindDescendant(walk.main, PageWalk::kFolderEdit)) != nullptr; },
                      10000));
  std::wstring offered = PageWalk::Text(edit);
  if (!offered.empty() && offered.back() == L'\\') offered.pop_back();
  EXPECT_EQ(offered, install) << "the folder page offers the installed folder";
  Sleep(300);
  ASSERT_NO_FATAL_FAILURE(walk.Click(PageWalk::kNext));
  HWND box = nullptr;
  const std::wstring message = walk.WaitForMessage(box);
  ASSERT_NE(box, nullptr) << "no question";
  EXPECT_NE(message.find(install + L"\\skin.zip"), std::wstring::npos) << Narrow(message);
  EXPECT_NE(message.find(L"\x91CD\x8BD5"), std::wstring::npos) << Narrow(message);  // 重试
  EXPECT_EQ(ReadAll(install + L"\\skin.zip"), "old skin") << "nothing changed while asking";
  CloseHandle(held);
  HWND retry = GetDlgItem(box, IDRETRY);
  ASSERT_NE(retry, nullptr);
  RECT r = {};
  GetWindowRect(retry, &r);
  driver::ClickAt(retry, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
  EXPECT_TRUE(walk.FinishAndEndClient()) << "no finish page after retry";
  EXPECT_TRUE(ReadAll(install + L"\\skin.zip") == ReadAll(bin + L"\\skin.zip")) << "skin.zip replaced";
}

}  // namespace
}  // namespace corvane
