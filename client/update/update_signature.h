// The detached signature of a downloaded update: where it lies beside the download, and its
// DER form (an ECDSA signature as `openssl dgst -sha256 -sign` writes it) read strictly into
// the raw r‖s that Windows CNG verifies.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

// A P-256 signature's two 32-byte numbers, r then s, big-endian.
using RawSignature = std::array<uint8_t, 64>;

// More than any DER ECDSA P-256 signature needs (at most 72 bytes); a larger file is refused
// before it is read any further.
constexpr size_t kMaxSignatureBytes = 1024;

// The signature's address: the download's address with ".sig" appended to its path, before
// any query or fragment ("http://h/Setup.exe?v=2" → "http://h/Setup.exe.sig?v=2").
std::string SignatureUrl(const std::string& url);

// Reads SEQUENCE { INTEGER r, INTEGER s } in strict DER: definite minimal lengths, positive
// (non-zero) minimal integers of at most 32 significant bytes, nothing before or after. False for
// anything else, leaving `out` unspecified.
bool DecodeDerSignature(std::string_view der, RawSignature& out);

// The DER form of r‖s (minimal integers); DecodeDerSignature reads it back unchanged.
std::string EncodeDerSignature(const RawSignature& rs);

}  // namespace corvane
