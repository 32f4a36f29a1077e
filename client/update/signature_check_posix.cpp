// CSignatureCheck through OpenSSL's libcrypto: SHA-256 with EVP_Digest*, the key from its
// SubjectPublicKeyInfo, EVP_PKEY_verify on the digest. The DER is read by our strict reader
// first, so both builds refuse exactly the same signatures.
#include "client/update/signature_check.h"

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <string>

#include "client/update/update_signature.h"

namespace corvane {
namespace {

// SubjectPublicKeyInfo of an id-ecPublicKey on prime256v1, up to the uncompressed point's 0x04.
constexpr unsigned char kP256SpkiPrefix[] = {0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48, 0xce,
                                             0x3d, 0x02, 0x01, 0x06, 0x08, 0x2a, 0x86, 0x48, 0xce, 0x3d,
                                             0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04};

struct DigestDeleter {
  void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
struct KeyDeleter {
  void operator()(EVP_PKEY* k) const { EVP_PKEY_free(k); }
};
struct KeyContextDeleter {
  void operator()(EVP_PKEY_CTX* c) const { EVP_PKEY_CTX_free(c); }
};

}  // namespace

struct CSignatureCheck::Impl {
  PublicKeyPoint key;
  std::unique_ptr<EVP_MD_CTX, DigestDeleter> digest{EVP_MD_CTX_new()};
  bool failed = false;
};

CSignatureCheck::CSignatureCheck(const PublicKeyPoint& key) : m_impl(new Impl) {
  m_impl->key = key;
  m_impl->failed = !m_impl->digest || EVP_DigestInit_ex(m_impl->digest.get(), EVP_sha256(), nullptr) != 1;
}

CSignatureCheck::~CSignatureCheck() = default;

void CSignatureCheck::Update(const void* data, size_t size) {
  if (!m_impl->failed && EVP_DigestUpdate(m_impl->digest.get(), data, size) != 1) m_impl->failed = true;
}

bool CSignatureCheck::Verify(std::string_view derSignature) {
  RawSignature rs;
  if (m_impl->failed || derSignature.size() > kMaxSignatureBytes || !DecodeDerSignature(derSignature, rs)) return false;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int digestLength = 0;
  if (EVP_DigestFinal_ex(m_impl->digest.get(), digest, &digestLength) != 1) return false;
  m_impl->failed = true;  // a finished digest takes no more data

  std::string spki(reinterpret_cast<const char*>(kP256SpkiPrefix), sizeof(kP256SpkiPrefix));
  spki.append(reinterpret_cast<const char*>(m_impl->key.data()), m_impl->key.size());
  const auto* cursor = reinterpret_cast<const unsigned char*>(spki.data());
  std::unique_ptr<EVP_PKEY, KeyDeleter> key(d2i_PUBKEY(nullptr, &cursor, static_cast<long>(spki.size())));
  if (!key) return false;  // not a point on the curve
  std::unique_ptr<EVP_PKEY_CTX, KeyContextDeleter> context(EVP_PKEY_CTX_new(key.get(), nullptr));
  if (!context || EVP_PKEY_verify_init(context.get()) != 1 ||
      EVP_PKEY_CTX_set_signature_md(context.get(), EVP_sha256()) != 1) {
    return false;
  }
  const std::string der = EncodeDerSignature(rs);  // the same bytes, as the reader accepted them
  return EVP_PKEY_verify(context.get(), reinterpret_cast<const unsigned char*>(der.data()), der.size(), digest,
                         digestLength) == 1;
}

}  // namespace corvane
