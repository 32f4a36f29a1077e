// The schemes a page may be replaced by, and the response rule.
#include "client/browser/navigation_policy.h"

#include <cctype>

namespace corvane {
namespace {

std::string LowerScheme(const std::string& url) {
  const size_t colon = url.find(':');
  if (colon == std::string::npos || colon == 0) return "";
  std::string scheme;
  for (size_t i = 0; i < colon; ++i) {
    const unsigned char c = static_cast<unsigned char>(url[i]);
    // RFC 3986: a letter, then letters, digits, "+", "-" or "."
    if (!std::isalpha(c) && (i == 0 || (!std::isdigit(c) && c != '+' && c != '-' && c != '.'))) return "";
    scheme += static_cast<char>(std::tolower(c));
  }
  return scheme;
}

}  // namespace

NavigationVerdict DecideNavigation(const std::string& url, bool userGesture, bool programAsked) {
  const std::string scheme = LowerScheme(url);
  // about:blank and the page's own blob: and data: documents stay inside the page's frames.
  if (scheme == "http" || scheme == "https" || scheme == "about" || scheme == "blob" || scheme == "data") {
    return NavigationVerdict::kAllow;
  }
  if (scheme == "file") return programAsked ? NavigationVerdict::kAllow : NavigationVerdict::kRefuse;
  // Only a person's click opens the mail program or a dialler, never a script by itself.
  if (scheme == "mailto" || scheme == "tel") return userGesture ? NavigationVerdict::kDesktop : NavigationVerdict::kRefuse;
  return NavigationVerdict::kRefuse;
}

bool ResponseIsDownload(bool typeShowable, const std::string& contentDisposition) {
  if (!typeShowable) return true;
  size_t start = contentDisposition.find_first_not_of(" \t");
  if (start == std::string::npos) return false;
  const std::string kind = "attachment";
  if (contentDisposition.size() - start < kind.size()) return false;
  for (size_t i = 0; i < kind.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(contentDisposition[start + i])) != kind[i]) return false;
  }
  const size_t after = start + kind.size();
  return after == contentDisposition.size() || contentDisposition[after] == ';' || contentDisposition[after] == ' ' ||
         contentDisposition[after] == '\t';
}

}  // namespace corvane
