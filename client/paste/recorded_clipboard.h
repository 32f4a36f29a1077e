// A clipboard made of recorded samples: the raw bytes of an "HTML Format" entry and a BMP file
// standing for the clipboard bitmap. What the conversion writes is kept for inspection. Serves
// the replay tool and the native tests of the conversion.
#pragma once

#include <optional>
#include <string>

#include "client/paste/clipboard_session.h"

namespace corvane {

class CRecordedClipboard final : public CClipboardSession {
 public:
  void SetHtml(std::string entry) { m_html = std::move(entry); }
  void SetBitmapFile(std::string bmpPath) { m_bitmapPath = std::move(bmpPath); }

  bool ReadHtml(std::string& text) override;
  bool WriteHtml(const HtmlEntryParts& entry) override;
  bool SaveBitmap(std::string& bmpPath) override;

  // The "HTML Format" entry now on this clipboard (the written one, else the recorded one).
  const std::optional<std::string>& Html() const { return m_html; }
  int WriteCount() const { return m_writeCount; }

 private:
  std::optional<std::string> m_html;
  std::optional<std::string> m_bitmapPath;
  int m_writeCount = 0;
};

}  // namespace corvane
