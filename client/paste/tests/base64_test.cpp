// Base64: RFC 4648 test vectors, padding and length rule, no line breaks, files.
#include "client/paste/base64.h"

#include <gtest/gtest.h>

#include "client/paste/tests/test_files.h"

namespace corvane {
namespace {

std::string Encode(const std::string& text) { return Base64Encode(text.data(), text.size()); }

TEST(Base64, Rfc4648Vectors) {
  EXPECT_EQ(Encode(""), "");
  EXPECT_EQ(Encode("f"), "Zg==");
  EXPECT_EQ(Encode("fo"), "Zm8=");
  EXPECT_EQ(Encode("foo"), "Zm9v");
  EXPECT_EQ(Encode("foob"), "Zm9vYg==");
  EXPECT_EQ(Encode("fooba"), "Zm9vYmE=");
  EXPECT_EQ(Encode("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Encode(std::string("\xFB\xFF\xBF", 3)), "+/+/");
  EXPECT_EQ(Encode(std::string("\0\0\0", 3)), "AAAA");
}

// A plain bit-by-bit encoder to compare the table-driven one against.
std::string ReferenceEncode(const std::string& in) {
  static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned bits = 0, count = 0;
  for (unsigned char c : in) {
    bits = (bits << 8) | c;
    count += 8;
    while (count >= 6) out.push_back(abc[(bits >> (count -= 6)) & 63]);
  }
  if (count > 0) out.push_back(abc[(bits << (6 - count)) & 63]);
  while (out.size() % 4 != 0) out.push_back('=');
  return out;
}

TEST(Base64, LongInputsAcrossChunkBordersMatchTheBitwiseEncoding) {
  std::string in;
  unsigned seed = 12345;
  for (size_t n : {1u, 2u, 3u, 11u, 12u, 13u, 3071u, 3072u, 3073u, 100000u}) {
    in.resize(n);
    for (char& c : in) c = static_cast<char>((seed = seed * 1103515245 + 12345) >> 16);
    const std::string out = Encode(in);
    EXPECT_EQ(out, ReferenceEncode(in)) << n;
    EXPECT_EQ(out.size(), 4 * ((n + 2) / 3));
    EXPECT_EQ(out.size(), Base64Length(n));
    EXPECT_EQ(out.find_first_of("\r\n"), std::string::npos);
    const size_t pad = n % 3 == 0 ? 0 : 3 - n % 3;
    EXPECT_EQ(out.size() - out.find_last_not_of('=') - 1, pad) << n;
  }
}

TEST(Base64, AppendKeepsWhatWasThere) {
  std::string out = "src=";
  AppendBase64(out, "foo", 3);
  EXPECT_EQ(out, "src=Zm9v");
}

TEST(Base64, EncodeFileReadsTheWholeFileRaw) {
  testing::ScratchFolder folder;
  const std::string bytes("a\r\nb\0\x1a" "c", 7);  // CR LF, NUL and ^Z survive untranslated
  EXPECT_EQ(EncodeFileBase64(folder.Write("raw.bin", bytes)), Encode(bytes));
  EXPECT_EQ(EncodeFileBase64(folder.Write("empty.bin", "")), "");
  EXPECT_EQ(EncodeFileBase64(folder.File("missing.bin")), "");
  EXPECT_EQ(EncodeFileBase64(""), "");
}

}  // namespace
}  // namespace corvane
