// The pieces of the Linux paste that need no clipboard: "text/html" bytes as UTF-8, copied
// files as HTML, and the conversion over contents read ahead (a picture passed through as is).
#include <gtest/gtest.h>

#include "client/paste/base64.h"
#include "client/paste/bmp_layout.h"
#include "client/paste/clipboard_contents.h"
#include "client/paste/clipboard_html.h"
#include "client/paste/copied_pictures.h"
#include "client/paste/html_utf8.h"
#include "client/paste/local_picture.h"
#include "client/paste/picture_signature.h"
#include "client/paste/tests/test_files.h"

namespace corvane {
namespace {

std::string Raw(const char* bytes, size_t size) { return std::string(bytes, size); }

TEST(HtmlAsUtf8, Utf16WithAMarkBecomesUtf8AndPaddingGoes) {
  EXPECT_EQ(HtmlAsUtf8(Raw("<b>x</b>\0\0", 10)), "<b>x</b>");  // UTF-8 stays, only trailing NULs go
  // "<p>老师😀</p>" (a surrogate pair), then a NUL character as padding.
  const std::string utf16 = Raw("\xFF\xFE<\0p\0>\0\x01\x80\x08\x5E\x3D\xD8\x00\xDE<\0/\0p\0>\0\0\0", 26);
  EXPECT_EQ(HtmlAsUtf8(utf16), "<p>老师\xF0\x9F\x98\x80</p>");
  EXPECT_EQ(HtmlAsUtf8(Raw("\xFF\xFE", 2)), "");
  EXPECT_EQ(HtmlAsUtf8(Raw("\xFF\xFEx\0\x3D\xD8", 6)), "") << "a lone high surrogate";
  EXPECT_EQ(HtmlAsUtf8(Raw("\xFF\xFEx\0\x00\xDE", 6)), "") << "a lone low surrogate";
  EXPECT_EQ(HtmlAsUtf8(Raw("\xFF\xFEx\0y", 5)), "") << "half a unit at the end";
}

TEST(CopiedPicturesHtml, OnlyFileLinesOfPicturesInTheirOrder) {
  std::vector<std::string> asked;
  auto probe = [&](const std::string& path) {
    asked.push_back(path);
    return path.find(".png") != std::string::npos;
  };
  EXPECT_EQ(CopiedPicturesHtml("copy\nfile:///a/1.png\r\nfile:///a/t.txt\n# note\nhttp://h/2.png\n"
                               "file:///a/q\"x.png\nfile:///b/2.png",
                               probe),
            "<p><img src=\"file:///a/1.png\"></p><p><img src=\"file:///b/2.png\"></p>");
  EXPECT_EQ(asked, (std::vector<std::string>{"a/1.png", "a/t.txt", "b/2.png"})) << "a quote is never probed";
  EXPECT_EQ(CopiedPicturesHtml("cut\nfile:///a/t.txt", probe), "");
}

TEST(ContentsSession, APictureTravelsAsItsOwnBytesAndTypeAndHtmlWithNothingToDoStays) {
  const std::string png = testing::Bytes(testing::kPixelPng, sizeof(testing::kPixelPng));
  const std::string jpeg = testing::Bytes(testing::kPixelJpeg, sizeof(testing::kPixelJpeg));
  EXPECT_EQ(PictureMediaType(png), "image/png");
  EXPECT_EQ(PictureMediaType(jpeg), "image/jpeg");
  EXPECT_TRUE(IsInlinablePicture(png, "image/png"));
  EXPECT_FALSE(IsInlinablePicture(png, "image/jpeg")) << "bytes of another format";
  EXPECT_FALSE(IsInlinablePicture("<html>", "image/png"));
  EXPECT_FALSE(IsInlinablePicture(png, ""));

  ClipboardContents contents;
  contents.html = "<p>kept</p>";
  contents.text = "kept";
  CContentsClipboardSession unchanged(contents);
  RunPasteConversion(unchanged);
  EXPECT_FALSE(unchanged.Rewritten()) << "the fragment read is no rewrite";

  contents.picture = jpeg;
  contents.pictureType = "image/jpeg";
  CContentsClipboardSession withPicture(contents);
  RunPasteConversion(withPicture);
  ASSERT_TRUE(withPicture.Rewritten());
  EXPECT_EQ(*withPicture.Rewritten(), BuildImageParagraph(Base64Encode(jpeg.data(), jpeg.size()), "image/jpeg"));
}

}  // namespace
}  // namespace corvane
