// The linear scan for local file image sources finds exactly what the lazy regular expression
// src="file:///(.*?)" finds (leftmost, non-overlapping, no line feed inside), and survives
// fragments far too long for a backtracking matcher.
#include "client/paste/local_image_sources.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <tuple>

namespace corvane {
namespace {

using Match = std::tuple<size_t, size_t, size_t>;  // begin, path begin, closing quote

std::vector<Match> Scan(const std::string& text) {
  std::vector<Match> out;
  for (const LocalImageSource& s : FindLocalImageSources(text)) out.emplace_back(s.begin, s.pathBegin, s.pathEnd);
  return out;
}

// The regular expression as the rewriting was first written, searched again after each match.
// Only for short texts: its recursive matcher overflows the stack on long ones.
std::vector<Match> RegexScan(const std::string& text) {
  static const std::regex pattern("src=\"file:///(.*?)\"");
  std::vector<Match> out;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern); it != std::sregex_iterator(); ++it) {
    const size_t begin = static_cast<size_t>(it->position(0));
    const size_t pathBegin = static_cast<size_t>(it->position(1));
    out.emplace_back(begin, pathBegin, pathBegin + static_cast<size_t>(it->length(1)));
  }
  return out;
}

TEST(LocalImageSources, TheListedCasesAgreeWithTheRegularExpression) {
  const std::vector<std::string> cases = {
      "<img src=\"file:///C:/a.png\"><p>between</p><img src=\"file:///C:/b.jpg\" alt=\"b\">",
      "<p>no local source</p><img src=\"https://example.invalid/x.png\">",
      "<img SRC=\"file:///C:/a.png\">",                  // attribute name in capitals
      "<img src='file:///C:/a.png'>",                    // single quotes
      "<img src = \"file:///C:/a.png\">",                // blanks around the equals sign
      "<img src=\"file://host/share/a.png\">",           // two slashes: a host name
      "<script src=\"file:///C:/x.js\"></script><iframe src=\"file:///C:/f.html\">",
      "<img src=\"file:///\">",                          // empty path
      "<img src=\"file:///C:/a\nb.png\"><img src=\"file:///C:/c.png\">",  // first runs over a LF
      "<img src=\"file:///C:/a%20b.png\"><img src=\"file:///C:/\xE5\x9B\xBE.png\">",
      "src=\"file:///src=\"file:///x\"",                 // a literal inside the shortest run
      "src=\"file:///no closing quote",
      "src=\"file:///a\nsrc=\"file:///b\nsrc=\"file:///c\"\"",
      "src=\"file:///a\"\"src=\"file:///b\"",
      "",
  };
  for (const std::string& text : cases) EXPECT_EQ(Scan(text), RegexScan(text)) << text;

  EXPECT_EQ(Scan(cases[0]), (std::vector<Match>{{5, 18, 26}, {47, 60, 68}}));
  EXPECT_TRUE(Scan(cases[2]).empty());
  EXPECT_TRUE(Scan(cases[3]).empty());
  EXPECT_TRUE(Scan(cases[4]).empty());
  EXPECT_TRUE(Scan(cases[5]).empty());
  EXPECT_EQ(Scan(cases[6]).size(), 2u);
  EXPECT_EQ(Scan(cases[7]), (std::vector<Match>{{5, 18, 18}}));
  EXPECT_EQ(Scan(cases[8]).size(), 1u);
  EXPECT_EQ(std::get<0>(Scan(cases[8])[0]), cases[8].find("src", 10));
}

TEST(LocalImageSources, RandomTextsAgreeWithTheRegularExpression) {
  // Pieces that make matches, near misses and line feeds likely. No CR: this library's regex
  // wildcard also refuses CR, while the language we match refuses only the line feed.
  const std::vector<std::string> pieces = {"src=\"file:///", "src=\"file://", "src=", "\"", "\n",
                                           "a", "/", "file:///", "s", "rc=\"", "<img ", " "};
  std::mt19937 random(20240611);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = static_cast<int>(random() % 24);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    ASSERT_EQ(Scan(text), RegexScan(text)) << text;
  }
}

TEST(LocalImageSources, CarriageReturnIsPartOfAPath) {
  EXPECT_EQ(Scan("src=\"file:///a\rb\""), (std::vector<Match>{{0, 13, 16}}));
}

TEST(LocalImageSources, FragmentsOfTensOfMegabytesAreScannedInOnePass) {
  // 40 MB: long runs without a quote, near misses, sources broken by line feeds, real sources.
  std::string text;
  text.reserve(41u << 20);
  const std::string chunk = "<p style=\"x\">" + std::string(4000, 's') + "src=\"file:///broken\n" +
                            std::string(4000, 'r') + "<img src=\"file:///C:/pic.png\">";
  size_t expected = 0;
  while (text.size() < (40u << 20)) {
    text += chunk;
    ++expected;
  }
  text += "src=\"file:///" + std::string(1u << 20, 'p');  // a path that never closes
  const std::vector<LocalImageSource> found = FindLocalImageSources(text);
  ASSERT_EQ(found.size(), expected);
  EXPECT_EQ(text.substr(found.back().pathBegin, found.back().pathEnd - found.back().pathBegin), "C:/pic.png");
  EXPECT_EQ(text.compare(found[1].begin, 13, "src=\"file:///"), 0);
}

}  // namespace
}  // namespace corvane
