// Recorded clipboard samples behave like a clipboard entry: text ends at its first NUL.
#include "client/paste/recorded_clipboard.h"

namespace corvane {

bool CRecordedClipboard::ReadHtml(std::string& text) {
  if (!m_html) return false;
  text.assign(m_html->c_str());
  return true;
}

bool CRecordedClipboard::WriteHtml(const HtmlEntryParts& entry) {
  m_html = entry.ToString();
  ++m_writeCount;
  return true;
}

bool CRecordedClipboard::SaveBitmap(std::string& bmpPath) {
  if (!m_bitmapPath) return false;
  bmpPath = *m_bitmapPath;
  return true;
}

}  // namespace corvane
