// BMP layout: bit counts by display depth, padded rows, colour tables for palette depths, the
// file header's fields, and the image paragraph.
#include "client/paste/bmp_layout.h"

#include <gtest/gtest.h>

namespace corvane {
namespace {

uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t{static_cast<unsigned char>(s[at + i])} << (8 * i);
  return v;
}

TEST(BmpLayout, BitCountFollowsTheDisplayDepth) {
  EXPECT_EQ(BmpBitCountForDepth(0), 1);
  EXPECT_EQ(BmpBitCountForDepth(1), 1);
  EXPECT_EQ(BmpBitCountForDepth(2), 4);
  EXPECT_EQ(BmpBitCountForDepth(4), 4);
  EXPECT_EQ(BmpBitCountForDepth(8), 8);
  EXPECT_EQ(BmpBitCountForDepth(16), 24);
  EXPECT_EQ(BmpBitCountForDepth(24), 24);
  EXPECT_EQ(BmpBitCountForDepth(32), 24);
}

TEST(BmpLayout, TrueColourHasNoTableAndPaddedRows) {
  const BmpLayout one{1, 1, 24};
  EXPECT_EQ(one.RowBytes(), 4u);
  EXPECT_EQ(one.FileBytes(), 58u);
  EXPECT_EQ(one.PixelOffset(), 54u);
  EXPECT_EQ(one.ColourTableEntries(), 0u);
  const BmpLayout wide{5, 3, 24};
  EXPECT_EQ(wide.RowBytes(), 16u);  // 15 bytes padded to 16
  EXPECT_EQ(wide.ImageBytes(), 48u);
  EXPECT_EQ(wide.BlockBytes(), 88u);
}

TEST(BmpLayout, PaletteDepthsReserveTheirColourTable) {
  const BmpLayout mono{9, 2, 1};
  EXPECT_EQ(mono.RowBytes(), 4u);
  EXPECT_EQ(mono.ColourTableBytes(), 8u);
  EXPECT_EQ(mono.PixelOffset(), 62u);
  EXPECT_EQ(mono.FileBytes(), 62u + 8u);
  const BmpLayout sixteen{3, 1, 4};
  EXPECT_EQ(sixteen.ColourTableEntries(), 16u);
  EXPECT_EQ(sixteen.PixelOffset(), 54u + 64u);
  const BmpLayout palette{2, 2, 8};
  EXPECT_EQ(palette.ColourTableBytes(), 1024u);
  EXPECT_EQ(palette.FileBytes(), 54u + 1024u + 8u);
}

TEST(BmpLayout, FileHeaderFields) {
  const std::string header = BuildBmpFileHeader(BmpLayout{2, 2, 8});
  ASSERT_EQ(header.size(), 14u);
  EXPECT_EQ(header.substr(0, 2), "BM");
  EXPECT_EQ(Le32(header, 2), 54u + 1024u + 8u);
  EXPECT_EQ(Le32(header, 6), 0u);
  EXPECT_EQ(Le32(header, 10), 54u + 1024u);
}

TEST(BmpLayout, OversizedBitmapsDoNotFit) {
  EXPECT_TRUE((BmpLayout{1000, 1000, 24}.Fits()));
  EXPECT_FALSE((BmpLayout{65536, 65536, 24}.Fits()));
  EXPECT_FALSE((BmpLayout{0x80000000u, 1, 1}.Fits()));
}

TEST(ImageParagraph, IsByteForByte) {
  EXPECT_EQ(BuildImageParagraph("Qk0="), "<p><img src = \"data:image/bmp;base64,Qk0=\"> </img></p>");
  EXPECT_EQ(BuildImageParagraph("iVBO", "image/png"), "<p><img src = \"data:image/png;base64,iVBO\"> </img></p>");
}

}  // namespace
}  // namespace corvane
