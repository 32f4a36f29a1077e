// StageUpdater, RunProgram, CreateDirectoryTree, the installer file with its signature,
// IsInstallerReady and LaunchInstaller.
#include "client/update/installer_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>

#include "base/ansi.h"
#include "base/file_version.h"
#include "base/program_folder.h"
#include "base/unique_handle_win.h"
#include "client/main_window_channel.h"
#include "client/policy/machine_policy_source.h"
#include "client/update/signature_check.h"
#include "client/update/update_check_win.h"
#include "client/update/update_rules.h"
#include "client/update/update_signature.h"
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

std::wstring GetInstallerSignaturePath() { return GetInstallerFilePath() + L".sig"; }

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
  if (GetMachinePolicy().UpdatesOff()) return true;  // UpdateCheck=0: the school pushes its updates
  const std::wstring source = GetProgramFolder() + L"\\update.exe";
  const std::wstring copy = GetUpdaterCopyPath();
  CreateDirectoryTree(ParentOf(copy));
  CopyFileW(source.c_str(), copy.c_str(), FALSE);
  RunProgram(copy, L"", false, SW_HIDE);
  return true;
}

namespace {

// Replaces `target` with `bytes` as a whole (see WriteInstallerFile).
bool WriteWholeFile(const std::wstring& target, const std::string& bytes) {
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

void DiscardInstaller() {
  DeleteFileW(GetInstallerFilePath().c_str());
  DeleteFileW(GetInstallerSignaturePath().c_str());
}

// Open for reading without write or delete sharing: while the handle lives, nobody can change,
// replace or delete the file, so what was verified through it is what starts.
UniqueKernelHandle HoldFile(const std::wstring& path) {
  return UniqueKernelHandle(
      CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The signature file, or empty when it is missing, unreadable or larger than a signature can be.
std::string ReadSignatureFile() {
  UniqueKernelHandle file(CreateFileW(GetInstallerSignaturePath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return std::string();
  std::string bytes(kMaxSignatureBytes + 1, '\0');
  DWORD read = 0;
  if (!ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr) || read > kMaxSignatureBytes) {
    return std::string();
  }
  bytes.resize(read);
  return bytes;
}

// Hashes the held installer from its first byte and checks it against "Setup.exe.sig".
bool VerifyHeldInstaller(HANDLE installer) {
  const std::string signature = ReadSignatureFile();
  if (signature.empty() || SetFilePointer(installer, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  CSignatureCheck check;
  std::string buffer(1 << 16, '\0');
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(installer, &buffer[0], static_cast<DWORD>(buffer.size()), &read, nullptr)) return false;
    if (read == 0) break;
    check.Update(buffer.data(), read);
  }
  return check.Verify(signature);
}

void (*g_beforeInstallerStart)() = nullptr;

// The installer's bytes wait here while their signature is fetched.
std::string& PendingInstaller() {
  static std::string bytes;
  return bytes;
}

void OnSignatureDownloaded(FCHttpRequest& task) {
  const std::string installer = std::move(PendingInstaller());
  PendingInstaller().clear();
  const std::string signature = IsResponseComplete(task) ? task.PopReceivedData() : std::string();
  if (!VerifySignature(installer, signature)) {
    DiscardInstaller();
    PostToMainWindow(MainCommand::UpdateUnverified);
    return;
  }
  // The signature first: an installer never lies there without the signature it came with.
  if (!WriteWholeFile(GetInstallerSignaturePath(), signature) || !WriteInstallerFile(installer)) {
    DiscardInstaller();
    return;  // as any failed download: the next check offers it again
  }
  PostToMainWindow(MainCommand::InstallerReady);
}

}  // namespace

bool WriteInstallerFile(const std::string& bytes) { return WriteWholeFile(GetInstallerFilePath(), bytes); }

void StartInstallerDownload() {
  const UpdateInfo info = g_updateInfo;
  if (info.url.empty()) return;
  g_httpManager.Get(AnsiToWide(info.url), [url = info.url](FCHttpRequest& task) {
    if (!IsResponseComplete(task)) return;
    PendingInstaller() = task.PopReceivedData();
    // A signature is a few dozen bytes: a larger answer is cut off and so refused.
    g_httpManager.Get(AnsiToWide(SignatureUrl(url)), &OnSignatureDownloaded, static_cast<int32_t>(kMaxSignatureBytes));
  });
}

bool IsInstallerReady() {
  // UpdateCheck=0: an installer left from before is offered neither by the about command nor
  // by the menu's badge.
  if (GetMachinePolicy().UpdatesOff()) return false;
  const std::wstring path = GetInstallerFilePath();
  UniqueKernelHandle held = HoldFile(path);
  if (!held) return false;
  if (!VerifyHeldInstaller(held.Get())) {
    held.Reset();
    DiscardInstaller();  // planted, changed or half-written: never worth keeping
    return false;
  }
  return IsNewerInstaller(ReadFileVersion(path), ReadFileVersion(GetInstalledClientPath()));
}

bool LaunchInstaller() {
  const std::wstring path = GetInstallerFilePath();
  UniqueKernelHandle held = HoldFile(path);
  if (!held || !VerifyHeldInstaller(held.Get())) {
    held.Reset();
    DiscardInstaller();
    return false;
  }
  if (g_beforeInstallerStart != nullptr) g_beforeInstallerStart();
  return RunProgram(path, L"/S", false, SW_SHOWNORMAL);  // still held: the verified bytes start
}

void SetBeforeInstallerStartForTesting(void (*hook)()) { g_beforeInstallerStart = hook; }

}  // namespace corvane
