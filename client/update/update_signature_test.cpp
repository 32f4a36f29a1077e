// The update signature in both builds: its address, the strict DER reader, and verification
// (CNG under Wine, libcrypto natively) on files signed by openssl at build time.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "client/update/signature_check.h"
#include "client/update/update_signature.h"

namespace corvane {
namespace {

std::string Read(const char* name) {
  std::ifstream in(std::string("signing_test/") + name, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Hex(const std::string& hex) {
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  return bytes;
}

PublicKeyPoint TestKeyA() {
  const std::string der = Read("test_key_a.der");  // SubjectPublicKeyInfo: the point is last
  PublicKeyPoint key = {};
  if (der.size() == 91) std::copy(der.end() - 64, der.end(), key.begin());
  return key;
}

TEST(SignatureUrl, GoesOnThePathBeforeAnyQueryOrFragment) {
  EXPECT_EQ(SignatureUrl("http://h/download/Setup.exe"), "http://h/download/Setup.exe.sig");
  EXPECT_EQ(SignatureUrl("http://h:81/Setup.exe?v=1.3&x=y"), "http://h:81/Setup.exe.sig?v=1.3&x=y");
  EXPECT_EQ(SignatureUrl("http://h/Setup.exe#top"), "http://h/Setup.exe.sig#top");
}

TEST(DerSignature, ReadsStrictDerOnly) {
  // r = 0x01, s = 0x80 (needs its zero byte).
  const std::string minimal = Hex("3007020101020200" "80");
  RawSignature rs = {};
  ASSERT_TRUE(DecodeDerSignature(minimal, rs));
  EXPECT_EQ(rs[31], 0x01);
  EXPECT_EQ(rs[63], 0x80);
  EXPECT_EQ(std::count(rs.begin(), rs.end(), 0), 62);
  EXPECT_EQ(EncodeDerSignature(rs), minimal);

  const std::string full = Read("payload.a.sig");
  ASSERT_TRUE(DecodeDerSignature(full, rs)) << "what openssl writes";
  EXPECT_EQ(EncodeDerSignature(rs), full);

  for (const char* hex : {
           "",                                  // nothing
           "3007020101020200",                  // cut short
           "300702010102020080" "00",           // a trailing byte
           "30810702010102020080",              // long-form length where the short one fits
           "3008020101020200" "80",             // the sequence claims more than there is
           "3107020101020200" "80",             // not a sequence
           "3007030101020200" "80",             // not an integer
           "3007020181020200" "80",             // r negative
           "300702010102020001",                // s with a needless zero byte
           "3006020101020100",                  // s zero: never a signature
           "3005020101020000",                  // an integer of no bytes
       }) {
    EXPECT_FALSE(DecodeDerSignature(Hex(hex), rs)) << hex;
  }
  // 33 significant bytes do not fit P-256.
  EXPECT_FALSE(DecodeDerSignature(Hex("3026" "0221" "01" + std::string(64, '1') + "020101"), rs));
}

TEST(SignatureCheck, AcceptsOnlyASignatureOfTheseBytesUnderThisKey) {
  const std::string payload = Read("payload.bin");
  const std::string signature = Read("payload.a.sig");
  ASSERT_EQ(payload.size(), 70001u) << "signed files are made by the build";
  const PublicKeyPoint key = TestKeyA();
  EXPECT_TRUE(VerifySignature(payload, signature, key));

  CSignatureCheck pieces(key);  // as a file is read: in uneven pieces
  for (size_t at = 0; at < payload.size(); at += 8191) pieces.Update(payload.data() + at, std::min<size_t>(8191, payload.size() - at));
  EXPECT_TRUE(pieces.Verify(signature));

  std::string changed = payload;
  changed[40000] ^= 0x01;
  EXPECT_FALSE(VerifySignature(changed, signature, key)) << "one bit of the file changed";
  EXPECT_FALSE(VerifySignature(payload.substr(1), signature, key)) << "a byte short";
  EXPECT_FALSE(VerifySignature(payload, Read("payload.b.sig"), key)) << "another key's signature";
  EXPECT_FALSE(VerifySignature(payload, signature.substr(0, signature.size() - 1), key)) << "truncated";
  EXPECT_FALSE(VerifySignature(payload, "", key));
  EXPECT_FALSE(VerifySignature(payload, signature + std::string(1, '\0'), key)) << "a trailing byte";
  RawSignature rs = {};
  ASSERT_TRUE(DecodeDerSignature(signature, rs));
  std::fill(rs.begin() + 32, rs.end(), uint8_t{0});
  EXPECT_FALSE(VerifySignature(payload, EncodeDerSignature(rs), key)) << "s = 0";
  PublicKeyPoint offCurve = key;
  offCurve[63] ^= 0x01;
  EXPECT_FALSE(VerifySignature(payload, signature, offCurve)) << "a key that is no point of the curve";
}

TEST(SignatureCheck, TheBuiltInKeyIsTheBuildsKey) {
  const std::string demoSignature = Read("payload.demo.sig");
  if (demoSignature.empty()) GTEST_SKIP() << "built with a publisher's key: no private key here to sign with";
  EXPECT_TRUE(VerifySignature(Read("payload.bin"), demoSignature));
  EXPECT_FALSE(VerifySignature(Read("payload.bin"), Read("payload.a.sig")));
}

}  // namespace
}  // namespace corvane
