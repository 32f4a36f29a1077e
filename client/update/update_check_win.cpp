// CheckForUpdate and its reply handler; GetInstalledClientPath.
#include "client/update/update_check_win.h"

#include <windows.h>
#include <shlwapi.h>

#include <ctime>

#include "base/ansi.h"
#include "base/product_names.h"
#include "base/registry_win.h"
#include "base/service_host.h"
#include "client/client_messages_win.h"
#include "client/main_window_channel.h"
#include "http/http_manager.h"

namespace corvane {

UpdateInfo g_updateInfo;

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

void AcceptUpdateReply(const std::string& body) {
  g_updateInfo = ParseUpdateDocument(body);
  if (g_updateInfo.type == 1) PostToMainWindow(MainCommand::UpdateAvailable);
}

namespace {
void OnUpdateReply(FCHttpRequest& task) {
  if (!IsResponseComplete(task)) return;
  AcceptUpdateReply(task.PopReceivedData());
}
}  // namespace

bool CheckForUpdate() {
  if (!TakeUpdateCheckTurn()) return false;
  const std::string body = BuildUpdateRequestBody(
      kWindowsUpdateProduct, FormatFileVersion(ReadFileVersion(GetInstalledClientPath())));
  g_httpManager.GetWithBody(ServiceUrl(L"/update/Version.aspx"), &OnUpdateReply, AnsiToWide(body));
  return true;
}

}  // namespace corvane
