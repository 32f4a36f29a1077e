// CSignatureCheck through Windows CNG (bcrypt.dll): SHA-256 with BCryptHashData, the key from a
// BCRYPT_ECCPUBLIC_BLOB, BCryptVerifySignature on the raw r‖s read from the DER signature.
#include "client/update/signature_check.h"

#include <windows.h>
#include <bcrypt.h>

#include <algorithm>
#include <vector>

#include "base/unique_handle_win.h"
#include "client/update/update_signature.h"

namespace corvane {
namespace {

struct AlgorithmTraits {
  using Handle = BCRYPT_ALG_HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { BCryptCloseAlgorithmProvider(h, 0); }
};
struct HashTraits {
  using Handle = BCRYPT_HASH_HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { BCryptDestroyHash(h); }
};
struct KeyTraits {
  using Handle = BCRYPT_KEY_HANDLE;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { BCryptDestroyKey(h); }
};

constexpr bool Succeeded(NTSTATUS status) { return status >= 0; }

UniqueHandle<AlgorithmTraits> OpenAlgorithm(const wchar_t* name) {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  if (!Succeeded(BCryptOpenAlgorithmProvider(&algorithm, name, nullptr, 0))) algorithm = nullptr;
  return UniqueHandle<AlgorithmTraits>(algorithm);
}

}  // namespace

struct CSignatureCheck::Impl {
  PublicKeyPoint key;
  UniqueHandle<AlgorithmTraits> sha256;
  std::vector<UCHAR> hashObject;  // the hash's state lives in memory we own
  UniqueHandle<HashTraits> hash;
  bool failed = false;  // a CNG call failed: the check can only answer false
};

CSignatureCheck::CSignatureCheck(const PublicKeyPoint& key) : m_impl(new Impl) {
  m_impl->key = key;
  m_impl->sha256 = OpenAlgorithm(BCRYPT_SHA256_ALGORITHM);
  DWORD objectLength = 0;
  ULONG got = 0;
  if (!m_impl->sha256 ||
      !Succeeded(BCryptGetProperty(m_impl->sha256.Get(), BCRYPT_OBJECT_LENGTH, reinterpret_cast<PUCHAR>(&objectLength),
                                   sizeof(objectLength), &got, 0))) {
    m_impl->failed = true;
    return;
  }
  m_impl->hashObject.resize(objectLength);
  BCRYPT_HASH_HANDLE hash = nullptr;
  if (!Succeeded(BCryptCreateHash(m_impl->sha256.Get(), &hash, m_impl->hashObject.data(), objectLength, nullptr, 0, 0))) {
    m_impl->failed = true;
    return;
  }
  m_impl->hash.Reset(hash);
}

CSignatureCheck::~CSignatureCheck() = default;

void CSignatureCheck::Update(const void* data, size_t size) {
  const auto* bytes = static_cast<const UCHAR*>(data);
  while (!m_impl->failed && size > 0) {
    const ULONG chunk = static_cast<ULONG>(std::min<size_t>(size, 1u << 30));
    if (!Succeeded(BCryptHashData(m_impl->hash.Get(), const_cast<PUCHAR>(bytes), chunk, 0))) m_impl->failed = true;
    bytes += chunk;
    size -= chunk;
  }
}

bool CSignatureCheck::Verify(std::string_view derSignature) {
  RawSignature rs;
  if (m_impl->failed || derSignature.size() > kMaxSignatureBytes || !DecodeDerSignature(derSignature, rs)) return false;
  UCHAR digest[32] = {};
  if (!Succeeded(BCryptFinishHash(m_impl->hash.Get(), digest, sizeof(digest), 0))) return false;
  m_impl->failed = true;  // a finished hash takes no more data

  struct {
    BCRYPT_ECCKEY_BLOB header;
    UCHAR point[64];
  } blob = {{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, 32}, {}};
  std::copy(m_impl->key.begin(), m_impl->key.end(), blob.point);
  UniqueHandle<AlgorithmTraits> ecdsa = OpenAlgorithm(BCRYPT_ECDSA_P256_ALGORITHM);
  BCRYPT_KEY_HANDLE rawKey = nullptr;
  if (!ecdsa || !Succeeded(BCryptImportKeyPair(ecdsa.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB, &rawKey,
                                               reinterpret_cast<PUCHAR>(&blob), sizeof(blob), 0))) {
    return false;
  }
  UniqueHandle<KeyTraits> key(rawKey);
  return Succeeded(BCryptVerifySignature(key.Get(), nullptr, digest, sizeof(digest), rs.data(),
                                         static_cast<ULONG>(rs.size()), 0));
}

}  // namespace corvane
