// The file side of the self-update: the updater started at every start, the downloaded
// installer, whether it is newer than the installed client, and its silent start.
#pragma once

#include <string>

namespace corvane {

// GetTempPathW + "\corvane\update.exe" and + "\corvane\Setup.exe".
std::wstring GetUpdaterCopyPath();
std::wstring GetInstallerFilePath();

// Copies "update.exe" from beside the program into the temporary folder and starts the copy
// hidden. Always true.
bool StageUpdater();

// Starts `file` with ShellExecuteExW (default verb); false only when the file does not exist.
bool RunProgram(const std::wstring& file, const std::wstring& parameters, bool wait, int showCommand);

// Creates `folder` and its missing parents; whether the folder exists afterwards.
bool CreateDirectoryTree(const std::wstring& folder);

// Downloads g_updateInfo's url; nothing when it is empty. The completion writes the installer
// file and posts WM_INSTALLERREADY to the main window.
void StartInstallerDownload();

// Replaces the installer file with `bytes` as a whole: written to a temporary file beside it
// and moved into place only when every byte is written, so a failed write never leaves a
// truncated installer behind. False when the old file (if any) was left as it was.
bool WriteInstallerFile(const std::string& bytes);

// A downloaded installer whose version is newer than the installed client is waiting.
bool IsInstallerReady();

// Starts the downloaded installer with "/S". Always true.
bool LaunchInstaller();

}  // namespace corvane
