// Pictures a page cannot show (BMP, TIFF, ...) made PNG with GdkPixbuf. Any thread.
#pragma once

#include <string>

namespace corvane {

// zlib level of the PNG written: a paste is read once, by the page, right away, so a fast
// level beats a small file (see the paste section of docs/ARCHITECTURE.md for the figures).
constexpr int kPastePngCompression = 1;

// The PNG of the picture file `bytes`; empty when GDK cannot read it.
std::string EncodeAsPng(const std::string& bytes);

}  // namespace corvane
