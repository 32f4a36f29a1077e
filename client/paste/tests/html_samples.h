// "HTML Format" entries as browsers and word processors put them on the clipboard, built with
// correct offsets around a given fragment, for the tests of the paste conversion.
#pragma once

#include <cstdio>
#include <string>

namespace corvane::testing {

// Header with eight-digit offsets, a document with a head, comment markers around the fragment.
inline std::string MakeHtmlEntry(const std::string& fragment) {
  const std::string before =
      "<html><head><style>p{margin:0}</style></head><body>\r\n<!--StartFragment-->";
  const std::string after = "<!--EndFragment-->\r\n</body>\r\n</html>";
  const char* layout =
      "Version:0.9\r\nStartHTML:%08zu\r\nEndHTML:%08zu\r\nStartFragment:%08zu\r\nEndFragment:%08zu\r\n"
      "SourceURL:https://example.invalid/page.html\r\n";
  char probe[512];
  const size_t headerLength = static_cast<size_t>(std::snprintf(probe, sizeof(probe), layout,
                                                                size_t{0}, size_t{0}, size_t{0}, size_t{0}));
  const size_t startFragment = headerLength + before.size();
  const size_t endFragment = startFragment + fragment.size();
  const size_t endHtml = endFragment + after.size();
  char header[512];
  std::snprintf(header, sizeof(header), layout, headerLength, endHtml, startFragment, endFragment);
  return header + before + fragment + after;
}

// A file URL for a path of the test's own: "file:///C:/..." or "file:///tmp/...".
inline std::string FileUrl(const std::string& path) {
  return (!path.empty() && path[0] == '/' ? "file://" : "file:///") + path;
}

// `path` as a page writes it into a file URL: spaces and every byte outside ASCII escaped.
inline std::string EscapedUrlPath(const std::string& path) {
  std::string out;
  for (char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte > 0x20 && byte < 0x80) {
      out.push_back(c);
      continue;
    }
    char escape[4];
    std::snprintf(escape, sizeof(escape), "%%%02X", byte);
    out += escape;
  }
  return out;
}

}  // namespace corvane::testing
