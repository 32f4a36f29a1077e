// Percent-escapes made and undone byte by byte; malformed ones stay.
#include "base/percent_escapes.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(PercentDecode, EscapesBecomeTheirBytesMalformedOnesStay) {
  EXPECT_EQ(PercentDecode("C:/a%20folder/b.png"), "C:/a folder/b.png");
  EXPECT_EQ(PercentDecode("%E5%BC%a0"), "\xE5\xBC\xA0");  // either case of hex digit
  EXPECT_EQ(PercentDecode("100%25.png"), "100%.png");
  EXPECT_EQ(PercentDecode("%2541"), "%41");  // decoded once, not again
  EXPECT_EQ(PercentDecode("%zz%4%"), "%zz%4%");
  EXPECT_EQ(PercentDecode("a%2"), "a%2");
  EXPECT_EQ(PercentDecode("%00x"), std::string("\0x", 2));
  EXPECT_EQ(PercentDecode(""), "");
  EXPECT_EQ(PercentDecode("\xE5\xBC\xA0 plain"), "\xE5\xBC\xA0 plain");
}

TEST(PercentEncode, OnlyUnreservedBytesStayAndDecodingGivesThemBack) {
  const std::string address = "http://h/a b?x=1&y=%41#f~-._\xE5\xBC\xA0";
  EXPECT_EQ(PercentEncode(address), "http%3A%2F%2Fh%2Fa%20b%3Fx%3D1%26y%3D%2541%23f~-._%E5%BC%A0");
  EXPECT_EQ(PercentDecode(PercentEncode(address)), address);
}

}  // namespace
}  // namespace corvane
