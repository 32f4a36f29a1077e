// corvane_setup.dll: what Setup.exe asks of the system beyond NSIS's own commands, decided by
// the uninstaller's own rules so that the two never disagree about a folder or an entry. The
// script calls these through NSIS's System plug-in (cdecl, wide strings).
#include <windows.h>
#include <exdisp.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>
#include <vector>

#include "base/product_names.h"
#include "base/unique_handle_win.h"
#include "installer/stale_entries.h"
#include "uninstall/delete_list.h"
#include "uninstall/removal_win.h"

namespace corvane {
namespace {

bool IsFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// Whether a file could be replaced now: a running program's file, one held open without write
// sharing, or one another handle writes refuses the open. The share mode is the one NSIS's own
// File command opens with, so that whatever would make that write fail fails here first.
bool CanOpenForWrite(const std::wstring& path) {
  UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  return file.IsValid();
}

bool CanCreateIn(const std::wstring& dir) {
  const std::wstring probe = dir + L"\\~corvane_setup_probe.tmp";
  UniqueKernelHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.IsValid();
}

// What keeps an update from replacing the files now: the running client, a file that cannot
// be written, or the folder; empty when nothing does. A missing folder is a fresh install.
std::wstring FirstObstacle(const std::wstring& folder, const std::vector<std::wstring>& entries) {
  if (UniqueKernelHandle(OpenMutexW(SYNCHRONIZE, FALSE, kClientMutexName))) return kClientExeName;
  if (!PathIsDirectoryW(folder.c_str())) return std::wstring();
  if (!CanCreateIn(folder)) return folder;
  for (const std::wstring& entry : entries) {
    const std::wstring path = folder + L"\\" + entry;
    if (IsFile(path) && !CanOpenForWrite(path)) return path;
  }
  return std::wstring();
}

// Full, long form, lower case: the client builds the download path from GetTempPathW, which
// may give short names, and may double a backslash.
std::wstring NormalisedPath(const std::wstring& path) {
  wchar_t full[MAX_PATH] = {};
  wchar_t longForm[MAX_PATH] = {};
  if (GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr) == 0) return path;
  std::wstring result = GetLongPathNameW(full, longForm, MAX_PATH) ? longForm : full;
  CharLowerBuffW(&result[0], static_cast<DWORD>(result.size()));
  return result;
}

// The desktop's shell runs as the logged-on user even when we are elevated: a program it
// starts is not. Raymond Chen's way through the desktop folder view's IShellDispatch2.
bool ShellExecuteFromDesktop(const std::wstring& program) {
  IShellWindows* rawWindows = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER, IID_IShellWindows,
                              reinterpret_cast<void**>(&rawWindows)))) {
    return false;
  }
  UniqueComRef<IShellWindows> windows(rawWindows);
  VARIANT empty;
  VariantInit(&empty);
  long hwnd = 0;
  IDispatch* rawDispatch = nullptr;
  if (windows.Get()->FindWindowSW(&empty, &empty, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &rawDispatch) != S_OK ||
      rawDispatch == nullptr) {
    return false;
  }
  UniqueComRef<IDispatch> dispatch(rawDispatch);
  IServiceProvider* rawProvider = nullptr;
  if (FAILED(dispatch.Get()->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&rawProvider)))) return false;
  UniqueComRef<IServiceProvider> provider(rawProvider);
  IShellBrowser* rawBrowser = nullptr;
  if (FAILED(provider.Get()->QueryService(SID_STopLevelBrowser, IID_IShellBrowser, reinterpret_cast<void**>(&rawBrowser)))) {
    return false;
  }
  UniqueComRef<IShellBrowser> browser(rawBrowser);
  IShellView* rawView = nullptr;
  if (FAILED(browser.Get()->QueryActiveShellView(&rawView))) return false;
  UniqueComRef<IShellView> view(rawView);
  IDispatch* rawBackground = nullptr;
  if (FAILED(view.Get()->GetItemObject(SVGIO_BACKGROUND, IID_IDispatch, reinterpret_cast<void**>(&rawBackground)))) {
    return false;
  }
  UniqueComRef<IDispatch> background(rawBackground);
  IShellFolderViewDual* rawFolderView = nullptr;
  if (FAILED(background.Get()->QueryInterface(IID_IShellFolderViewDual, reinterpret_cast<void**>(&rawFolderView)))) {
    return false;
  }
  UniqueComRef<IShellFolderViewDual> folderView(rawFolderView);
  IDispatch* rawApplication = nullptr;
  if (FAILED(folderView.Get()->get_Application(&rawApplication))) return false;
  UniqueComRef<IDispatch> application(rawApplication);
  IShellDispatch2* rawShell = nullptr;
  if (FAILED(application.Get()->QueryInterface(IID_IShellDispatch2, reinterpret_cast<void**>(&rawShell)))) return false;
  UniqueComRef<IShellDispatch2> shell(rawShell);

  BSTR file = SysAllocString(program.c_str());
  VARIANT none;
  VariantInit(&none);
  VARIANT show;
  VariantInit(&show);
  show.vt = VT_I4;
  show.lVal = SW_SHOWNORMAL;
  const HRESULT hr = shell.Get()->ShellExecute(file, none, none, none, show);
  SysFreeString(file);
  return SUCCEEDED(hr);
}

}  // namespace
}  // namespace corvane

using namespace corvane;

extern "C" {

// 1 when `dir` may hold the installation: the uninstaller would accept it as the base of its
// deletions (no root, no system or profile folder, nothing that contains one).
__declspec(dllexport) int CorvaneInstallDirAllowed(const wchar_t* dir) {
  const std::wstring folder = dir ? dir : L"";
  const std::vector<std::wstring> protectedFolders = ProtectedFolders();
  if (!IsDeletableInstallDir(folder, protectedFolders)) return 0;
  // An existing folder is judged by its final path too, as the uninstaller judges it.
  if (!PathIsDirectoryW(folder.c_str())) return 1;
  return IsDeletableInstallDir(GetFinalFolderPath(folder), protectedFolders) ? 1 : 0;
}

// 1 when, within `timeoutMs`, the client's single-instance mutex is gone and every file the
// list in `listDir` names that exists in `dir` can be written, and a new file can be made in
// `dir` (when it exists). Both are polled together: a client's program file stays mapped for a
// moment after its mutex went. Otherwise 0, and `blocked` (room for `capacity` characters)
// names what stood in the way at the end: "CorvaneClient.exe" for a running client, else a path.
__declspec(dllexport) int CorvaneWaitUntilReplaceable(const wchar_t* dir, const wchar_t* listDir, int timeoutMs,
                                                      wchar_t* blocked, int capacity) {
  const std::wstring folder = dir;
  const std::vector<std::wstring> entries = ReadDeleteList(listDir);
  const DWORD start = GetTickCount();
  for (;;) {
    std::wstring obstacle = FirstObstacle(folder, entries);
    if (obstacle.empty()) return 1;
    if (GetTickCount() - start >= static_cast<DWORD>(timeoutMs)) {
      if (blocked != nullptr && capacity > 0) lstrcpynW(blocked, obstacle.c_str(), capacity);
      return 0;
    }
    Sleep(200);
  }
}

// Deletes from `dir` what the previous list (the "delete_file_list.txt" in `previousListDir`)
// names and the new one (in `newListDir`) does not, as the
// uninstaller deletes its list (links removed, never followed). The number of stale entries.
__declspec(dllexport) int CorvaneRemoveStale(const wchar_t* dir, const wchar_t* previousListDir,
                                             const wchar_t* newListDir) {
  const std::vector<std::wstring> stale = StaleEntries(ReadDeleteList(previousListDir), ReadDeleteList(newListDir));
  DeleteListedEntries(dir, stale);
  return static_cast<int>(stale.size());
}

// 1 when this installer is the file the client downloads its updates to (the temporary
// folder's "corvane\Setup.exe"): the client started it and ended, and waits to be started again.
__declspec(dllexport) int CorvaneStartedFromUpdateFolder() {
  wchar_t own[MAX_PATH] = {};
  wchar_t temp[MAX_PATH] = {};
  if (GetModuleFileNameW(nullptr, own, MAX_PATH) == 0 || GetTempPathW(MAX_PATH, temp) == 0) return 0;
  const std::wstring expected = std::wstring(temp) + L"corvane\\Setup.exe";
  return NormalisedPath(own) == NormalisedPath(expected) ? 1 : 0;
}

// Starts `program` as the logged-on user through the desktop's shell (2); where that shell
// cannot be reached (no Explorer, or Wine) through ShellExecuteExW (1); 0 when it did not start.
__declspec(dllexport) int CorvaneStartAsUser(const wchar_t* program) {
  const HRESULT init = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  bool started = ShellExecuteFromDesktop(program);
  if (SUCCEEDED(init)) CoUninitialize();
  if (started) return 2;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);
  info.lpFile = program;
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) ? 1 : 0;
}

}  // extern "C"
