// The session over contents read ahead.
#include "client/paste/clipboard_contents.h"

namespace corvane {

bool CContentsClipboardSession::ReadHtml(std::string& text) {
  if (!m_contents.html) return false;
  const std::string& html = *m_contents.html;
  text = BuildHtmlHeader(html.size());
  text.append(kDocumentPrefix.data(), kDocumentPrefix.size());
  text += html;
  text.append(kDocumentSuffix.data(), kDocumentSuffix.size());
  return true;
}

bool CContentsClipboardSession::WriteHtml(const HtmlEntryParts& entry) {
  if (m_contents.html && entry.fragment == *m_contents.html) return true;
  m_rewritten.emplace(entry.fragment);
  return true;
}

bool CContentsClipboardSession::ReadPicture(std::string& bytes, std::string& mediaType) {
  if (m_contents.picture.empty()) return false;
  bytes = m_contents.picture;
  mediaType = m_contents.pictureType;
  return true;
}

}  // namespace corvane
