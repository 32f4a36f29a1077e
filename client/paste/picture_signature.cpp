// Picture signatures. Two-byte magics (BMP, ICO) get a second look at their header fields, so
// that a text file that merely starts with "BM" is not taken for a picture.
#include "client/paste/picture_signature.h"

#include <cstdint>

namespace corvane {
namespace {

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

uint32_t LittleEndian32(std::string_view bytes, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t{static_cast<unsigned char>(bytes[at + i])} << (8 * i);
  return v;
}

bool IsBmp(std::string_view head) {
  if (head.size() < 18 || !StartsWith(head, "BM")) return false;
  if (LittleEndian32(head, 6) != 0) return false;  // the two reserved words
  switch (LittleEndian32(head, 14)) {               // size of the DIB header that follows
    case 12: case 40: case 52: case 56: case 64: case 108: case 124:
      return true;
    default:
      return false;
  }
}

bool IsIco(std::string_view head) {
  // Reserved 0, type 1 (icon), at least one image.
  return head.size() >= 6 && StartsWith(head, std::string_view("\0\0\1\0", 4)) &&
         (head[4] != '\0' || head[5] != '\0');
}

}  // namespace

std::string_view PictureMediaType(std::string_view head) {
  if (StartsWith(head, "\x89PNG\r\n\x1a\n")) return "image/png";
  if (StartsWith(head, "\xFF\xD8\xFF")) return "image/jpeg";
  if (StartsWith(head, "GIF87a") || StartsWith(head, "GIF89a")) return "image/gif";
  if (head.size() >= 12 && StartsWith(head, "RIFF") && head.substr(8, 4) == "WEBP") return "image/webp";
  if (StartsWith(head, std::string_view("II*\0", 4)) || StartsWith(head, std::string_view("MM\0*", 4))) {
    return "image/tiff";
  }
  if (IsBmp(head)) return "image/bmp";
  if (IsIco(head)) return "image/x-icon";
  return {};
}

bool HasPictureSignature(std::string_view head) { return !PictureMediaType(head).empty(); }

}  // namespace corvane
