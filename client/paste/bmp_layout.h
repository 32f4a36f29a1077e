// The layout of the BMP file that a clipboard bitmap is saved as, and the paragraph that shows
// it inline: sizes, offsets and the 14-byte file header, independent of how the rows are got.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace corvane {

constexpr uint32_t kBmpFileHeaderBytes = 14;
constexpr uint32_t kBmpInfoHeaderBytes = 40;

// Bits per pixel for a display of `depth` bits: 1, 4 or 8 for palette displays, else 24.
uint16_t BmpBitCountForDepth(int depth);

struct BmpLayout {
  uint32_t width = 0;
  uint32_t height = 0;
  uint16_t bitCount = 24;

  uint32_t RowBytes() const;           // each row padded to a multiple of 4 bytes
  uint32_t ImageBytes() const;         // all rows
  uint32_t ColourTableEntries() const; // 2^bitCount for 1, 4 and 8 bits, else none
  uint32_t ColourTableBytes() const;
  uint32_t PixelOffset() const;        // bfOffBits: both headers and the colour table
  uint32_t FileBytes() const;          // bfSize
  // Bytes after the file header: info header, colour table and rows (the memory block).
  uint32_t BlockBytes() const;
  // False when the sizes do not fit the 32-bit fields of the format.
  bool Fits() const;
};

// bfType "BM", bfSize, two reserved zeros and bfOffBits, little-endian.
std::string BuildBmpFileHeader(const BmpLayout& layout);

// The paragraph that becomes the fragment when the clipboard holds a bitmap.
std::string BuildImageParagraph(std::string_view bmpBase64, std::string_view mediaType = "image/bmp");

}  // namespace corvane
