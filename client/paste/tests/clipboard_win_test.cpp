// The paste conversion on the real clipboard: HTML only, a bitmap only, both, plain text only,
// other formats surviving, local picture sources (in folders with Chinese letters and spaces
// too), a refused write, a bitmap file not written whole, a clipboard held elsewhere, and the
// plain text format standing in when "HTML Format" cannot be registered.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <thread>

#include "base/ansi.h"
#include "client/paste/base64.h"
#include "client/paste/bitmap_file_win.h"
#include "client/paste/clipboard_html.h"
#include "client/paste/clipboard_session_win.h"
#include "client/paste/convert_clipboard.h"
#include "client/paste/html_entry.h"
#include "client/paste/recorded_clipboard.h"
#include "client/paste/tests/clipboard_fixture_win.h"
#include "client/paste/tests/html_samples.h"
#include "client/paste/tests/test_files.h"

namespace corvane {
namespace {

using testing::FileUrl;
using testing::MakeHtmlEntry;

constexpr char kParagraphStart[] = "<p><img src = \"data:image/bmp;base64,";
constexpr char kParagraphEnd[] = "\"> </img></p>";

std::string FragmentOf(const std::string& entry) {
  CRecordedClipboard recorded;
  recorded.SetHtml(entry);
  CClipboardHtml html(recorded);
  return html.ReadHtml() ? html.Fragment() : "<unreadable>";
}

// The "img" temporary files the bitmap step leaves behind.
std::set<std::wstring> TemporaryImageFiles() {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  std::set<std::wstring> names;
  WIN32_FIND_DATAW found;
  UniqueFindHandle find(FindFirstFileW((std::wstring(folder) + L"img*.tmp").c_str(), &found));
  if (!find) return names;
  do names.insert(std::wstring(folder) + found.cFileName);
  while (FindNextFileW(find.Get(), &found));
  return names;
}

class PasteClipboardTest : public testing::ClipboardFixture {
 protected:
  void SetUp() override {
    ClipboardFixture::SetUp();
    m_tempFilesBefore = TemporaryImageFiles();
  }
  void TearDown() override {
    for (const std::wstring& name : NewTemporaryFiles()) DeleteFileW(name.c_str());
    ClipboardFixture::TearDown();
  }
  std::vector<std::wstring> NewTemporaryFiles() const {
    std::vector<std::wstring> added;
    for (const std::wstring& name : TemporaryImageFiles()) {
      if (!m_tempFilesBefore.count(name)) added.push_back(name);
    }
    return added;
  }
  // The BMP inside the image paragraph that is the fragment of the clipboard's HTML entry.
  std::string BmpOfWrittenParagraph() {
    const std::string fragment = FragmentOf(Read(m_htmlFormat).value_or(""));
    const size_t start = sizeof(kParagraphStart) - 1;
    if (fragment.compare(0, start, kParagraphStart) != 0) return "<no paragraph: " + fragment.substr(0, 80) + ">";
    const size_t end = fragment.size() - (sizeof(kParagraphEnd) - 1);
    if (fragment.compare(end, std::string::npos, kParagraphEnd) != 0) return "<bad paragraph end>";
    return testing::DecodeBase64(fragment.substr(start, end - start));
  }
  std::set<std::wstring> m_tempFilesBefore;
};

TEST_F(PasteClipboardTest, HtmlOnlyIsWrittenBackWithANewHeader) {
  Put({{m_htmlFormat, MakeHtmlEntry("<b>hello</b> \xE4\xBD\xA0\xE5\xA5\xBD") + std::string(1, '\0')}});
  ConvertClipboardForPaste();
  const std::string entry = Read(m_htmlFormat).value_or("");
  EXPECT_EQ(entry.substr(0, 23), "Version:1.0\r\nStartHTML:");
  EXPECT_EQ(entry.substr(105), "<html><body><b>hello</b> \xE4\xBD\xA0\xE5\xA5\xBD</body></html>");
  EXPECT_EQ(FragmentOf(entry), "<b>hello</b> \xE4\xBD\xA0\xE5\xA5\xBD");
  // The block holds the entry and its NUL.
  EXPECT_EQ(Read(m_htmlFormat, false).value_or("").substr(0, entry.size() + 1), entry + std::string(1, '\0'));
  EXPECT_TRUE(NewTemporaryFiles().empty());
}

TEST_F(PasteClipboardTest, BitmapOnlyBecomesAnInlineBmpParagraph) {
  UniqueGdiObject bitmap(testing::MakeScreenBitmap(3, 2, RGB(255, 0, 0)));
  Put({}, static_cast<HBITMAP>(bitmap.Get()));
  ConvertClipboardForPaste();
  const std::string bmp = BmpOfWrittenParagraph();
  ASSERT_GE(bmp.size(), 54u) << bmp;
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(testing::Le32(bmp, 2), bmp.size());
  EXPECT_EQ(testing::Le32(bmp, 18), 3u);
  EXPECT_EQ(testing::Le32(bmp, 22), 2u);
  // The bitmap itself is still there, and one temporary file was left behind.
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
  EXPECT_EQ(NewTemporaryFiles().size(), 1u);
}

TEST_F(PasteClipboardTest, HtmlAndBitmapTheLastWriteHoldsTheImageAlone) {
  UniqueGdiObject bitmap(testing::MakeScreenBitmap(1, 1, RGB(0, 0, 255)));
  Put({{m_htmlFormat, MakeHtmlEntry("<p>words that the picture replaces</p>")}}, static_cast<HBITMAP>(bitmap.Get()));
  ConvertClipboardForPaste();
  const std::string fragment = FragmentOf(Read(m_htmlFormat).value_or(""));
  EXPECT_EQ(fragment.find("words"), std::string::npos);
  EXPECT_EQ(fragment.compare(0, sizeof(kParagraphStart) - 1, kParagraphStart), 0) << fragment;
  EXPECT_EQ(BmpOfWrittenParagraph().substr(0, 2), "BM");
}

TEST_F(PasteClipboardTest, PlainTextOnlyChangesNothing) {
  const std::wstring text = L"just text";
  Put({{CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2)}});
  const std::vector<UINT> before = Formats();
  ConvertClipboardForPaste();
  EXPECT_EQ(Formats(), before);
  EXPECT_FALSE(Read(m_htmlFormat).has_value());
  const std::string after = Read(CF_UNICODETEXT, false).value_or("");
  ASSERT_GE(after.size(), (text.size() + 1) * 2);
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(after.data())), text);
}

TEST_F(PasteClipboardTest, OtherFormatsSurviveTheConversion) {
  const UINT custom = RegisterClipboardFormatW(L"Corvane Test Format");
  const std::string customBytes("\x01\x02\0\x03 private", 12);
  const std::wstring text = L"the text version";
  Put({{m_htmlFormat, MakeHtmlEntry("<i>html version</i>")},
       {CF_UNICODETEXT, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2)},
       {custom, customBytes}});
  ConvertClipboardForPaste();
  EXPECT_EQ(FragmentOf(Read(m_htmlFormat).value_or("")), "<i>html version</i>");
  EXPECT_EQ(Read(custom, false).value_or("").substr(0, customBytes.size()), customBytes);
  const std::string unicode = Read(CF_UNICODETEXT, false).value_or("");
  EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(unicode.c_str())), text);
  const std::vector<UINT> formats = Formats();
  for (UINT f : {m_htmlFormat, custom, static_cast<UINT>(CF_UNICODETEXT)}) {
    EXPECT_NE(std::find(formats.begin(), formats.end(), f), formats.end()) << f;
  }
}

TEST_F(PasteClipboardTest, LocalPictureSourcesBecomeDataUris) {
  testing::ScratchFolder folder;
  const std::string png = testing::Bytes(testing::kPixelPng, sizeof(testing::kPixelPng));
  const std::string jpeg = testing::Bytes(testing::kPixelJpeg, sizeof(testing::kPixelJpeg));
  const std::string pngPath = folder.Write("a.png", png);
  const std::string jpegPath = folder.Write("b.jpg", jpeg);
  const std::string textPath = folder.Write("c.txt", "not for the page\r\n");
  std::string backslashed = jpegPath;
  std::replace(backslashed.begin(), backslashed.end(), '/', '\\');
  const std::string fragment = "<img src=\"" + FileUrl(pngPath) + "\"><img src=\"" + FileUrl(jpegPath) +
                               "\"><img src=\"" + FileUrl(textPath) + "\"><img src=\"" +
                               FileUrl(folder.File("missing.png")) + "\"><img src=\"file:///" + backslashed + "\">";
  Put({{m_htmlFormat, MakeHtmlEntry(fragment)}});
  ConvertClipboardForPaste();
  const std::string empty = "<img src=\"data:image/png;base64,\">";
  const std::string jpegUri = "<img src=\"data:image/png;base64," + Base64Encode(jpeg.data(), jpeg.size()) + "\">";
  EXPECT_EQ(FragmentOf(Read(m_htmlFormat).value_or("")),
            "<img src=\"data:image/png;base64," + Base64Encode(png.data(), png.size()) + "\">" + jpegUri + empty +
                empty + jpegUri);
}

// A teacher whose account has a Chinese name: the word processor's pictures sit in a folder
// with Chinese letters, named in UTF-8 whatever the active code page; spaces come escaped or not.
TEST_F(PasteClipboardTest, PicturesInFoldersWithChineseLettersOrSpacesAreInlined) {
  testing::ScratchFolder folder;
  const std::string png = testing::Bytes(testing::kPixelPng, sizeof(testing::kPixelPng));
  const std::string jpeg = testing::Bytes(testing::kPixelJpeg, sizeof(testing::kPixelJpeg));
  const std::string chinese = folder.WriteUtf8Named(
      "\xE5\xBC\xA0\xE8\x80\x81\xE5\xB8\x88/AppData/msohtmlclip1/01/clip_image001.png", png);
  const std::string spaced = folder.WriteUtf8Named("Local Settings/clip image002.jpg", jpeg);
  ASSERT_FALSE(chinese.empty());
  ASSERT_FALSE(spaced.empty());
  Put({{m_htmlFormat, MakeHtmlEntry("<img src=\"" + FileUrl(chinese) + "\"><img src=\"" +
                                    FileUrl(testing::EscapedUrlPath(chinese)) + "\"><img src=\"" + FileUrl(spaced) +
                                    "\"><img src=\"" + FileUrl(testing::EscapedUrlPath(spaced)) + "\">")}});
  ConvertClipboardForPaste();
  const std::string pngUri = "<img src=\"data:image/png;base64," + Base64Encode(png.data(), png.size()) + "\">";
  const std::string jpegUri = "<img src=\"data:image/png;base64," + Base64Encode(jpeg.data(), jpeg.size()) + "\">";
  EXPECT_EQ(FragmentOf(Read(m_htmlFormat).value_or("")), pngUri + pngUri + jpegUri + jpegUri) << "code page " << GetACP();
}

// The clipboard takes data only while it is held: a write after it was let go is refused, and
// said so.
TEST_F(PasteClipboardTest, AWriteTheClipboardRefusesIsNoSuccess) {
  Put({{m_htmlFormat, MakeHtmlEntry("<b>before</b>")}});
  {
    CWinClipboardSession session;
    ASSERT_TRUE(session.IsOpen());
    const std::string header = BuildHtmlHeader(8);
    EXPECT_TRUE(session.WriteHtml(HtmlEntryParts{header, "<i>1</i>"}));
    CloseClipboard();  // let go underneath the session
    EXPECT_FALSE(session.WriteHtml(HtmlEntryParts{header, "<i>2</i>"}));
  }
  EXPECT_EQ(FragmentOf(Read(m_htmlFormat).value_or("")), "<i>1</i>");
}

// A bitmap whose file is not written whole (a disk that fills up half way) is not pasted: the
// entry stays as the HTML step wrote it, and no cut-off file is left behind.
TEST_F(PasteClipboardTest, ABitmapWhoseFileIsNotWrittenWholeLeavesTheHtmlStepsEntry) {
  UniqueGdiObject bitmap(testing::MakeScreenBitmap(3, 2, RGB(0, 255, 0)));
  Put({{m_htmlFormat, MakeHtmlEntry("<p>words that stay</p>")}}, static_cast<HBITMAP>(bitmap.Get()));
  const auto halfWritten = [](const std::wstring& path, HBITMAP clipboardBitmap) {
    SaveBitmapFile(path, clipboardBitmap);
    UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    SetFilePointer(file.Get(), 30, nullptr, FILE_BEGIN);
    SetEndOfFile(file.Get());
    return false;
  };
  {
    CWinClipboardSession session(kHtmlFormatName, halfWritten);
    RunPasteConversion(session);
  }
  EXPECT_EQ(FragmentOf(Read(m_htmlFormat).value_or("")), "<p>words that stay</p>");
  EXPECT_TRUE(NewTemporaryFiles().empty());
  EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(PasteClipboardTest, AClipboardHeldElsewhereIsLeftAlone) {
  const std::string entry = MakeHtmlEntry("<b>kept</b>");
  Put({{m_htmlFormat, entry}});
  ASSERT_TRUE(Open());  // this thread holds it; the conversion runs on another
  std::thread([] { ConvertClipboardForPaste(); }).join();
  CloseClipboard();
  EXPECT_EQ(Read(m_htmlFormat).value_or(""), entry);
}

TEST_F(PasteClipboardTest, PlainTextStandsInWhenTheFormatCannotBeRegistered) {
  ASSERT_EQ(RegisterClipboardFormatW(L""), 0u) << "an empty name must be refused";
  const std::string entry = MakeHtmlEntry("<u>in CF_TEXT</u>");
  Put({{CF_TEXT, entry + std::string(1, '\0')}});
  {
    CWinClipboardSession session(L"");
    EXPECT_EQ(session.HtmlFormat(), static_cast<UINT>(CF_TEXT));
    EXPECT_TRUE(session.IsOpen());
    RunPasteConversion(session);
  }
  const std::string written = Read(CF_TEXT).value_or("");
  EXPECT_EQ(written.substr(0, 13), "Version:1.0\r\n");
  EXPECT_EQ(FragmentOf(written), "<u>in CF_TEXT</u>");
  EXPECT_FALSE(Read(m_htmlFormat).has_value());
}

}  // namespace
}  // namespace corvane
