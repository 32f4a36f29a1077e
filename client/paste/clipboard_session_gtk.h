// The GTK clipboard as a paste conversion's session. Everything is read at construction, on the
// GTK main thread, synchronously (GTK runs a nested main loop while another program answers):
// "text/html", a picture GDK can read, the text, and the copied files ("x-special/gnome-copied-
// files" or "text/uri-list"). A write makes this program the clipboard's owner, offering the
// rewritten "text/html" and the text read before, kept by a clipboard manager after it exits.
#pragma once

#include <gtk/gtk.h>

#include <optional>
#include <string>

#include "client/paste/clipboard_session.h"

namespace corvane {

class CGtkClipboardSession final : public CClipboardSession {
 public:
  CGtkClipboardSession();
  ~CGtkClipboardSession() override;  // removes the picture file it saved
  CGtkClipboardSession(const CGtkClipboardSession&) = delete;
  CGtkClipboardSession& operator=(const CGtkClipboardSession&) = delete;

  // The HTML with a built header around it. With no HTML and no picture, copied picture files
  // stand as HTML: one paragraph with a file: picture each (other files are left to the browser).
  bool ReadHtml(std::string& text) override;
  // A fragment equal to the one read leaves the clipboard untouched (nothing was converted).
  bool WriteHtml(const HtmlEntryParts& entry) override;
  // The clipboard picture as a PNG file in the temporary folder.
  bool SaveBitmap(std::string& bmpPath) override;
  const char* BitmapMediaType() const override { return "image/png"; }

 private:
  GtkClipboard* m_clipboard;
  std::optional<std::string> m_html;  // the fragment as read (or built from copied files)
  std::optional<std::string> m_text;
  GdkPixbuf* m_picture = nullptr;
  std::string m_picturePath;
};

// The HTML fragment for copied files ("copy"/"cut" and file:// lines): a paragraph with the
// picture of each file that is a picture, in their order; empty when none is.
std::string CopiedPicturesHtml(const std::string& uriLines);

}  // namespace corvane
