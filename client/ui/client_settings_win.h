// The client's one user setting, what closing the main window does, kept in "CorvaneClient.ini"
// beside the program (section "setting": "close_prompt", "min_close").
#pragma once

#include <string>

namespace corvane {

class CClientSettings {
 public:
  // The file beside the running program, loaded at once.
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
};

// The process-wide store: created before the entry point runs, written when the process ends.
extern CClientSettings g_settings;

}  // namespace corvane
