// The client's one user setting, what closing the main window does, kept in "CorvaneClient.ini"
// (section "setting": "close_prompt", "min_close"). On Windows the file lies beside the program
// and every copy writes both values back when it goes (client_settings_win.cpp). On Linux it is
// $XDG_CONFIG_HOME/corvane/CorvaneClient.ini, and a copy writes only the values it changed
// since it loaded, merged into the file as it is then, through a temporary file renamed into
// place (client_settings_gtk.cpp), so processes never undo each other's choices.
#pragma once

#include <string>

namespace corvane {

class CClientSettings {
 public:
  // The platform's file (see above), loaded at once.
  CClientSettings();
  // Another file (tests, tools).
  explicit CClientSettings(std::wstring filePath);
  CClientSettings(const CClientSettings&) = default;
  CClientSettings& operator=(const CClientSettings&) = default;
  // Every copy writes its values back when it goes.
  ~CClientSettings();

  void Load();
  void Save() const;
  const std::wstring& FilePath() const { return m_strFilePath; }

  std::wstring m_strFilePath;
  bool m_bClosePrompt = false;  // "close_prompt": closing asks first
  bool m_bExitOnClose = false;  // "min_close": 1 ends the program, 0 minimises it

 private:
  // The values as loaded (Linux: what this copy has not changed is not written).
  mutable bool m_loadedClosePrompt = false;
  mutable bool m_loadedExitOnClose = false;
};

// The process-wide store: created before the entry point runs, written when the process ends.
extern CClientSettings g_settings;

}  // namespace corvane
