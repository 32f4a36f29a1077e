// Fuzzes the picture probe that decides which local files a paste inlines: a page names any
// file by URL, so only what starts like a picture may be read into it. Checks, besides the
// sanitizers: whatever is taken for a picture begins with the signature of PNG, JPEG, GIF,
// WebP, TIFF, BMP (reserved words zero, a known info header size) or ICO (type 1, one image
// or more), and only the first kPictureSignatureBytes bytes decide.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "client/paste/picture_signature.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Begins(std::string_view head, std::string_view magic, size_t at = 0) {
  return head.size() >= at + magic.size() && head.substr(at, magic.size()) == magic;
}

uint32_t Le32(std::string_view head, size_t at) {
  return static_cast<uint8_t>(head[at]) | static_cast<uint8_t>(head[at + 1]) << 8 |
         static_cast<uint8_t>(head[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(head[at + 3])) << 24;
}

bool KnownPicture(std::string_view head) {
  using namespace std::literals;
  if (Begins(head, "\x89PNG\r\n\x1A\n"sv) || Begins(head, "\xFF\xD8\xFF"sv)) return true;
  if (Begins(head, "GIF87a"sv) || Begins(head, "GIF89a"sv)) return true;
  if (Begins(head, "RIFF"sv) && Begins(head, "WEBP"sv, 8)) return true;
  if (Begins(head, "II*\0"sv) || Begins(head, "MM\0*"sv)) return true;
  if (Begins(head, "BM"sv) && head.size() >= 18 && Le32(head, 6) == 0) {
    for (uint32_t infoSize : {12u, 40u, 52u, 56u, 64u, 108u, 124u}) {
      if (Le32(head, 14) == infoSize) return true;
    }
  }
  return Begins(head, "\0\0\1\0"sv) && head.size() >= 6 && (head[4] != 0 || head[5] != 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const bool taken = corvane::HasPictureSignature(bytes);
  Check(!taken || KnownPicture(bytes));
  Check(taken == corvane::HasPictureSignature(bytes.substr(0, corvane::kPictureSignatureBytes)));
  return 0;
}
