// SignatureUrl and the strict DER reader and writer of ECDSA signatures.
#include "client/update/update_signature.h"

#include <algorithm>

namespace corvane {
namespace {

constexpr uint8_t kSequenceTag = 0x30;
constexpr uint8_t kIntegerTag = 0x02;

// One INTEGER at `pos` into the 32 bytes at `out`; `pos` moves past it.
bool ReadInteger(std::string_view der, size_t& pos, uint8_t* out) {
  if (der.size() - pos < 2 || static_cast<uint8_t>(der[pos]) != kIntegerTag) return false;
  size_t length = static_cast<uint8_t>(der[pos + 1]);
  pos += 2;
  // Short-form lengths only: 33 bytes is the most an integer here may take.
  if (length == 0 || length > 33 || der.size() - pos < length) return false;
  const auto* value = reinterpret_cast<const uint8_t*>(der.data() + pos);
  pos += length;
  if (value[0] & 0x80) return false;  // negative
  if (value[0] == 0) {
    // A leading zero only where the next byte would otherwise read as negative.
    if (length == 1 || !(value[1] & 0x80)) return false;
    ++value;
    --length;
  }
  if (length > 32) return false;
  std::fill(out, out + 32 - length, uint8_t{0});
  std::copy(value, value + length, out + 32 - length);
  return true;
}

void WriteInteger(const uint8_t* value, std::string& out) {
  size_t skip = 0;
  while (skip < 31 && value[skip] == 0) ++skip;
  const bool pad = (value[skip] & 0x80) != 0;
  out.push_back(static_cast<char>(kIntegerTag));
  out.push_back(static_cast<char>(32 - skip + (pad ? 1 : 0)));
  if (pad) out.push_back('\0');
  out.append(reinterpret_cast<const char*>(value + skip), 32 - skip);
}

}  // namespace

std::string SignatureUrl(const std::string& url) {
  const size_t end = url.find_first_of("?#");
  if (end == std::string::npos) return url + ".sig";
  return url.substr(0, end) + ".sig" + url.substr(end);
}

bool DecodeDerSignature(std::string_view der, RawSignature& out) {
  if (der.size() < 2 || static_cast<uint8_t>(der[0]) != kSequenceTag) return false;
  const size_t length = static_cast<uint8_t>(der[1]);
  // At most 2 × 35 bytes of content: always the short form, so 0x80 and above is refused.
  if (length >= 0x80 || der.size() != 2 + length) return false;
  size_t pos = 2;
  return ReadInteger(der, pos, out.data()) && ReadInteger(der, pos, out.data() + 32) && pos == der.size();
}

std::string EncodeDerSignature(const RawSignature& rs) {
  std::string body;
  WriteInteger(rs.data(), body);
  WriteInteger(rs.data() + 32, body);
  return std::string(1, static_cast<char>(kSequenceTag)) + static_cast<char>(body.size()) + body;
}

}  // namespace corvane
