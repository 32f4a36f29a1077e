// Only pictures are inlined: recognised by their first bytes, at most 64 MiB.
#include "client/paste/local_picture.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "client/paste/base64.h"
#include "client/paste/picture_signature.h"
#include "client/paste/tests/test_files.h"

namespace corvane {
namespace {

using testing::Bytes;
using testing::kPixelJpeg;
using testing::kPixelPng;

std::string Raw(const char* bytes, size_t size) { return std::string(bytes, size); }

TEST(PictureSignature, KnownFormatsAreRecognised) {
  EXPECT_TRUE(HasPictureSignature(Bytes(kPixelPng, sizeof(kPixelPng))));
  EXPECT_TRUE(HasPictureSignature(Bytes(kPixelJpeg, sizeof(kPixelJpeg))));
  EXPECT_TRUE(HasPictureSignature(Raw("GIF89a\x01\0\x01\0", 10)));
  EXPECT_TRUE(HasPictureSignature("GIF87a"));
  EXPECT_TRUE(HasPictureSignature(Raw("RIFF\x24\0\0\0WEBPVP8 ", 16)));
  EXPECT_TRUE(HasPictureSignature(Raw("II*\0\x08\0\0\0", 8)));
  EXPECT_TRUE(HasPictureSignature(Raw("MM\0*\0\0\0\x08", 8)));
  EXPECT_TRUE(HasPictureSignature(Raw("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18)));
  EXPECT_TRUE(HasPictureSignature(Raw("\0\0\1\0\1\0\x10\x10", 8)));
}

TEST(PictureSignature, OtherFilesAreNot) {
  EXPECT_FALSE(HasPictureSignature(""));
  EXPECT_FALSE(HasPictureSignature("<html><body>secret</body></html>"));
  EXPECT_FALSE(HasPictureSignature("[boot loader]\r\ntimeout=30\r\n"));
  EXPECT_FALSE(HasPictureSignature("BMW service report, 2024"));     // "BM" but no BMP header
  EXPECT_FALSE(HasPictureSignature(Raw("RIFF\x24\0\0\0WAVEfmt ", 16)));  // a RIFF that is no WebP
  EXPECT_FALSE(HasPictureSignature(Raw("\0\0\1\0\0\0", 6)));          // icon file of no images
  EXPECT_FALSE(HasPictureSignature("\x89PNG"));                        // cut short
  EXPECT_FALSE(HasPictureSignature("\xFF\xD8"));
}

TEST(LocalPicture, PicturesAreEncodedOtherFilesGiveNothing) {
  testing::ScratchFolder folder;
  const std::string png = Bytes(kPixelPng, sizeof(kPixelPng));
  const std::string jpeg = Bytes(kPixelJpeg, sizeof(kPixelJpeg));
  EXPECT_EQ(EncodeLocalPictureBase64(folder.Write("a.png", png)), Base64Encode(png.data(), png.size()));
  EXPECT_EQ(EncodeLocalPictureBase64(folder.Write("b.jpg", jpeg)), Base64Encode(jpeg.data(), jpeg.size()));
  EXPECT_EQ(ProbeLocalPictureBase64Length(folder.File("a.png")), Base64Length(png.size()));
  EXPECT_EQ(EncodeLocalPictureBase64(folder.Write("notes.txt", "password=hunter2\r\n")), "");
  EXPECT_EQ(ProbeLocalPictureBase64Length(folder.File("notes.txt")), 0u);
  EXPECT_EQ(EncodeLocalPictureBase64(folder.Write("picture.png", "not really a png")), "");  // names do not count
  EXPECT_EQ(EncodeLocalPictureBase64(folder.File("missing.png")), "");
  // Formats whose signature runs past the first 16 bytes are recognised in files too.
  const std::string bmp = Raw("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\1\0\0\0", 22);
  EXPECT_EQ(EncodeLocalPictureBase64(folder.Write("c.bmp", bmp)), Base64Encode(bmp.data(), bmp.size()));
  EXPECT_EQ(ProbeLocalPictureBase64Length(folder.File("c.bmp")), Base64Length(bmp.size()));
  EXPECT_EQ(ProbeLocalPictureBase64Length(folder.File("missing.png")), 0u);
}

// A sparse file of `size` bytes that starts like a PNG.
std::string SparsePng(const testing::ScratchFolder& folder, const std::string& name, long size) {
  const std::string path = folder.File(name);
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return std::string();
  std::fwrite(kPixelPng, 1, sizeof(kPixelPng), file);
  std::fseek(file, size - 1, SEEK_SET);
  std::fputc(0, file);
  std::fclose(file);
  return path;
}

TEST(LocalPicture, AtMost64MiBAreInlined) {
  testing::ScratchFolder folder;
  const long limit = static_cast<long>(kMaxInlinedPictureBytes);
  EXPECT_EQ(ProbeLocalPictureBase64Length(SparsePng(folder, "limit.png", limit)), Base64Length(kMaxInlinedPictureBytes));
  const std::string over = SparsePng(folder, "over.png", limit + 1);
  EXPECT_EQ(ProbeLocalPictureBase64Length(over), 0u);
  EXPECT_EQ(EncodeLocalPictureBase64(over), "");
}

}  // namespace
}  // namespace corvane
