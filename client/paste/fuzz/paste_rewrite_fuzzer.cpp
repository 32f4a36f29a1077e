// Fuzzes the Linux paste's whole rewrite of another program's "text/html": the bytes decoded
// (UTF-16 with a byte order mark, NUL padding), framed as an entry, read back and their local
// pictures inlined. Checks, besides the sanitizers: no file: picture source survives the
// rewrite (each becomes a data URI, empty unless the file is a picture), and everything
// between the sources comes through unchanged. Paths are real: the file system is what it is.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "client/paste/clipboard_contents.h"
#include "client/paste/clipboard_html.h"
#include "client/paste/html_utf8.h"
#include "client/paste/local_image_sources.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsBase64(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/' || c == '=';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  corvane::ClipboardContents contents;
  contents.html = corvane::HtmlAsUtf8(std::string(reinterpret_cast<const char*>(data), size));
  corvane::CContentsClipboardSession session(contents);
  corvane::RunPasteConversion(session);
  if (!session.Rewritten()) return 0;
  const std::string& out = *session.Rewritten();
  Check(corvane::FindLocalImageSources(out).empty());

  // Each source of the fragment as read became src="data:image/png;base64,<base64>".
  std::string read;
  {
    corvane::CClipboardHtml html(session);
    if (!html.ReadHtml()) return 0;
    read = html.Fragment();
  }
  const std::vector<corvane::LocalImageSource> sources = corvane::FindLocalImageSources(read);
  constexpr std::string_view kData = "src=\"data:image/png;base64,";
  size_t r = 0, o = 0;
  for (const corvane::LocalImageSource& s : sources) {
    Check(out.compare(o, s.begin - r, read, r, s.begin - r) == 0);
    o += s.begin - r;
    Check(out.compare(o, kData.size(), kData) == 0);
    o += kData.size();
    const size_t close = out.find('"', o);
    Check(close != std::string::npos);
    for (size_t i = o; i < close; ++i) Check(IsBase64(out[i]));
    o = close + 1;
    r = s.end();
  }
  Check(out.compare(o, std::string::npos, read, r, std::string::npos) == 0);
  return 0;
}
