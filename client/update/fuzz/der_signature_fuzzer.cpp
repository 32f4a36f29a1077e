// Fuzzes the strict DER reader of update signatures. Checks, besides the sanitizers: whatever
// it accepts is exactly the canonical encoding of what it read (so no two byte strings pass as
// the same signature), and every non-zero r‖s it writes reads back unchanged.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "client/update/update_signature.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  corvane::RawSignature rs;
  if (corvane::DecodeDerSignature(input, rs) && corvane::EncodeDerSignature(rs) != input) std::abort();
  const auto zero = [](const uint8_t* half) { return std::all_of(half, half + 32, [](uint8_t b) { return b == 0; }); };
  if (size >= rs.size() && !zero(data) && !zero(data + 32)) {  // zero is no signature's number
    std::copy(data, data + rs.size(), rs.begin());
    corvane::RawSignature back;
    if (!corvane::DecodeDerSignature(corvane::EncodeDerSignature(rs), back) || back != rs) std::abort();
  }
  return 0;
}
