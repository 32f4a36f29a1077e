// Verifies a download against its detached signature: ECDSA P-256 over SHA-256 of the whole
// file, under the publisher's public key built into the program (Windows CNG in the Windows
// build, OpenSSL's libcrypto elsewhere). No switch turns it off.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace corvane {

// A P-256 public key as its uncompressed point: X then Y, 32 bytes each, big-endian.
using PublicKeyPoint = std::array<uint8_t, 64>;

// The publisher's key, fixed at build time (CORVANE_UPDATE_KEY, or the build's demo key).
const PublicKeyPoint& UpdatePublicKey();

// Hashes a file's bytes as they come, then checks one signature of them.
class CSignatureCheck {
 public:
  explicit CSignatureCheck(const PublicKeyPoint& key = UpdatePublicKey());
  ~CSignatureCheck();
  CSignatureCheck(const CSignatureCheck&) = delete;
  CSignatureCheck& operator=(const CSignatureCheck&) = delete;

  // The next bytes of the file.
  void Update(const void* data, size_t size);
  // True only when `derSignature` (strict DER, at most kMaxSignatureBytes) is a signature of
  // exactly the bytes given so far under the key. Call once.
  bool Verify(std::string_view derSignature);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// The whole check for bytes held in memory.
bool VerifySignature(std::string_view data, std::string_view derSignature,
                     const PublicKeyPoint& key = UpdatePublicKey());

}  // namespace corvane
