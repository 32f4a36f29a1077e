// A clipboard read ahead of the conversion, so that the conversion itself can run anywhere (a
// worker thread): the HTML fragment, the text, a picture file's bytes. What the conversion
// writes is kept as the rewritten fragment for the platform to put on the real clipboard.
#pragma once

#include <optional>
#include <string>

#include "client/paste/clipboard_session.h"

namespace corvane {

struct ClipboardContents {
  std::optional<std::string> html;  // the fragment as read (or built from copied files), UTF-8
  std::optional<std::string> text;
  std::string picture;              // a picture file's bytes, empty when there is none
  std::string pictureType;          // their media type
};

class CContentsClipboardSession final : public CClipboardSession {
 public:
  explicit CContentsClipboardSession(const ClipboardContents& contents) : m_contents(contents) {}

  // The fragment with a built header around it.
  bool ReadHtml(std::string& text) override;
  // A fragment equal to the one read is no rewrite: nothing was converted.
  bool WriteHtml(const HtmlEntryParts& entry) override;
  bool SaveBitmap(std::string&) override { return false; }
  bool ReadPicture(std::string& bytes, std::string& mediaType) override;

  // The last fragment written that differs from the one read.
  const std::optional<std::string>& Rewritten() const { return m_rewritten; }

 private:
  const ClipboardContents& m_contents;
  std::optional<std::string> m_rewritten;
};

}  // namespace corvane
