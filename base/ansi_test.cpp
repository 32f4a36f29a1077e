// ANSI conversions: lengths exclude the terminating NUL, embedded NULs survive, round trips hold.
#include "base/ansi.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

TEST(Ansi, ReturnedStringsCarryNoTerminatingNul) {
  const std::string narrow = WideToAnsi(L"{\"product_name\":\"DrovessaClient\"}\n");
  EXPECT_EQ(narrow, "{\"product_name\":\"DrovessaClient\"}\n");
  EXPECT_EQ(narrow.size(), 34u);
  const std::wstring wide = AnsiToWide("http://127.0.0.1:8765/");
  EXPECT_EQ(wide, L"http://127.0.0.1:8765/");
  EXPECT_EQ(wide.size(), 22u);
}

TEST(Ansi, EmptyStaysEmpty) {
  EXPECT_TRUE(WideToAnsi(L"").empty());
  EXPECT_TRUE(AnsiToWide("").empty());
}

TEST(Ansi, EmbeddedNulIsKept) {
  const std::wstring wide(L"a\0b", 3);
  const std::string narrow = WideToAnsi(wide);
  ASSERT_EQ(narrow.size(), 3u);
  EXPECT_EQ(narrow[1], '\0');
  EXPECT_EQ(AnsiToWide(narrow), wide);
}

TEST(Ansi, LongTextRoundTrips) {
  std::wstring wide;
  for (int i = 0; i < 5000; ++i) wide += static_cast<wchar_t>(L' ' + i % 90);
  EXPECT_EQ(AnsiToWide(WideToAnsi(wide)), wide);
}

}  // namespace
}  // namespace corvane
