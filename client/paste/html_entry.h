// The "HTML Format" clipboard entry: a header of CR LF lines whose values are byte offsets into
// the entry, followed by an HTML document with a marked fragment. All text is UTF-8 bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

// Raw value texts of the four offset keys; empty when a key was not found.
struct HtmlHeaderValues {
  std::string startHtml;
  std::string endHtml;
  std::string startFragment;
  std::string endFragment;
};

// Only the first this many header lines are searched for keys.
constexpr size_t kHeaderLinesSearched = 20;

// Lines end at CR LF; of the first 20, each one containing a key gives that key a value: the
// line's bytes after the key's length, without the CR LF. The last non-empty value wins.
HtmlHeaderValues ParseHtmlHeader(std::string_view text);

// An offset read as a signed 32-bit decimal number the way stream extraction reads one (leading
// white space, sign and zeros accepted, stops at the first non-digit, no number at all is 0).
// Negative numbers and numbers too large for 32 bits give no offset.
std::optional<uint32_t> ReadHtmlOffset(std::string_view value);

// The offsets of a pair [begin, end) in a text of `textSize` bytes; none when either value is
// empty or unreadable, end is below begin, or either lies past the end of the text.
struct OffsetPair {
  uint32_t begin;
  uint32_t end;
};
std::optional<OffsetPair> ReadOffsetPair(const std::string& beginValue, const std::string& endValue,
                                         size_t textSize);

// The five header lines ("Version:1.0", StartHTML, EndHTML, StartFragment, EndFragment) for a
// document "<html><body>" + fragment + "</body></html>" that follows them; 105 bytes.
std::string BuildHtmlHeader(size_t fragmentLength);
constexpr size_t kBuiltHeaderLength = 105;
constexpr std::string_view kDocumentPrefix = "<html><body>";
constexpr std::string_view kDocumentSuffix = "</body></html>";

// An entry to be written: `header` (from BuildHtmlHeader), then "<html><body>" + fragment +
// "</body></html>". Kept as its pieces so that a fragment of many megabytes is copied once,
// straight into the clipboard's memory.
struct HtmlEntryParts {
  std::string_view header;
  std::string_view fragment;

  size_t Size() const;  // without a terminating NUL
  // Writes Size() bytes to `out` (no NUL); returns the end.
  char* CopyTo(char* out) const;
  std::string ToString() const;
};

}  // namespace corvane
