// One paste conversion of the clipboard's HTML: read the entry and cut out its fragment, inline
// local pictures, replace it by a clipboard bitmap, write it back with a new header.
#pragma once

#include <string>

#include "client/paste/clipboard_session.h"

namespace corvane {

class CClipboardHtml {
 public:
  // `session` is the clipboard, already held open for the whole conversion.
  explicit CClipboardHtml(CClipboardSession& session) : m_session(session) {}
  CClipboardHtml(const CClipboardHtml&) = delete;
  CClipboardHtml& operator=(const CClipboardHtml&) = delete;

  // True when the entry's fragment was taken out.
  bool ReadHtml();
  // Header + "<html><body>" + fragment + "</body></html>" onto the clipboard, copied there
  // straight from the fragment.
  bool WriteHtml();
  // True when the fragment became the image paragraph of the clipboard bitmap.
  bool ConvertBitmap();
  // Every src="file:///..." becomes an inline picture; false only for an empty fragment.
  bool ReplaceLocalImages();

  const std::string& Fragment() const { return m_strFragment; }
  void SetFragment(std::string fragment) { m_strFragment = std::move(fragment); }

 private:
  void ParseHeader();
  bool ExtractHtml();
  bool ExtractFragment();
  void BuildHeader();

  CClipboardSession& m_session;
  std::string m_strStartHtml;
  std::string m_strEndHtml;
  std::string m_strStartFragment;
  std::string m_strEndFragment;
  std::string m_strClipboardText;
  std::string m_strFragment;
  std::string m_strHeader;
};

// The conversion's steps in their order: read, inline local pictures and write; then, when a
// bitmap is there, replace the fragment by it and write again. Other formats are never touched.
void RunPasteConversion(CClipboardSession& session);

}  // namespace corvane
