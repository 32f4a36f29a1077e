// CheckForUpdate on Linux; the last check's time in the user's state folder.
#include "client/update/update_check_gtk.h"

#include <glib.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "client/policy/machine_policy_source.h"


namespace corvane {

const char* OwnVersion() { return CORVANE_VERSION; }

std::string LastCheckFilePath() {
  return std::string(g_get_user_state_dir()) + "/corvane/last_check_time";
}

namespace {

uint32_t ReadLastCheck(const std::string& path) {
  gchar* text = nullptr;
  if (!g_file_get_contents(path.c_str(), &text, nullptr, nullptr)) return 0;
  char* end = nullptr;
  errno = 0;
  const unsigned long long value = std::strtoull(text, &end, 10);
  const bool valid = errno == 0 && end != text && (*end == '\0' || *end == '\n') && value <= 0xFFFFFFFFull;
  g_free(text);
  return valid ? static_cast<uint32_t>(value) : 0;
}

}  // namespace

bool TakeUpdateCheckTurn() {
  const int64_t now = static_cast<int64_t>(std::time(nullptr));
  const std::string path = LastCheckFilePath();
  const uint32_t last = ReadLastCheck(path);
  const std::string stored = std::to_string(static_cast<uint32_t>(now & 0xFFFFFFFF)) + "\n";
  gchar* folder = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(folder, 0700);
  g_free(folder);
  // A temporary file beside it, renamed over it: never a half-written time.
  g_file_set_contents(path.c_str(), stored.data(), static_cast<gssize>(stored.size()), nullptr);
  return IsUpdateCheckDue(now, last);
}

bool CheckForUpdate() {
  // The machine policy UpdateCheck=0: no check, so no prompt; the last check's time stays.
  if (GetMachinePolicy().UpdatesOff()) return false;
  if (!TakeUpdateCheckTurn()) return false;
  SendUpdateRequest(BuildUpdateRequestBody(kLinuxUpdateProduct, OwnVersion()));
  return true;
}

}  // namespace corvane
