// BMP sizes and the file header.
#include "client/paste/bmp_layout.h"

namespace corvane {
namespace {

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

uint64_t RowBytes64(const BmpLayout& l) { return (uint64_t{l.width} * l.bitCount + 31) / 32 * 4; }

uint64_t BlockBytes64(const BmpLayout& l) {
  return uint64_t{kBmpInfoHeaderBytes} + l.ColourTableBytes() + RowBytes64(l) * l.height;
}

}  // namespace

uint16_t BmpBitCountForDepth(int depth) {
  if (depth <= 1) return 1;
  if (depth <= 4) return 4;
  if (depth <= 8) return 8;
  return 24;
}

uint32_t BmpLayout::RowBytes() const { return static_cast<uint32_t>(RowBytes64(*this)); }
uint32_t BmpLayout::ImageBytes() const { return static_cast<uint32_t>(RowBytes64(*this) * height); }
uint32_t BmpLayout::ColourTableEntries() const { return bitCount <= 8 ? 1u << bitCount : 0; }
uint32_t BmpLayout::ColourTableBytes() const { return ColourTableEntries() * 4; }
uint32_t BmpLayout::PixelOffset() const {
  return kBmpFileHeaderBytes + kBmpInfoHeaderBytes + ColourTableBytes();
}
uint32_t BmpLayout::BlockBytes() const { return static_cast<uint32_t>(BlockBytes64(*this)); }
uint32_t BmpLayout::FileBytes() const { return kBmpFileHeaderBytes + BlockBytes(); }

bool BmpLayout::Fits() const {
  // Room for the file header too, and below 2 GiB so the signed width/height stay positive.
  return width <= INT32_MAX && height <= INT32_MAX &&
         BlockBytes64(*this) + kBmpFileHeaderBytes <= INT32_MAX;
}

std::string BuildBmpFileHeader(const BmpLayout& layout) {
  std::string header = "BM";
  PutLittleEndian(header, layout.FileBytes(), 4);
  PutLittleEndian(header, 0, 4);
  PutLittleEndian(header, layout.PixelOffset(), 4);
  return header;
}

std::string BuildImageParagraph(std::string_view bmpBase64, std::string_view mediaType) {
  constexpr std::string_view kOpen = "<p><img src = \"data:";
  constexpr std::string_view kBase64 = ";base64,";
  constexpr std::string_view kClose = "\"> </img></p>";
  std::string paragraph;
  paragraph.reserve(kOpen.size() + mediaType.size() + kBase64.size() + bmpBase64.size() + kClose.size());
  paragraph.append(kOpen.data(), kOpen.size());
  paragraph.append(mediaType.data(), mediaType.size());
  paragraph.append(kBase64.data(), kBase64.size());
  paragraph.append(bmpBase64.data(), bmpBase64.size());
  paragraph.append(kClose.data(), kClose.size());
  return paragraph;
}

}  // namespace corvane
