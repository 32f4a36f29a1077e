// What the browser does with a navigation and with a response, whatever engine runs the page:
// the teacher's page is replaced only by web pages, and what cannot be shown is saved instead.
#pragma once

#include <string>

namespace corvane {

enum class NavigationVerdict {
  kAllow,    // the engine goes on
  kDesktop,  // handed to the desktop's handler of the scheme; the page stays
  kRefuse,   // nothing happens; the page stays
};

// A navigation to `url`. `userGesture`: a person's click or key started it. `programAsked`: the
// program itself loaded that address (the local error page is the only file the program loads).
NavigationVerdict DecideNavigation(const std::string& url, bool userGesture, bool programAsked);

// A response: kept as a download when the engine cannot show its type or the server asks for
// an attachment (`contentDisposition` as sent, "" when none).
bool ResponseIsDownload(bool typeShowable, const std::string& contentDisposition);

}  // namespace corvane
