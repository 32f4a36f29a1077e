// StageUpdater, RunProgram, CreateDirectoryTree, the installer file, IsInstallerReady and
// LaunchInstaller.
#include "client/update/installer_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "base/ansi.h"
#include "base/file_version.h"
#include "base/program_folder.h"
#include "base/unique_handle_win.h"
#include "client/client_messages_win.h"
#include "client/main_window_channel.h"
#include "client/update/update_check_win.h"
#include "client/update/update_rules.h"
#include "http/http_manager.h"

namespace corvane {
namespace {

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, temp);
  return temp;  // ends with a backslash
}

// The folder part of a path: one trailing backslash and then the last component removed;
// empty when nothing could be removed.
std::wstring ParentOf(const std::wstring& path) {
  if (path.size() >= MAX_PATH) {
    const size_t cut = path.find_last_of(L'\\', path.size() - 2);
    return cut == std::wstring::npos ? std::wstring() : path.substr(0, cut);
  }
  wchar_t buffer[MAX_PATH] = {};
  path.copy(buffer, path.size());
  PathRemoveBackslashW(buffer);
  if (!PathRemoveFileSpecW(buffer)) return std::wstring();
  return buffer;
}

}  // namespace

std::wstring GetUpdaterCopyPath() { return TempFolder() + L"\\corvane\\update.exe"; }

std::wstring GetInstallerFilePath() { return TempFolder() + L"\\corvane\\Setup.exe"; }

bool CreateDirectoryTree(const std::wstring& folder) {
  const std::wstring parent = ParentOf(folder);
  if (!parent.empty() && !PathFileExistsW(parent.c_str())) CreateDirectoryTree(parent);
  CreateDirectoryW(folder.c_str(), nullptr);
  return PathFileExistsW(folder.c_str()) != FALSE;
}

bool RunProgram(const std::wstring& file, const std::wstring& parameters, bool wait, int showCommand) {
  if (!PathFileExistsW(file.c_str())) return false;
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof(info);  // 60 in a 32-bit program
  info.fMask = SEE_MASK_NOCLOSEPROCESS;
  info.lpFile = file.c_str();
  info.lpParameters = parameters.c_str();
  info.nShow = showCommand;
  ShellExecuteExW(&info);
  UniqueKernelHandle process(info.hProcess);
  if (wait && process) WaitForSingleObject(process.Get(), INFINITE);
  return true;
}

bool StageUpdater() {
  const std::wstring source = GetProgramFolder() + L"\\update.exe";
  const std::wstring copy = GetUpdaterCopyPath();
  CreateDirectoryTree(ParentOf(copy));
  CopyFileW(source.c_str(), copy.c_str(), FALSE);
  RunProgram(copy, L"", false, SW_HIDE);
  return true;
}

bool WriteInstallerFile(const std::string& bytes) {
  const std::wstring target = GetInstallerFilePath();
  CreateDirectoryTree(ParentOf(target));
  const std::wstring partial = target + L".download";
  bool complete = false;
  {
    UniqueKernelHandle file(
        CreateFileW(partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    size_t offset = 0;
    complete = true;
    while (offset < bytes.size()) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - offset, 1u << 24));
      DWORD written = 0;
      if (!WriteFile(file.Get(), bytes.data() + offset, chunk, &written, nullptr) || written == 0) {
        complete = false;
        break;
      }
      offset += written;
    }
    if (complete && !FlushFileBuffers(file.Get())) complete = false;
  }
  if (complete && MoveFileExW(partial.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  DeleteFileW(partial.c_str());
  return false;
}

namespace {
void OnInstallerDownloaded(FCHttpRequest& task) {
  if (!IsResponseComplete(task)) return;
  WriteInstallerFile(task.PopReceivedData());
  PostToMainWindow(MainCommand::InstallerReady);
}
}  // namespace

void StartInstallerDownload() {
  const UpdateInfo info = g_updateInfo;
  if (info.url.empty()) return;
  g_httpManager.Get(AnsiToWide(info.url), &OnInstallerDownloaded);
}

bool IsInstallerReady() {
  return IsNewerInstaller(ReadFileVersion(GetInstallerFilePath()), ReadFileVersion(GetInstalledClientPath()));
}

bool LaunchInstaller() {
  RunProgram(GetInstallerFilePath(), L"/S", false, SW_SHOWNORMAL);
  return true;
}

}  // namespace corvane
