// Recognises picture files by their first bytes, so that only pictures are inlined into a page.
#pragma once

#include <cstddef>
#include <string_view>

namespace corvane {

// Bytes needed to recognise every format below.
constexpr size_t kPictureSignatureBytes = 32;

// True when `head` starts like a PNG, JPEG, GIF, BMP, WebP, TIFF or ICO file.
bool HasPictureSignature(std::string_view head);

// The media type of the picture `head` starts ("image/png", "image/jpeg", "image/gif",
// "image/webp", "image/tiff", "image/bmp", "image/x-icon"); empty for anything else.
std::string_view PictureMediaType(std::string_view head);

}  // namespace corvane
