// Saving a GDI bitmap as a BMP file at the display's colour depth.
#pragma once

#include <windows.h>

#include <string>

namespace corvane {

// The display's depth in bits per pixel (BITSPIXEL x PLANES of the "DISPLAY" device).
int DisplayColourDepth();

// Writes `bitmap` as a BMP file at `path` with rows of the bit count that suits the display.
// True only when the whole file was written: false when the bitmap cannot be read (GetDIBits),
// is too large for the format or for memory, or when the file cannot be created or written.
bool SaveBitmapFile(const std::wstring& path, HBITMAP bitmap);

// The same with the rows at `bitCount` bits (1, 4, 8 or 24); 8 bits or fewer carry a colour
// table between the info header and the rows.
bool SaveBitmapFileWithBitCount(const std::wstring& path, HBITMAP bitmap, WORD bitCount);

}  // namespace corvane
