// BMP files from GDI bitmaps: the rows come from GetDIBits through the screen's context with
// the default palette selected; the layout (sizes, colour table, file header) is bmp_layout's.
#include "client/paste/bitmap_file_win.h"

#include <cstring>

#include "base/unique_handle_win.h"
#include "client/paste/bmp_layout.h"
#include "client/paste/gdi_handles_win.h"

namespace corvane {
namespace {

bool WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

// The info header, colour table and rows of `bitmap`, as GetDIBits delivers them, in a
// zero-filled block of exactly layout.BlockBytes() bytes; none when GetDIBits does not deliver
// every row.
UniqueGlobalMemory CaptureRows(HBITMAP bitmap, const BmpLayout& layout) {
  UniqueGlobalMemory block(GlobalAlloc(GHND, layout.BlockBytes()));
  CGlobalLock lock(block.Get());
  auto* data = static_cast<BYTE*>(lock.Data());
  if (data == nullptr) return UniqueGlobalMemory();

  BITMAPINFOHEADER info = {};
  info.biSize = kBmpInfoHeaderBytes;
  info.biWidth = static_cast<LONG>(layout.width);
  info.biHeight = static_cast<LONG>(layout.height);
  info.biPlanes = 1;
  info.biBitCount = layout.bitCount;
  info.biCompression = BI_RGB;
  std::memcpy(data, &info, sizeof(info));

  UniqueScreenDc screen(GetDC(nullptr));
  HPALETTE previous = nullptr;
  if (auto palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE))) {
    previous = SelectPalette(screen.Get(), palette, FALSE);
    RealizePalette(screen.Get());
  }
  // With biClrUsed 0 the table GetDIBits fills has 2^bitCount entries: the block has room.
  const int rows = GetDIBits(screen.Get(), bitmap, 0, layout.height,
                             data + kBmpInfoHeaderBytes + layout.ColourTableBytes(),
                             reinterpret_cast<BITMAPINFO*>(data), DIB_RGB_COLORS);
  if (previous != nullptr) {
    SelectPalette(screen.Get(), previous, TRUE);
    RealizePalette(screen.Get());
  }
  if (rows <= 0 || static_cast<uint32_t>(rows) != layout.height) return UniqueGlobalMemory();
  if (layout.ColourTableEntries() != 0) {
    // The file says how many table entries precede the rows.
    reinterpret_cast<BITMAPINFOHEADER*>(data)->biClrUsed = layout.ColourTableEntries();
  }
  return block;
}

}  // namespace

int DisplayColourDepth() {
  UniqueCreatedDc display(CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
  if (!display) return 0;
  return GetDeviceCaps(display.Get(), BITSPIXEL) * GetDeviceCaps(display.Get(), PLANES);
}

bool SaveBitmapFile(const std::wstring& path, HBITMAP bitmap) {
  return SaveBitmapFileWithBitCount(path, bitmap, BmpBitCountForDepth(DisplayColourDepth()));
}

bool SaveBitmapFileWithBitCount(const std::wstring& path, HBITMAP bitmap, WORD bitCount) {
  BITMAP record = {};
  if (GetObjectW(bitmap, sizeof(record), &record) == 0) return false;
  BmpLayout layout;
  layout.width = record.bmWidth > 0 ? static_cast<uint32_t>(record.bmWidth) : 0;
  layout.height = record.bmHeight > 0 ? static_cast<uint32_t>(record.bmHeight) : 0;
  layout.bitCount = bitCount;

  // A bitmap too large for the format or for memory, or one whose rows cannot be read, gives
  // no file content at all.
  UniqueGlobalMemory block = layout.Fits() ? CaptureRows(bitmap, layout) : UniqueGlobalMemory();
  if (!block) return false;

  UniqueKernelHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return false;
  CGlobalLock lock(block.Get());
  const std::string fileHeader = BuildBmpFileHeader(layout);
  return lock.Data() != nullptr &&
         WriteAll(file.Get(), fileHeader.data(), static_cast<DWORD>(fileHeader.size())) &&
         WriteAll(file.Get(), lock.Data(), layout.BlockBytes());
}

}  // namespace corvane
