// Files dropped on an editable field, as the HTML a paste of the same files copied in a file
// manager would give: the pictures among them, inline.
#pragma once

#include <string>

namespace corvane {

// `uriLines` as a drop gives them ("text/uri-list"); "" when no file is a picture that may be
// inlined. Reads the files: off the UI thread.
std::string DroppedPicturesHtml(const std::string& uriLines);

}  // namespace corvane
