// Files copied in a file manager ("x-special/gnome-copied-files", "text/uri-list") as the HTML
// a paste gives: the pictures among them.
#pragma once

#include <functional>
#include <string>

namespace corvane {

// Whether the path of a "file:///" URL names a picture that may be inlined.
using PictureProbe = std::function<bool(const std::string& urlPath)>;

// The local file rule: a picture by its first bytes, within the size limit (local_picture.h).
bool IsInlinableLocalPicture(const std::string& urlPath);

// The HTML fragment for copied files ("copy"/"cut" and file:// lines): a paragraph with the
// picture of each file that is a picture, in their order; empty when none is.
std::string CopiedPicturesHtml(const std::string& uriLines, const PictureProbe& isPicture = IsInlinableLocalPicture);

}  // namespace corvane
