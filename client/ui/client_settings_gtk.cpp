// CClientSettings on Linux through GLib's GKeyFile: the file under the user's configuration
// folder; only the values this copy changed are written, merged into the file as it is then.
#include <glib.h>

#include <string>
#include <utility>

#include "base/utf8.h"
#include "client/browser/zoom_steps.h"
#include "client/ui/client_settings.h"

namespace corvane {
namespace {

constexpr char kSection[] = "setting";
constexpr char kClosePromptKey[] = "close_prompt";
constexpr char kExitOnCloseKey[] = "min_close";
constexpr char kZoomLevelKey[] = "zoom_level";

std::wstring DefaultPath() {
  gchar* path = g_build_filename(g_get_user_config_dir(), "corvane", "CorvaneClient.ini", nullptr);
  std::wstring result = Utf8ToWide(path);
  g_free(path);
  return result;
}

struct KeyFile {
  KeyFile() : file(g_key_file_new()) {}
  ~KeyFile() { g_key_file_free(file); }
  KeyFile(const KeyFile&) = delete;
  KeyFile& operator=(const KeyFile&) = delete;
  GKeyFile* file;
};

// A missing or unreadable file, or a missing or non-numeric value, reads as 0.
bool ReadFlag(GKeyFile* file, const char* key) { return g_key_file_get_integer(file, kSection, key, nullptr) != 0; }

// A missing or malformed level (anything but whole percents from 50 to 300) reads as 100.
int ReadZoomLevel(GKeyFile* file) {
  gchar* text = g_key_file_get_value(file, kSection, kZoomLevelKey, nullptr);
  const int level = ParseZoomLevel(text ? text : "").value_or(kZoomDefault);
  g_free(text);
  return level;
}

}  // namespace

CClientSettings::CClientSettings() : CClientSettings(DefaultPath(), false) {}

CClientSettings::CClientSettings(std::wstring filePath) : CClientSettings(std::move(filePath), true) {}

CClientSettings::CClientSettings(std::wstring filePath, bool writer)
    : m_strFilePath(std::move(filePath)), m_bWriter(writer) {
  Load();
}

CClientSettings::~CClientSettings() { Save(); }

void CClientSettings::Load() {
  KeyFile ini;
  g_key_file_load_from_file(ini.file, WideToUtf8(m_strFilePath).c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr);
  m_bClosePrompt = m_loadedClosePrompt = ReadFlag(ini.file, kClosePromptKey);
  m_bExitOnClose = m_loadedExitOnClose = ReadFlag(ini.file, kExitOnCloseKey);
  m_nZoomLevel = m_loadedZoomLevel = ReadZoomLevel(ini.file);
}

void CClientSettings::Save() const {
  if (!m_bWriter) return;
  const bool promptChanged = m_bClosePrompt != m_loadedClosePrompt;
  const bool exitChanged = m_bExitOnClose != m_loadedExitOnClose;
  const bool zoomChanged = m_nZoomLevel != m_loadedZoomLevel;
  if (!promptChanged && !exitChanged && !zoomChanged) return;
  const std::string path = WideToUtf8(m_strFilePath);
  KeyFile ini;
  // The file as it is now: another process's values stay.
  g_key_file_load_from_file(ini.file, path.c_str(), G_KEY_FILE_KEEP_COMMENTS, nullptr);
  if (promptChanged) g_key_file_set_integer(ini.file, kSection, kClosePromptKey, m_bClosePrompt ? 1 : 0);
  if (exitChanged) g_key_file_set_integer(ini.file, kSection, kExitOnCloseKey, m_bExitOnClose ? 1 : 0);
  if (zoomChanged) g_key_file_set_integer(ini.file, kSection, kZoomLevelKey, m_nZoomLevel);
  gsize length = 0;
  gchar* text = g_key_file_to_data(ini.file, &length, nullptr);
  gchar* folder = g_path_get_dirname(path.c_str());
  g_mkdir_with_parents(folder, 0700);
  g_free(folder);
  // A temporary file beside it, renamed over it: readers see the old or the new file, whole.
  const bool written = g_file_set_contents(path.c_str(), text, static_cast<gssize>(length), nullptr);
  g_free(text);
  if (!written) return;  // failed writes are not reported; the values in memory rule the run
  m_loadedClosePrompt = m_bClosePrompt;
  m_loadedExitOnClose = m_bExitOnClose;
  m_loadedZoomLevel = m_nZoomLevel;
}

}  // namespace corvane
