// BMP files from real GDI bitmaps: the 24-bit layout on a true-colour display, colour tables
// at palette depths, files that Windows itself loads back, and saves that fail: a file that
// cannot be created or written, rows that cannot be read.
#include "client/paste/bitmap_file_win.h"

#include <gtest/gtest.h>

#include "base/ansi.h"
#include "base/unique_handle_win.h"
#include "client/paste/local_file.h"
#include "client/paste/tests/clipboard_fixture_win.h"
#include "client/paste/tests/test_files.h"

namespace corvane {
namespace {

using testing::Le32;

std::string ReadBack(const std::string& path) {
  std::string bytes;
  ReadWholeFile(path, kNoFileSizeLimit, bytes);
  return bytes;
}

// Width and height of the file as LoadImageW reads it; (0, 0) when it cannot.
std::pair<LONG, LONG> LoadedSize(const std::string& path) {
  UniqueGdiObject loaded(LoadImageW(nullptr, AnsiToWide(path).c_str(), IMAGE_BITMAP, 0, 0,
                                    LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  BITMAP record = {};
  if (!loaded || !GetObjectW(loaded.Get(), sizeof(record), &record)) return {0, 0};
  return {record.bmWidth, record.bmHeight};
}

TEST(BitmapFile, OnePixelOnATrueColourDisplayIs58Bytes) {
  if (DisplayColourDepth() != 32) GTEST_SKIP() << "needs a 32-bit display, this one has " << DisplayColourDepth();
  testing::ScratchFolder folder;
  UniqueGdiObject bitmap(testing::MakeScreenBitmap(1, 1, RGB(0x10, 0x20, 0x30)));
  const std::string path = folder.File("one.bmp");
  ASSERT_TRUE(SaveBitmapFile(AnsiToWide(path), static_cast<HBITMAP>(bitmap.Get())));
  const std::string bmp = ReadBack(path);
  ASSERT_EQ(bmp.size(), 58u);
  EXPECT_EQ(bmp.substr(0, 2), "BM");
  EXPECT_EQ(Le32(bmp, 2), 58u);
  EXPECT_EQ(Le32(bmp, 10), 54u);
  EXPECT_EQ(Le32(bmp, 14), 40u);
  EXPECT_EQ(Le32(bmp, 18), 1u);
  EXPECT_EQ(Le32(bmp, 22), 1u);
  EXPECT_EQ(bmp[28], 24);
  EXPECT_EQ(Le32(bmp, 30), 0u);
  EXPECT_EQ(Le32(bmp, 46), 0u);
  EXPECT_EQ(bmp.substr(54, 3), "\x30\x20\x10");  // blue, green, red
  EXPECT_EQ(LoadedSize(path), std::make_pair(LONG{1}, LONG{1}));
}

TEST(BitmapFile, RowsArePaddedToFourBytes) {
  testing::ScratchFolder folder;
  UniqueGdiObject bitmap(testing::MakeScreenBitmap(5, 3, RGB(255, 255, 255)));
  const std::string path = folder.File("five.bmp");
  ASSERT_TRUE(SaveBitmapFileWithBitCount(AnsiToWide(path), static_cast<HBITMAP>(bitmap.Get()), 24));
  const std::string bmp = ReadBack(path);
  EXPECT_EQ(bmp.size(), 54u + 16u * 3u);
  EXPECT_EQ(LoadedSize(path), std::make_pair(LONG{5}, LONG{3}));
}

TEST(BitmapFile, PaletteDepthsCarryTheirColourTableBeforeTheRows) {
  testing::ScratchFolder folder;
  UniqueGdiObject bitmap(testing::MakeScreenBitmap(7, 2, RGB(255, 255, 255)));
  for (WORD bits : {WORD{1}, WORD{4}, WORD{8}}) {
    const std::string path = folder.File("palette" + std::to_string(bits) + ".bmp");
    ASSERT_TRUE(SaveBitmapFileWithBitCount(AnsiToWide(path), static_cast<HBITMAP>(bitmap.Get()), bits));
    const std::string bmp = ReadBack(path);
    const uint32_t table = 4u << bits;
    const uint32_t rows = ((7u * bits + 31) / 32) * 4 * 2;
    ASSERT_EQ(bmp.size(), 54u + table + rows) << bits;
    EXPECT_EQ(Le32(bmp, 2), bmp.size());
    EXPECT_EQ(Le32(bmp, 10), 54u + table);
    EXPECT_EQ(bmp[28], static_cast<char>(bits));
    EXPECT_EQ(Le32(bmp, 46), 1u << bits);  // biClrUsed
    // The white rows name a white table entry.
    const unsigned char first = static_cast<unsigned char>(bmp[54 + table]);
    const unsigned index = bits == 8 ? first : bits == 4 ? first >> 4 : first >> 7;
    EXPECT_EQ(bmp.substr(54 + 4 * index, 3), "\xFF\xFF\xFF") << bits;
    EXPECT_EQ(LoadedSize(path), std::make_pair(LONG{7}, LONG{2})) << bits;
  }
}

// A save is true only when the whole file was written.
TEST(BitmapFile, RowsThatCannotBeReadOrAFileThatCannotBeWrittenAreFalse) {
  testing::ScratchFolder folder;
  UniqueGdiObject bitmap(testing::MakeScreenBitmap(1, 1, RGB(0, 0, 0)));
  EXPECT_FALSE(SaveBitmapFile(AnsiToWide(folder.File("no/such/folder/x.bmp")), static_cast<HBITMAP>(bitmap.Get())));

  // GetDIBits delivers no rows from a bitmap that is gone.
  HBITMAP gone = testing::MakeScreenBitmap(2, 2, RGB(0, 0, 0));
  DeleteObject(gone);
  EXPECT_FALSE(SaveBitmapFile(AnsiToWide(folder.File("gone.bmp")), gone));

  // A file that can be created but takes no bytes: Wine reaches the host's /dev/full through the
  // Z: drive. Windows has no such file; there the case is skipped.
  const wchar_t kFullDevice[] = L"Z:\\dev\\full";
  if (!UniqueKernelHandle(CreateFileW(kFullDevice, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr))) {
    GTEST_SKIP() << "no Z:\\dev\\full here: " << GetLastError();
  }
  EXPECT_FALSE(SaveBitmapFile(kFullDevice, static_cast<HBITMAP>(bitmap.Get())));
}

}  // namespace
}  // namespace corvane
