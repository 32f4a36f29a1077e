// What the stand-in runtime shows of a document, since it renders no HTML: the title and the
// text without markup. Also the HTML a paste brings, taken from the clipboard's CF_HTML entry.
#pragma once

#include <string>
#include <vector>

namespace corvane {

struct PageLink {
  std::wstring text;
  std::wstring href;    // as written in the page
  std::wstring target;  // the target frame name; empty for the page itself
};

struct PageText {
  std::wstring title;
  std::wstring text;  // block elements on lines of their own; scripts and styles left out
  std::vector<PageLink> links;
};

PageText ExtractPageText(const std::string& utf8Html);

// `href` made absolute against the page's `base` URL; one with a scheme of its own ("https:",
// "mailto:", "about:") is taken as it is.
std::wstring ResolveUrl(const std::wstring& base, const std::wstring& href);

// True when a link to this target asks for a new window.
bool OpensNewWindow(const std::wstring& target);

// The fragment of a CF_HTML entry (bytes between StartFragment and EndFragment), as text; empty
// when the header gives no usable offsets.
std::wstring ClipboardHtmlFragment(const std::string& entry);

}  // namespace corvane
