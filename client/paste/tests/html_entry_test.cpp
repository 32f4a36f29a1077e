// Reading and writing the "HTML Format" entry: header lines, offsets and their bounds, the
// regenerated header, and the round trip through CClipboardHtml on recorded entries.
#include "client/paste/html_entry.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "client/paste/clipboard_html.h"
#include "client/paste/recorded_clipboard.h"
#include "client/paste/tests/html_samples.h"

namespace corvane {
namespace {

using testing::MakeHtmlEntry;

// Runs ReadHtml on `entry`; gives the fragment, or "<untouched>" when ReadHtml is false.
std::string ReadFragment(const std::string& entry) {
  CRecordedClipboard clipboard;
  clipboard.SetHtml(entry);
  CClipboardHtml html(clipboard);
  return html.ReadHtml() ? html.Fragment() : "<untouched>";
}

// The header lines of a hand-made entry, then `body`.
std::string Entry(const std::string& headerLines, const std::string& body) { return headerLines + body; }

TEST(HtmlOffset, ReadsLikeStreamExtractionOfASigned32BitNumber) {
  EXPECT_EQ(ReadHtmlOffset("0000000105"), 105u);
  EXPECT_EQ(ReadHtmlOffset(" \t105"), 105u);
  EXPECT_EQ(ReadHtmlOffset("+7"), 7u);
  EXPECT_EQ(ReadHtmlOffset("12abc"), 12u);
  EXPECT_EQ(ReadHtmlOffset("12 34"), 12u);
  EXPECT_EQ(ReadHtmlOffset("abc"), 0u);   // a value that begins with a letter reads as 0
  EXPECT_EQ(ReadHtmlOffset("-"), 0u);
  EXPECT_EQ(ReadHtmlOffset("-0"), 0u);
  EXPECT_EQ(ReadHtmlOffset("2147483647"), 2147483647u);
}

TEST(HtmlOffset, NegativeAndWrappingNumbersAreNoOffset) {
  EXPECT_EQ(ReadHtmlOffset("-1"), std::nullopt);
  EXPECT_EQ(ReadHtmlOffset("-0000000105"), std::nullopt);
  EXPECT_EQ(ReadHtmlOffset("2147483648"), std::nullopt);
  EXPECT_EQ(ReadHtmlOffset("4294967401"), std::nullopt);  // 2^32 + 105
  EXPECT_EQ(ReadHtmlOffset("99999999999999999999999999999999"), std::nullopt);
}

TEST(HtmlHeader, KeysAreFoundInCrLfLinesOnly) {
  const HtmlHeaderValues values = ParseHtmlHeader(
      "Version:1.0\r\nStartHTML:0000000105\r\nEndHTML:139\r\nStartFragment:117\r\nEndFragment:125\r\n");
  EXPECT_EQ(values.startHtml, "0000000105");
  EXPECT_EQ(values.endHtml, "139");
  EXPECT_EQ(values.startFragment, "117");
  EXPECT_EQ(values.endFragment, "125");

  const HtmlHeaderValues bare = ParseHtmlHeader("StartHTML:1\nEndHTML:2\nStartFragment:1\nEndFragment:2\n");
  EXPECT_EQ(bare.startHtml, "");  // a bare LF ends no line: the text holds no line at all
  EXPECT_EQ(bare.endFragment, "");

  // Bytes after the last CR LF form no line.
  EXPECT_EQ(ParseHtmlHeader("Version:1.0\r\nStartHTML:42").startHtml, "");
}

TEST(HtmlHeader, LaterLineWinsEmptyValuesAreSkippedLine21IsIgnored) {
  std::string lines = "StartHTML:10\r\nStartHTML:20\r\nEndHTML:\r\n";
  while (lines.find("EndHTML:30") == std::string::npos) {
    lines += (std::count(lines.begin(), lines.end(), '\n') == 19) ? "EndHTML:30\r\n" : "Other:x\r\n";
  }
  lines += "StartHTML:99\r\n";  // line 21
  const HtmlHeaderValues values = ParseHtmlHeader(lines);
  EXPECT_EQ(values.startHtml, "20");
  EXPECT_EQ(values.endHtml, "30");  // line 20 still counts; the empty value of line 3 is skipped
}

TEST(HtmlHeader, BuiltHeaderMatchesTheWorkedExample) {
  const std::string header = BuildHtmlHeader(8);
  EXPECT_EQ(header,
            "Version:1.0\r\nStartHTML:0000000105\r\nEndHTML:0000000139\r\n"
            "StartFragment:0000000117\r\nEndFragment:0000000125\r\n");
  EXPECT_EQ(header.size(), kBuiltHeaderLength);
  const std::string entry = HtmlEntryParts{header, "12345678"}.ToString();
  EXPECT_EQ(entry.size(), 139u);
  EXPECT_EQ(entry.substr(105), "<html><body>12345678</body></html>");
}

TEST(ReadHtml, TakesTheFragmentOfABrowsersEntry) {
  EXPECT_EQ(ReadFragment(MakeHtmlEntry("<b>bold</b> text")), "<b>bold</b> text");
  EXPECT_EQ(ReadFragment(MakeHtmlEntry("")), "");
}

TEST(ReadHtml, EntriesWithoutAUsablePairStayUntouched) {
  const std::string body = "<html><body>hello</body></html>";
  // Bare LF lines: no key is found.
  EXPECT_EQ(ReadFragment(Entry("StartHTML:0\nEndHTML:10\nStartFragment:0\nEndFragment:5\n", body)), "<untouched>");
  // StartHTML without EndHTML.
  EXPECT_EQ(ReadFragment(Entry("StartHTML:0\r\nStartFragment:0\r\nEndFragment:5\r\n", body)), "<untouched>");
  // Missing fragment offsets.
  EXPECT_EQ(ReadFragment(Entry("StartHTML:0\r\nEndHTML:10\r\n", body)), "<untouched>");
  // Reversed pairs.
  EXPECT_EQ(ReadFragment(Entry("StartHTML:20\r\nEndHTML:10\r\nStartFragment:0\r\nEndFragment:5\r\n", body)), "<untouched>");
  EXPECT_EQ(ReadFragment(Entry("StartHTML:0\r\nEndHTML:10\r\nStartFragment:9\r\nEndFragment:5\r\n", body)), "<untouched>");
}

TEST(ReadHtml, LettersReadAsZeroAndLeadingZerosAsTheirNumber) {
  const std::string lines = "StartHTML:x\r\nEndHTML:0000000010\r\nStartFragment:abc\r\nEndFragment:0000000009\r\n";
  EXPECT_EQ(ReadFragment(Entry(lines, "<b>")), "StartHTML");  // bytes 0..9 of the text
}

TEST(ReadHtml, OffsetsPastTheEndNegativeOrWrappingLeaveTheEntryUntouched) {
  const std::string good = "<html><body>abc</body></html>";
  const size_t size = good.size();
  auto with = [&](const std::string& start, const std::string& end) {
    return Entry("StartHTML:0\r\nEndHTML:" + std::to_string(size) + "\r\nStartFragment:" + start +
                     "\r\nEndFragment:" + end + "\r\n",
                 good);
  };
  const size_t textSize = with("0", "00").size();  // two digits, as the values below
  EXPECT_EQ(ReadFragment(with("0", std::to_string(textSize))).size(), textSize);  // the very end is fine
  EXPECT_EQ(ReadFragment(with("0", std::to_string(textSize + 1))), "<untouched>");
  EXPECT_EQ(ReadFragment(with("-5", "3")), "<untouched>");
  EXPECT_EQ(ReadFragment(with("0", "-1")), "<untouched>");               // 4294967295 unsigned
  EXPECT_EQ(ReadFragment(with("4294967296", "4294967299")), "<untouched>");  // wraps to 0..3
  EXPECT_EQ(ReadFragment(Entry("StartHTML:0\r\nEndHTML:999999\r\nStartFragment:0\r\nEndFragment:3\r\n", "")),
            "<untouched>");  // EndHTML past the end
}

TEST(ReadHtml, TheTextEndsAtItsFirstNul) {
  const std::string lines = "StartHTML:0\r\nEndHTML:59\r\nStartFragment:59\r\nEndFragment:62\r\n";
  const std::string beforeNul = lines + "abc";
  ASSERT_EQ(beforeNul.size(), 62u);
  EXPECT_EQ(ReadFragment(beforeNul + std::string("\0tail", 5)), "abc");
  // With the NUL one byte earlier the fragment runs past the text.
  EXPECT_EQ(ReadFragment(lines + "ab" + std::string("\0c", 2)), "<untouched>");
}

TEST(WriteHtml, ZeroByteFragmentAndTheReReadOfTheWrittenEntry) {
  CRecordedClipboard clipboard;
  clipboard.SetHtml(MakeHtmlEntry(""));
  CClipboardHtml html(clipboard);
  ASSERT_TRUE(html.ReadHtml());
  EXPECT_FALSE(html.ReplaceLocalImages());  // nothing to rewrite in an empty fragment
  ASSERT_TRUE(html.WriteHtml());
  EXPECT_EQ(*clipboard.Html(),
            "Version:1.0\r\nStartHTML:0000000105\r\nEndHTML:0000000131\r\n"
            "StartFragment:0000000117\r\nEndFragment:0000000117\r\n<html><body></body></html>");

  for (const std::string fragment : {"x", "<p>two\r\nlines</p>", "\xE4\xBD\xA0\xE5\xA5\xBD"}) {
    CRecordedClipboard first;
    first.SetHtml(MakeHtmlEntry(fragment));
    CClipboardHtml writer(first);
    ASSERT_TRUE(writer.ReadHtml());
    ASSERT_TRUE(writer.WriteHtml());
    EXPECT_EQ(ReadFragment(*first.Html()), fragment);
  }
}

}  // namespace
}  // namespace corvane
