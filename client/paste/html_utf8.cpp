// UTF-16LE to UTF-8 without GLib, so that the native tests and the fuzzer reach it too.
#include "client/paste/html_utf8.h"

#include <cstdint>
#include <optional>

#include "base/utf8.h"

namespace corvane {
namespace {

// Invalid input gives nothing at all rather than a guess, as GLib's converter did before.
std::optional<std::string> Utf16LeToUtf8(const std::string& bytes, size_t from) {
  if ((bytes.size() - from) % 2 != 0) return std::nullopt;
  auto unit = [&](size_t at) {
    return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
           static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
  };
  std::string out;
  out.reserve(bytes.size() - from);
  for (size_t at = from; at < bytes.size(); at += 2) {
    uint32_t code = unit(at);
    if (code >= 0xDC00 && code <= 0xDFFF) return std::nullopt;
    if (code >= 0xD800 && code <= 0xDBFF) {
      if (at + 3 >= bytes.size()) return std::nullopt;
      const uint32_t low = unit(at + 2);
      if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
      code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
      at += 2;
    }
    AppendUtf8(out, static_cast<char32_t>(code));
  }
  return out;
}

}  // namespace

std::string HtmlAsUtf8(std::string bytes) {
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
    bytes = Utf16LeToUtf8(bytes, 2).value_or(std::string());
  }
  while (!bytes.empty() && bytes.back() == '\0') bytes.pop_back();
  return bytes;
}

}  // namespace corvane
