// Archive reading against the archives the build packs: deflated and stored entries, damaged
// data, truncated and foreign files, and name lookups.
#include "skin/zip_archive.h"

#include <gtest/gtest.h>

#include "skin/tests/test_skin.h"
#include "base/utf8.h"

namespace corvane {
namespace {

using test::ReadBytes;

constexpr const char* kLayouts[] = {"main_tool_bar.xml", "tool_bar_menu.xml", "setting_dlg.xml",
                                    "close_prompt_dlg.xml", "update_prompt_dlg.xml", "about_dlg.xml",
                                    "uninstall_dlg.xml"};

TEST(ZipArchive, DeflatedAndStoredArchivesGiveTheSourceBytes) {
  CZipArchive deflated, stored;
  ASSERT_TRUE(deflated.Open(ReadBytes(CORVANE_TEST_SKIN_ZIP)));
  ASSERT_TRUE(stored.Open(ReadBytes(CORVANE_TEST_SKIN_STORED_ZIP)));
  EXPECT_EQ(deflated.EntryCount(), stored.EntryCount());
  EXPECT_GT(deflated.EntryCount(), 7u);

  const std::string source = test::SourceFile("resources/skin/layouts/uninstall_dlg.xml");
  EXPECT_EQ(deflated.Read("uninstall_dlg.xml").value_or(""), source);
  EXPECT_EQ(stored.Read("uninstall_dlg.xml").value_or(""), source);

  for (const char* layout : kLayouts) EXPECT_TRUE(deflated.Contains(layout)) << layout;
  deflated.ForEachName([&](const std::string& name) {
    auto a = deflated.Read(name);
    auto b = stored.Read(name);
    ASSERT_TRUE(a.has_value()) << name;
    ASSERT_TRUE(b.has_value()) << name;
    EXPECT_EQ(*a, *b) << name;
  });
}

TEST(ZipArchive, LooksUpWithBackslashesAndAnyAsciiCase) {
  CZipArchive zip;
  ASSERT_TRUE(zip.Open(ReadBytes(CORVANE_TEST_SKIN_ZIP)));
  EXPECT_TRUE(zip.Contains("Setting_Dlg.XML"));
  EXPECT_TRUE(zip.Contains("\\setting_dlg.xml"));
  EXPECT_FALSE(zip.Contains("setting_dlg.xm"));
  EXPECT_FALSE(zip.Read("no_such.xml").has_value());
}

// Offset of an entry's data in the stored archive (its bytes appear verbatim there).
size_t DataOffset(const std::string& archive, const std::string& content) {
  const size_t at = archive.find(content);
  EXPECT_NE(at, std::string::npos);
  return at;
}

TEST(ZipArchive, CorruptDataFailsItsCrcAndSparesTheOtherEntries) {
  std::string bytes = ReadBytes(CORVANE_TEST_SKIN_STORED_ZIP);
  const std::string layout = test::SourceFile("resources/skin/layouts/setting_dlg.xml");
  bytes[DataOffset(bytes, layout) + layout.size() / 2] ^= 0x20;
  CZipArchive zip;
  ASSERT_TRUE(zip.Open(bytes));
  EXPECT_FALSE(zip.Read("setting_dlg.xml").has_value());
  EXPECT_TRUE(zip.Read("uninstall_dlg.xml").has_value());
}

TEST(ZipArchive, CorruptDeflateStreamIsRefused) {
  std::string bytes = ReadBytes(CORVANE_TEST_SKIN_ZIP);
  CZipArchive intact;
  ASSERT_TRUE(intact.Open(bytes));
  // Spoil the middle of the archive: whichever entries lie there must fail, none may crash,
  // and what is read must still be right.
  for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 64; ++i) bytes[i] = static_cast<char>(0xFF);
  CZipArchive zip;
  ASSERT_TRUE(zip.Open(bytes));
  size_t failed = 0;
  zip.ForEachName([&](const std::string& name) {
    auto read = zip.Read(name);
    if (!read) ++failed;
    else EXPECT_EQ(*read, *intact.Read(name)) << name;
  });
  EXPECT_GE(failed, 1u);
}

TEST(ZipArchive, TruncatedForeignAndEmptyFilesDoNotOpen) {
  const std::string bytes = ReadBytes(CORVANE_TEST_SKIN_ZIP);
  for (size_t keep : {bytes.size() - 1, bytes.size() / 2, size_t{30}, size_t{0}}) {
    CZipArchive zip;
    EXPECT_FALSE(zip.Open(bytes.substr(0, keep))) << keep;
    EXPECT_FALSE(zip.IsOpen());
    EXPECT_FALSE(zip.Read("uninstall_dlg.xml").has_value());
  }
  CZipArchive foreign;
  EXPECT_FALSE(foreign.Open(test::SourceFile("resources/skin/layouts/setting_dlg.xml")));
}

TEST(ZipArchive, CutDataBehindAnIntactDirectoryIsRefused) {
  // Directory claims more data than the archive holds: sizes are checked before reading.
  std::string bytes = ReadBytes(CORVANE_TEST_SKIN_STORED_ZIP);
  CZipArchive zip;
  ASSERT_TRUE(zip.Open(bytes));
  const size_t central = bytes.find("PK\x01\x02");
  ASSERT_NE(central, std::string::npos);
  bytes[central + 20] = '\xFF';  // compressed size of the first entry
  bytes[central + 21] = '\xFF';
  bytes[central + 22] = '\xFF';
  CZipArchive damaged;
  ASSERT_TRUE(damaged.Open(bytes));
  std::string first;
  damaged.ForEachName([&](const std::string& name) {
    if (first.empty()) first = name;
  });
  size_t unreadable = 0;
  damaged.ForEachName([&](const std::string& name) { unreadable += damaged.Read(name).has_value() ? 0 : 1; });
  EXPECT_EQ(unreadable, 1u);
}

TEST(ZipArchive, EncryptedEntriesAreNotRead) {
  std::string bytes = ReadBytes(CORVANE_TEST_SKIN_STORED_ZIP);
  size_t at = 0;
  while ((at = bytes.find("PK\x01\x02", at)) != std::string::npos) {
    bytes[at + 8] |= 1;  // general purpose flag: encrypted
    at += 4;
  }
  CZipArchive zip;
  ASSERT_TRUE(zip.Open(bytes));
  EXPECT_FALSE(zip.Read("uninstall_dlg.xml").has_value());
}

TEST(Utf8, RoundTripsChineseAndReplacesBrokenSequences) {
  const std::wstring text = L"\x7ACB\x5373\x5378\x8F7D Drovessa";  // 立即卸载
  EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
  EXPECT_EQ(WideToUtf8(L"\x8BBE"), "\xE8\xAE\xBE");
  EXPECT_EQ(Utf8ToWide("a\xE8\xAE"), L"a\xFFFD");
  EXPECT_EQ(Utf8ToWide("\xC0\xAF"), L"\xFFFD");  // overlong '/'
}

}  // namespace
}  // namespace corvane
