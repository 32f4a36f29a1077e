// The file side of the self-update: the updater started at every start, the downloaded
// installer, whether it is newer than the installed client, and its silent start.
#pragma once

#include <string>

namespace corvane {

// GetTempPathW + "\corvane\update.exe", + "\corvane\Setup.exe" and the installer's
// signature beside it, "Setup.exe.sig".
std::wstring GetUpdaterCopyPath();
std::wstring GetInstallerFilePath();
std::wstring GetInstallerSignaturePath();

// Copies "update.exe" from beside the program into the temporary folder and starts the copy
// hidden. Always true.
bool StageUpdater();

// Starts `file` with ShellExecuteExW (default verb); false only when the file does not exist.
bool RunProgram(const std::wstring& file, const std::wstring& parameters, bool wait, int showCommand);

// Creates `folder` and its missing parents; whether the folder exists afterwards.
bool CreateDirectoryTree(const std::wstring& folder);

// Downloads g_updateInfo's url, then its signature (the url with ".sig" on its path); nothing
// when the url is empty. When the signature verifies, both files are written and
// WM_INSTALLERREADY is posted to the main window; when it does not, neither file is left and
// WM_UPDATEUNVERIFIED is posted. A download that fails shows nothing, as before.
void StartInstallerDownload();

// Replaces the installer file with `bytes` as a whole: written to a temporary file beside it
// and moved into place only when every byte is written, so a failed write never leaves a
// truncated installer behind. False when the old file (if any) was left as it was.
bool WriteInstallerFile(const std::string& bytes);

// A downloaded installer whose signature verifies and whose version is newer than the
// installed client is waiting. An installer that does not verify is deleted with its signature.
bool IsInstallerReady();

// Verifies the downloaded installer again and starts it with "/S", holding it against writes
// and deletion from the verification until it has started. False, with nothing started and
// both files deleted, when it does not verify (or is missing).
bool LaunchInstaller();

// Tests only: runs between the last verification and the start.
void SetBeforeInstallerStartForTesting(void (*hook)());

}  // namespace corvane
