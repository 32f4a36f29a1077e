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

// Entries of "delete_file_list.txt" in the installation folder (or in `dir`), in file order;
// empty when the file is missing or unreadable.
std::vector<std::wstring> ReadDeleteList();
std::vector<std::wstring> ReadDeleteList(const std::wstring& dir);

// Deletes `base`\`entry` (see DeletePath) only when every folder on the way down from `base`
// is a plain folder: a link there, or a name whose attributes cannot be read, leaves the entry
// untouched. Those folders stay open, undeletable, until the entry is gone.
void DeleteListedEntry(const std::wstring& base, const std::wstring& entry);

// The uninstaller's list step on `entries`, relative to `dir`: nothing unless `dir` may serve
// as the base of deletions (by its stored and its final path); then each entry the entry rule
// accepts, through DeleteListedEntry. Shared with the installer's removal of what an update no
// longer ships.
void DeleteListedEntries(const std::wstring& dir, const std::vector<std::wstring>& entries);

// Deletes one file, or one folder with everything in it. A link (junction or symbolic link) is
// removed itself; what it points at is never touched.
void DeletePath(const std::wstring& path);

// Empties `folder` depth first (read-only files inside are deleted too) and removes it; the
// result is that of removing the folder itself. Each folder is held open while it is emptied
// and entered only when it holds as a plain folder, not a link.
bool DeleteDirectoryTree(const std::wstring& folder);

// A special folder of the current user without a trailing backslash; empty when it cannot be
// resolved.
std::wstring GetSpecialFolder(int csidl);

// `folder` with every link on its path resolved, as "C:\dir" or "\\server\share\dir"; empty
// when it cannot be opened.
std::wstring GetFinalFolderPath(const std::wstring& folder);

// The folders, by their stored and their final paths, an installation folder may never be, nor
// contain (see IsDeletableInstallDir).
std::vector<std::wstring> ProtectedFolders();

}  // namespace corvane
