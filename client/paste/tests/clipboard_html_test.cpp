// The paste conversion on recorded clipboards: local pictures inlined in place (escaped,
// non-ASCII and percent-sign names too), other files and missing ones as empty data URIs, the
// bitmap paragraph replacing the fragment, the steps and their writes in order.
#include "client/paste/clipboard_html.h"

#include <gtest/gtest.h>

#include "client/paste/base64.h"
#include "client/paste/html_entry.h"
#include "client/paste/recorded_clipboard.h"
#include "client/paste/tests/html_samples.h"
#include "client/paste/tests/test_files.h"

namespace corvane {
namespace {

using testing::Bytes;
using testing::FileUrl;
using testing::MakeHtmlEntry;

class ClipboardHtmlTest : public ::testing::Test {
 protected:
  std::string Png() const { return Bytes(testing::kPixelPng, sizeof(testing::kPixelPng)); }
  std::string Jpeg() const { return Bytes(testing::kPixelJpeg, sizeof(testing::kPixelJpeg)); }
  static std::string DataUri(const std::string& bytes) {
    return "src=\"data:image/png;base64," + Base64Encode(bytes.data(), bytes.size()) + "\"";
  }
  // The fragment after ReadHtml and ReplaceLocalImages of an entry around `fragment`.
  static std::string Rewrite(const std::string& fragment) {
    CRecordedClipboard clipboard;
    clipboard.SetHtml(MakeHtmlEntry(fragment));
    CClipboardHtml html(clipboard);
    EXPECT_TRUE(html.ReadHtml());
    EXPECT_TRUE(html.ReplaceLocalImages());
    return html.Fragment();
  }
  // The fragment of the entry on `clipboard`.
  static std::string WrittenFragment(CRecordedClipboard& clipboard) {
    CClipboardHtml reader(clipboard);
    EXPECT_TRUE(reader.ReadHtml());
    return reader.Fragment();
  }
  testing::ScratchFolder m_folder;
};

TEST_F(ClipboardHtmlTest, LocalPicturesAreInlinedInOrderAndTheTextAroundStays) {
  const std::string png = m_folder.Write("a.png", Png());
  const std::string jpeg = m_folder.Write("b.jpg", Jpeg());
  const std::string fragment = "<p>before</p><img src=\"" + FileUrl(png) + "\" width=\"1\">\r\n mid \r\n<img src=\"" +
                               FileUrl(jpeg) + "\"><p>after</p>";
  // The media type stays image/png whatever the picture is.
  EXPECT_EQ(Rewrite(fragment), "<p>before</p><img " + DataUri(Png()) + " width=\"1\">\r\n mid \r\n<img " +
                                   DataUri(Jpeg()) + "><p>after</p>");
}

TEST_F(ClipboardHtmlTest, FilesThatAreNoPicturesOrMissingGiveTheEmptyDataUri) {
  const std::string text = m_folder.Write("secret.txt", "user=teacher\r\npassword=hunter2\r\n");
  const std::string fake = m_folder.Write("fake.png", "<html>not a picture</html>");
  const std::string empty = "src=\"data:image/png;base64,\"";
  EXPECT_EQ(Rewrite("<img src=\"" + FileUrl(text) + "\">"), "<img " + empty + ">");
  EXPECT_EQ(Rewrite("<img src=\"" + FileUrl(fake) + "\">"), "<img " + empty + ">");
  EXPECT_EQ(Rewrite("<img src=\"" + FileUrl(m_folder.File("missing.png")) + "\">"), "<img " + empty + ">");
  EXPECT_EQ(Rewrite("<img src=\"file:///\">"), "<img " + empty + ">");
}

// Sources name their files as pages and word processors write them: escaped or not, the
// letters in UTF-8.
TEST_F(ClipboardHtmlTest, EscapedAndNonAsciiPathsNameTheirFiles) {
  const std::string chinese = m_folder.WriteUtf8Named("\xE5\xBC\xA0\xE8\x80\x81\xE5\xB8\x88/clip_image001.png", Png());
  const std::string spaced = m_folder.WriteUtf8Named("a folder/b c.jpg", Jpeg());
  ASSERT_FALSE(chinese.empty());
  ASSERT_FALSE(spaced.empty());
  for (const std::string& path : {chinese, testing::EscapedUrlPath(chinese)}) {
    EXPECT_EQ(Rewrite("<img src=\"" + FileUrl(path) + "\">"), "<img " + DataUri(Png()) + ">") << path;
  }
  for (const std::string& path : {spaced, testing::EscapedUrlPath(spaced)}) {
    EXPECT_EQ(Rewrite("<img src=\"" + FileUrl(path) + "\">"), "<img " + DataUri(Jpeg()) + ">") << path;
  }
  // A name that holds a percent sign itself is still found when its decoding names no file...
  const std::string literal = m_folder.Write("100%25.png", Png());
  EXPECT_EQ(Rewrite("<img src=\"" + FileUrl(literal) + "\">"), "<img " + DataUri(Png()) + ">");
  // ...and is passed over when it does.
  m_folder.Write("xA.png", Jpeg());
  EXPECT_EQ(Rewrite("<img src=\"" + FileUrl(m_folder.Write("x%41.png", Png())) + "\">"),
            "<img " + DataUri(Jpeg()) + ">");
  // An escaped NUL cuts no name short.
  const std::string cut = m_folder.Write("d.png", Png()) + "%00.txt";
  EXPECT_EQ(Rewrite("<img src=\"" + FileUrl(cut) + "\">"), "<img src=\"data:image/png;base64,\">");
}

TEST_F(ClipboardHtmlTest, OnlyTheExactFormIsRewritten) {
  const std::string url = FileUrl(m_folder.Write("a.png", Png()));
  for (const std::string& fragment :
       {"<img SRC=\"" + url + "\">", "<img src='" + url + "'>", "<img src = \"" + url + "\">",
        std::string("<img src=\"file://server/share/a.png\">"), "<img src=\"" + url + "\n\">",
        std::string("<p>plain text</p>")}) {
    EXPECT_EQ(Rewrite(fragment), fragment);
  }
  // The element does not matter.
  EXPECT_EQ(Rewrite("<script src=\"" + url + "\"></script>"), "<script " + DataUri(Png()) + "></script>");
}

TEST_F(ClipboardHtmlTest, HtmlOnlyIsRewrittenAndWrittenOnce) {
  const std::string url = FileUrl(m_folder.Write("a.png", Png()));
  CRecordedClipboard clipboard;
  clipboard.SetHtml(MakeHtmlEntry("<img src=\"" + url + "\">"));
  RunPasteConversion(clipboard);
  EXPECT_EQ(clipboard.WriteCount(), 1);
  EXPECT_EQ(clipboard.Html()->substr(0, 13), "Version:1.0\r\n");
  EXPECT_EQ(WrittenFragment(clipboard), "<img " + DataUri(Png()) + ">");
}

TEST_F(ClipboardHtmlTest, AFragmentWithoutLocalSourcesIsStillWrittenWithANewHeader) {
  CRecordedClipboard clipboard;
  clipboard.SetHtml(MakeHtmlEntry("<b>x</b>"));
  RunPasteConversion(clipboard);
  EXPECT_EQ(clipboard.WriteCount(), 1);
  EXPECT_EQ(*clipboard.Html(), BuildHtmlHeader(8) + "<html><body><b>x</b></body></html>");
}

TEST_F(ClipboardHtmlTest, BitmapOnlyBecomesTheImageParagraph) {
  const std::string bmp = m_folder.Write("clip.bmp", std::string("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0", 18));
  CRecordedClipboard clipboard;
  clipboard.SetBitmapFile(bmp);
  RunPasteConversion(clipboard);
  EXPECT_EQ(clipboard.WriteCount(), 1);
  EXPECT_EQ(WrittenFragment(clipboard),
            "<p><img src = \"data:image/bmp;base64,Qk06AAAAAAAAADYAAAAoAAAA\"> </img></p>");
}

TEST_F(ClipboardHtmlTest, BothTheLastWriteHoldsTheImageAlone) {
  const std::string bmp = m_folder.Write("clip.bmp", "BMxx");
  CRecordedClipboard clipboard;
  clipboard.SetHtml(MakeHtmlEntry("<p>text that goes</p>"));
  clipboard.SetBitmapFile(bmp);
  RunPasteConversion(clipboard);
  EXPECT_EQ(clipboard.WriteCount(), 2);
  EXPECT_EQ(WrittenFragment(clipboard), "<p><img src = \"data:image/bmp;base64,Qk14eA==\"> </img></p>");
}

TEST_F(ClipboardHtmlTest, NothingUsableWritesNothing) {
  CRecordedClipboard none;
  RunPasteConversion(none);
  EXPECT_EQ(none.WriteCount(), 0);
  EXPECT_FALSE(none.Html().has_value());

  // An unusable entry and an empty (unreadable) bitmap file: the entry stays as it was.
  CRecordedClipboard broken;
  broken.SetHtml("StartHTML:5\nEndHTML:1\n<p>x</p>");
  broken.SetBitmapFile(m_folder.Write("empty.bmp", ""));
  RunPasteConversion(broken);
  EXPECT_EQ(broken.WriteCount(), 0);
  EXPECT_EQ(*broken.Html(), "StartHTML:5\nEndHTML:1\n<p>x</p>");
}

}  // namespace
}  // namespace corvane
