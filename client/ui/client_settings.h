// The client's user settings, what closing the main window does and (Linux) the page zoom, kept
// in "CorvaneClient.ini" (section "setting": "close_prompt", "min_close", "zoom_level"). Only a writer writes: the one process that
// holds the single-instance lock allows it for g_settings. On Windows the file lies beside the
// program and a writer writes both values back when it goes (client_settings_win.cpp). On Linux it is
// $XDG_CONFIG_HOME/corvane/CorvaneClient.ini, and a copy writes only the values it changed
// since it loaded, merged into the file as it is then, through a temporary file renamed into
// place (client_settings_gtk.cpp), so processes never undo each other's choices.
#pragma once

#include <string>

namespace corvane {

class CClientSettings {
 public:
  // The platform's file (see above), loaded at once; read-only until AllowWriting().
  CClientSettings();
  // Another file (tests, tools), which this object may write.
  explicit CClientSettings(std::wstring filePath);
  CClientSettings(const CClientSettings&) = default;
  CClientSettings& operator=(const CClientSettings&) = default;
  // A writer (and every copy of one) writes its values back when it goes.
  ~CClientSettings();

  void Load();
  // Writes the values (Linux: those changed), when this object may write; otherwise nothing.
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
  int m_nZoomLevel = 100;       // "zoom_level": the page zoom in percent (zoom_steps.h); Linux only

 private:
  CClientSettings(std::wstring filePath, bool writer);
  bool m_bWriter = false;
  // The values as loaded (Linux: what this copy has not changed is not written).
  mutable bool m_loadedClosePrompt = false;
  mutable bool m_loadedExitOnClose = false;
  mutable int m_loadedZoomLevel = 100;
};

// The process-wide store: created before the entry point runs, in every process of the
// executable; written when the browser process ends.
extern CClientSettings g_settings;

}  // namespace corvane
