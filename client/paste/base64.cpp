// Base64 encoding: a table of all 4096 12-bit values, so three input bytes cost two look-ups.
#include "client/paste/base64.h"

#include <array>
#include <cstdint>
#include <cstring>

#include "client/paste/local_file.h"

namespace corvane {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Pair i holds the two characters of the 12-bit value i, high character first.
struct PairTable {
  std::array<char, 8192> chars{};
  PairTable() {
    for (unsigned i = 0; i < 4096; ++i) {
      chars[2 * i] = kAlphabet[i >> 6];
      chars[2 * i + 1] = kAlphabet[i & 63];
    }
  }
};

const PairTable& Pairs() {
  static const PairTable table;
  return table;
}

// Encodes whole 3-byte groups from `in` into `out`; returns the characters written.
size_t EncodeGroups(const unsigned char* in, size_t groups, char* out) {
  const char* pairs = Pairs().chars.data();
  char* const start = out;
  for (; groups >= 4; groups -= 4, in += 12, out += 16) {
    for (int g = 0; g < 4; ++g) {
      const uint32_t v = (uint32_t{in[3 * g]} << 16) | (uint32_t{in[3 * g + 1]} << 8) | in[3 * g + 2];
      std::memcpy(out + 4 * g, pairs + 2 * (v >> 12), 2);
      std::memcpy(out + 4 * g + 2, pairs + 2 * (v & 0xFFF), 2);
    }
  }
  for (; groups > 0; --groups, in += 3, out += 4) {
    const uint32_t v = (uint32_t{in[0]} << 16) | (uint32_t{in[1]} << 8) | in[2];
    std::memcpy(out, pairs + 2 * (v >> 12), 2);
    std::memcpy(out + 2, pairs + 2 * (v & 0xFFF), 2);
  }
  return static_cast<size_t>(out - start);
}

}  // namespace

size_t Base64Length(size_t count) { return (count + 2) / 3 * 4; }

void AppendBase64(std::string& out, const void* bytes, size_t count) {
  const auto* in = static_cast<const unsigned char*>(bytes);
  out.reserve(out.size() + Base64Length(count));
  // Encode through a small buffer that stays in the cache: appending from it writes the
  // destination once, where resize() would first fill it with zeros.
  constexpr size_t kChunkGroups = 1024;
  char chunk[kChunkGroups * 4];
  size_t groups = count / 3;
  while (groups > 0) {
    const size_t n = groups < kChunkGroups ? groups : kChunkGroups;
    out.append(chunk, EncodeGroups(in, n, chunk));
    in += 3 * n;
    groups -= n;
  }
  const size_t tail = count % 3;
  if (tail != 0) {
    const uint32_t v = (uint32_t{in[0]} << 16) | (tail == 2 ? uint32_t{in[1]} << 8 : 0);
    const char last[4] = {kAlphabet[v >> 18], kAlphabet[(v >> 12) & 63],
                          tail == 2 ? kAlphabet[(v >> 6) & 63] : '=', '='};
    out.append(last, 4);
  }
}

std::string Base64Encode(const void* bytes, size_t count) {
  std::string out;
  AppendBase64(out, bytes, count);
  return out;
}

std::string EncodeFileBase64(const std::string& path) {
  std::string content;
  if (!ReadWholeFile(path, kNoFileSizeLimit, content)) return std::string();
  return Base64Encode(content.data(), content.size());
}

}  // namespace corvane
