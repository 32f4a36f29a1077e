// Fuzzes the reading of "HTML Format" entries (header lines, offsets, the fragment) and the
// scan for local picture sources. Checks, besides the sanitizers: a fragment read lies inside
// the entry, the entry written for it reads back
// as the same fragment (when the fragment holds no header keys), and the scan agrees
// with the regular expression it replaces on short inputs. The same bytes also go through the
// Linux clipboard's readers: "text/html" as UTF-8, and copied files as HTML.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "client/paste/clipboard_html.h"
#include "client/paste/copied_pictures.h"
#include "client/paste/html_utf8.h"
#include "client/paste/local_image_sources.h"
#include "client/paste/recorded_clipboard.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void CheckAgainstRegex(const std::string& text) {
  // Short texts only (the regex recurses per byte); no CR, which libstdc++'s wildcard refuses.
  if (text.size() > 256 || text.find('\r') != std::string::npos) return;
  static const std::regex pattern("src=\"file:///(.*?)\"");
  std::vector<corvane::LocalImageSource> found = corvane::FindLocalImageSources(text);
  size_t i = 0;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it, ++i) {
    Check(i < found.size());
    Check(found[i].begin == static_cast<size_t>(it->position(0)));
    Check(found[i].pathBegin == static_cast<size_t>(it->position(1)));
    Check(found[i].pathEnd == found[i].pathBegin + static_cast<size_t>(it->length(1)));
  }
  Check(i == found.size());
}

// UTF-8 without a BOM stays a prefix of itself; no result ends in NUL padding. Every copied file
// becomes one paragraph whose source holds no quote.
void CheckLinuxReaders(const std::string& bytes) {
  const std::string utf8 = corvane::HtmlAsUtf8(bytes);
  Check(utf8.empty() || utf8.back() != '\0');
  if (bytes.rfind("\xFF\xFE", 0) != 0) Check(bytes.compare(0, utf8.size(), utf8) == 0);
  const std::string html = corvane::CopiedPicturesHtml(bytes, [](const std::string&) { return true; });
  const std::string start = "<p><img src=\"file:///", close = "\"></p>";
  for (size_t at = 0; at < html.size();) {
    Check(html.compare(at, start.size(), start) == 0);
    const size_t end = html.find('"', at + start.size());
    Check(end != std::string::npos && html.compare(end, close.size(), close) == 0);
    at = end + close.size();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string entry(reinterpret_cast<const char*>(data), size);
  corvane::CRecordedClipboard clipboard;
  clipboard.SetHtml(entry);
  corvane::CClipboardHtml html(clipboard);
  if (html.ReadHtml()) {
    const std::string text = entry.c_str();
    Check(html.Fragment().size() <= text.size());
    Check(text.find(html.Fragment()) != std::string::npos);
    const std::string fragment = html.Fragment();
    Check(html.WriteHtml());

    // Key lines inside a fragment that fall within the first 20 lines of the written entry
    // override the written header's (the later line wins), so only key-free fragments must
    // come back unchanged.
    if (fragment.find("Fragment:") == std::string::npos && fragment.find("HTML:") == std::string::npos) {
      corvane::CRecordedClipboard again;
      again.SetHtml(*clipboard.Html());
      corvane::CClipboardHtml reread(again);
      Check(reread.ReadHtml());
      Check(reread.Fragment() == fragment);
    }
  }
  CheckAgainstRegex(entry);
  CheckLinuxReaders(entry);
  return 0;
}
