// Copied files as HTML: only file:// lines, only pictures; a quote in a path would end the
// attribute early, so such a file is left out.
#include "client/paste/copied_pictures.h"

#include <sstream>

#include "client/paste/local_picture.h"

namespace corvane {
namespace {
constexpr char kFileUrlStart[] = "file:///";
}  // namespace

bool IsInlinableLocalPicture(const std::string& urlPath) {
  return ProbeLocalPictureBase64Length(LocalPictureFileFromUrl(urlPath)) != 0;
}

std::string CopiedPicturesHtml(const std::string& uriLines, const PictureProbe& isPicture) {
  std::string html;
  std::istringstream lines(uriLines);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.compare(0, sizeof(kFileUrlStart) - 1, kFileUrlStart) != 0) continue;  // "copy", comments, others
    const std::string path = line.substr(sizeof(kFileUrlStart) - 1);
    if (path.find('"') != std::string::npos) continue;
    if (!isPicture(path)) continue;
    html += "<p><img src=\"" + line + "\"></p>";
  }
  return html;
}

}  // namespace corvane
