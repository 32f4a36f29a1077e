// The two UTF-8 readers differ only in how many replacements a bad sequence gives; the writer
// never emits a byte sequence that is not UTF-8.
#include <gtest/gtest.h>

#include "base/utf8.h"

namespace corvane {
namespace {

TEST(Utf8, TheReadersReplaceBadSequencesTheirOwnWay) {
  EXPECT_EQ(Utf8ToWide("\xE8\xAE\xBE"), L"\x8BBE");
  EXPECT_EQ(Utf8ToWideEachByte("\xE8\xAE\xBE"), L"\x8BBE");
  EXPECT_EQ(Utf8ToWide("x\xE8\xAE"), L"x\xFFFD");
  EXPECT_EQ(Utf8ToWideEachByte("x\xE8\xAE"), L"x\xFFFD\xFFFD");
  EXPECT_EQ(Utf8ToWideEachByte("\xED\xA0\x80"), L"\xFFFD\xFFFD\xFFFD");  // a surrogate's form
}

TEST(Utf8, TheWriterReplacesWhatHasNoUtf8Form) {
  EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0xD800))), "\xEF\xBF\xBD");
  if (sizeof(wchar_t) == 4) {
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x110000))), "\xEF\xBF\xBD");
    EXPECT_EQ(WideToUtf8(std::wstring(1, static_cast<wchar_t>(0x1F600))), "\xF0\x9F\x98\x80");
  } else {
    EXPECT_EQ(WideToUtf8(L"\xD83D\xDE00"), "\xF0\x9F\x98\x80");
  }
}

}  // namespace
}  // namespace corvane
