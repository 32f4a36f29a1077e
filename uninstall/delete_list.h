// The installer's "delete_file_list.txt": its line format, and which entries the elevated
// uninstaller may act on. The folder and the file are writable by an ordinary user, so an
// entry must never reach outside the installation folder.
#pragma once

#include <string>
#include <vector>

namespace corvane {

// Lines of the file as text mode reads them: LF or CR LF ends a line, a last line without an
// end still counts, empty lines are skipped, nothing else is trimmed.
std::vector<std::string> SplitDeleteList(const std::string& bytes);

// True when `entry` is a plain relative path below the installation folder: not absolute,
// drive-relative or UNC, no ':' or NUL anywhere, no ".." component, at least one component
// that names something (not "." alone), and no component that names a device (CON, PRN, AUX,
// NUL, COM1-9, LPT1-9, CONIN$, CONOUT$; with or without an extension).
bool IsSafeDeleteEntry(const std::wstring& entry);

// True when `dir` may serve as the base of listed deletions: absolute, shorter than 260
// characters, not a drive or share root, and neither one of `protectedFolders` (the Windows
// folder, Program Files, profiles, the desktop, ...) nor a folder that contains one of them.
// Names compare as Windows reads them: any letter case, trailing dots and spaces dropped,
// doubled or trailing separators as one; a NUL, or a name of dots and spaces only ("." or
// ".. "), refuses the folder.
bool IsDeletableInstallDir(const std::wstring& dir, const std::vector<std::wstring>& protectedFolders);

// The components of an entry in the order the removal walks them from the installation folder
// down; the empty ones that doubled or trailing separators leave are dropped.
std::vector<std::wstring> EntryComponents(const std::wstring& entry);

// The names a safe entry reaches, as Windows compares them: "." and empty components dropped,
// trailing dots and spaces gone, lower case ("Skin\\.\\Images. " gives "skin", "images").
std::vector<std::wstring> ComparableEntry(const std::wstring& entry);

// A final path as the system reports it ("\\?\C:\dir", "\\?\UNC\server\share\dir") in the
// form the folder guards compare ("C:\dir", "\\server\share\dir"). Other text is returned as
// it is; a volume path without a drive letter then stays relative and is refused.
std::wstring StripFinalPathPrefix(const std::wstring& finalPath);

}  // namespace corvane
