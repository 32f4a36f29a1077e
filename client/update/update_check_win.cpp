// CheckForUpdate on Windows ("last_check_time" in the registry); GetInstalledClientPath.
#include "client/update/update_check_win.h"

#include <windows.h>
#include <shlwapi.h>

#include <ctime>

#include "base/product_names.h"
#include "base/registry_win.h"
#include "client/policy/machine_policy_source.h"

namespace corvane {

namespace {
constexpr wchar_t kLastCheckValue[] = L"last_check_time";
}  // namespace

std::wstring GetInstalledClientPath() { return GetInstallDir() + L"\\" + kClientExeName; }

bool TakeUpdateCheckTurn() {
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  DWORD last = 0;
  DWORD size = sizeof(last);
  DWORD type = 0;
  if (SHGetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kLastCheckValue, &type, &last, &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    last = 0;
  }
  const DWORD stored = static_cast<DWORD>(now & 0xFFFFFFFF);
  SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kLastCheckValue, REG_DWORD, &stored, sizeof(stored));
  return IsUpdateCheckDue(now, last);
}

bool CheckForUpdate() {
  // The machine policy UpdateCheck=0: no check, so no prompt; "last_check_time" stays as it was.
  if (GetMachinePolicy().UpdatesOff()) return false;
  if (!TakeUpdateCheckTurn()) return false;
  SendUpdateRequest(
      BuildUpdateRequestBody(kWindowsUpdateProduct, FormatFileVersion(ReadFileVersion(GetInstalledClientPath()))));
  return true;
}

}  // namespace corvane
