// The removal run when the user confirms: stop running clients, take the client's mutex, delete
// the listed files and folders, the product's registry keys and its shortcuts.
#pragma once

#include <string>
#include <vector>

namespace corvane {

// The whole sequence; every step runs whatever the previous ones did. Always true.
bool RunRemoval();

// Terminates every process whose executable name equals `name`, ASCII letters folded only.
// False when the process list cannot be taken.
bool TerminateClientProcesses(const std::wstring& name);

// Entries of "delete_file_list.txt" in the installation folder, in file order; empty when the
// file is missing or unreadable.
std::vector<std::wstring> ReadDeleteList();

// The entries of a delete list file at `path` (the installer compares two versions' lists).
std::vector<std::wstring> ReadDeleteListFile(const std::wstring& path);

// Deletes, relative to `dir`, each entry that IsSafeDeleteEntry accepts, when `dir` may serve
// as the base of deletions (IsDeletableInstallDir); otherwise nothing. The uninstaller's list
// step, and the installer's removal of what an update no longer ships.
void DeleteListedEntries(const std::wstring& dir, const std::vector<std::wstring>& entries);

// Deletes one file, or one folder with everything in it. A link (junction or symbolic link) is
// removed itself; what it points at is never touched.
void DeletePath(const std::wstring& path);

// Empties `folder` depth first (read-only files inside are deleted too) and removes it; the
// result is that of removing the folder itself.
bool DeleteDirectoryTree(const std::wstring& folder);

// A special folder of the current user without a trailing backslash; empty when it cannot be
// resolved.
std::wstring GetSpecialFolder(int csidl);

// The folders an installation folder may never be, nor contain (see IsDeletableInstallDir).
std::vector<std::wstring> ProtectedFolders();

}  // namespace corvane
