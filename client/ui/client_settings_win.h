// The client's one user setting, what closing the main window does, kept in "CorvaneClient.ini"
// beside the program (section "setting": "close_prompt", "min_close").
#pragma once

#include <string>

namespace corvane {

class CClientSettings {
 public:
  // The file beside the running program, loaded at once; read-only until AllowWriting().
  CClientSettings();
  // Another file (tests, tools), which this object may write.
  explicit CClientSettings(std::wstring filePath);
  CClientSettings(const CClientSettings&) = default;
  CClientSettings& operator=(const CClientSettings&) = default;
  // A writer (and every copy of one) writes its values back when it goes.
  ~CClientSettings();

  void Load();
  // Writes both values, when this object may write; otherwise does nothing.
  void Save() const;
  // Only the browser process, which holds the single-instance mutex, calls this for g_settings.
  // The runtime's sub-processes and a refused second start load the same file at their start;
  // were they to write it at their end, they would put back values the user has since changed.
  void AllowWriting() { m_bWriter = true; }
  bool MayWrite() const { return m_bWriter; }
  const std::wstring& FilePath() const { return m_strFilePath; }

  std::wstring m_strFilePath;
  bool m_bClosePrompt = false;  // "close_prompt": closing asks first
  bool m_bExitOnClose = false;  // "min_close": 1 ends the program, 0 minimises it

 private:
  CClientSettings(std::wstring filePath, bool writer);
  bool m_bWriter = false;
};

// The process-wide store: created before the entry point runs, in every process of the
// executable; written when the browser process ends.
extern CClientSettings g_settings;

}  // namespace corvane
