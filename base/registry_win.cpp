// ReadRegistryString and GetInstallDir.
#include "base/registry_win.h"

#include <shlwapi.h>

#include <vector>

#include "base/product_names.h"

namespace corvane {

LONG ReadRegistryString(HKEY root, const wchar_t* key, const wchar_t* value, std::wstring& out) {
  DWORD bytes = 0;
  LONG status = SHGetValueW(root, key, value, nullptr, nullptr, &bytes);
  if (status != ERROR_SUCCESS) return status;
  // Room for one wide character more than the value, so the text always ends in a NUL.
  std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 2, L'\0');
  DWORD size = static_cast<DWORD>((buffer.size() - 1) * sizeof(wchar_t));
  status = SHGetValueW(root, key, value, nullptr, buffer.data(), &size);
  out = (status == ERROR_SUCCESS) ? std::wstring(buffer.data()) : std::wstring();
  return status;
}

std::wstring GetInstallDir() {
  std::wstring dir;
  if (ReadRegistryString(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue, dir) != ERROR_SUCCESS) {
    return std::wstring();
  }
  if (dir.size() >= MAX_PATH) return std::wstring();
  wchar_t path[MAX_PATH] = {};
  dir.copy(path, dir.size());
  PathRemoveBackslashW(path);
  return path;
}

}  // namespace corvane
