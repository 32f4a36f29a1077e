// A drop's files through the paste's own conversion, so both follow one picture rule and cap.
#include "client/paste/dropped_pictures.h"

#include "client/paste/clipboard_contents.h"
#include "client/paste/clipboard_html.h"
#include "client/paste/copied_pictures.h"

namespace corvane {

std::string DroppedPicturesHtml(const std::string& uriLines) {
  ClipboardContents contents;
  contents.html = CopiedPicturesHtml(uriLines);
  if (contents.html->empty()) return "";
  CContentsClipboardSession session(contents);
  RunPasteConversion(session);
  return session.Rewritten().value_or("");
}

}  // namespace corvane
