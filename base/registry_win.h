// Registry strings through shlwapi, and the installation folder the installer records.
#pragma once

#include <windows.h>

#include <string>

namespace corvane {

// Reads a string value of any registry type, up to its first NUL. Returns the registry status
// of the read; `out` is set only when the size query succeeds (empty when the read then fails).
// REG_EXPAND_SZ values come back expanded (SHGetValueW's documented behaviour).
LONG ReadRegistryString(HKEY root, const wchar_t* key, const wchar_t* value, std::wstring& out);

// "Install_Dir" under HKCU\Software\Corvane\Client without a trailing backslash; empty when the
// value cannot be read. A value of MAX_PATH (260) characters or more is refused (empty), never
// cut short, because a truncated folder would be a different folder.
std::wstring GetInstallDir();

}  // namespace corvane
