// What one paste conversion needs from a clipboard while it holds it: the HTML entry's bytes in
// and out, and the clipboard bitmap saved as a BMP file (or a picture file's bytes as they are). The Windows clipboard implements it
// (clipboard_session_win.h), the GTK clipboard does (clipboard_session_gtk.h), recorded samples
// do (recorded_clipboard.h).
#pragma once

#include <string>

#include "client/paste/html_entry.h"

namespace corvane {

class CClipboardSession {
 public:
  virtual ~CClipboardSession() = default;

  // The "HTML Format" entry up to its first NUL byte; false when there is none or it cannot be
  // read. Never reads past the end of the data.
  virtual bool ReadHtml(std::string& text) = 0;

  // Puts `entry` (a terminating NUL is added) as the "HTML Format" entry, leaving every other
  // format as it is; true only when the clipboard took the data.
  virtual bool WriteHtml(const HtmlEntryParts& entry) = 0;

  // When the clipboard holds a bitmap: saves it as a BMP file and gives that file's narrow name
  // (active code page), true. False when there is no bitmap, or when its file could not be
  // written whole: half a picture is not pasted.
  virtual bool SaveBitmap(std::string& bmpPath) = 0;

  // The media type of the file SaveBitmap gives (a BMP on Windows).
  virtual const char* BitmapMediaType() const { return "image/bmp"; }

  // When the clipboard's picture is at hand as the bytes of a picture file already (a PNG or
  // JPEG a page can show): those bytes and their media type, so that no file is written. Asked
  // before SaveBitmap; the Windows clipboard has no such picture.
  virtual bool ReadPicture(std::string& /*bytes*/, std::string& /*mediaType*/) { return false; }
};

}  // namespace corvane
