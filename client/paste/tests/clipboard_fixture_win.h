// Puts data on the real clipboard and reads it back, for the tests of the paste conversion;
// owns a hidden window that owns what the tests put there.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/unique_handle_win.h"

namespace corvane::testing {

// Base64 back to bytes, to look inside the data URIs the conversion writes.
inline std::string DecodeBase64(const std::string& text) {
  static const std::string abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned bits = 0;
  int count = 0;
  for (char c : text) {
    const size_t v = abc.find(c);
    if (v == std::string::npos) break;
    bits = (bits << 6) | static_cast<unsigned>(v);
    if ((count += 6) >= 8) out.push_back(static_cast<char>((bits >> (count -= 8)) & 0xFF));
  }
  return out;
}

inline HGLOBAL GlobalFromBytes(const std::string& bytes) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
  GlobalUnlock(block);
  return block;
}

class ClipboardFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    m_owner.Reset(CreateWindowExW(0, L"STATIC", L"paste test", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  nullptr, nullptr));
    ASSERT_TRUE(m_owner);
    m_htmlFormat = RegisterClipboardFormatW(L"HTML Format");
    ASSERT_NE(m_htmlFormat, 0u);
  }
  void TearDown() override {
    if (Open()) {
      EmptyClipboard();
      CloseClipboard();
    }
  }

  // Opens the clipboard for the test's window; the system may hold it for a moment.
  bool Open() {
    for (int attempt = 0; attempt < 50; ++attempt) {
      if (OpenClipboard(m_owner.Get())) return true;
      Sleep(20);
    }
    return false;
  }

  // Replaces the clipboard's content by `entries` (format, bytes) and `bitmap`, if any.
  void Put(const std::vector<std::pair<UINT, std::string>>& entries, HBITMAP bitmap = nullptr) {
    ASSERT_TRUE(Open());
    EmptyClipboard();
    for (const auto& [format, bytes] : entries) {
      ASSERT_NE(SetClipboardData(format, GlobalFromBytes(bytes)), nullptr) << format;
    }
    if (bitmap != nullptr) {
      ASSERT_NE(SetClipboardData(CF_BITMAP, bitmap), nullptr);
    }
    CloseClipboard();
  }

  // The bytes of `format` on the clipboard; none when it is not there. Text formats are cut at
  // their first NUL when `toNul` holds.
  std::optional<std::string> Read(UINT format, bool toNul = true) {
    std::optional<std::string> out;
    if (!Open()) return out;
    if (HANDLE data = GetClipboardData(format)) {
      CGlobalLock lock(data);
      if (lock.Data() != nullptr) {
        out.emplace(static_cast<const char*>(lock.Data()), lock.Size());
        if (toNul) out->resize(std::strlen(out->c_str()));
      }
    }
    CloseClipboard();
    return out;
  }

  std::vector<UINT> Formats() {
    std::vector<UINT> formats;
    if (!Open()) return formats;
    for (UINT f = EnumClipboardFormats(0); f != 0; f = EnumClipboardFormats(f)) formats.push_back(f);
    CloseClipboard();
    return formats;
  }

  UniqueWindow m_owner;
  UINT m_htmlFormat = 0;
};

// A `width` x `height` bitmap compatible with the screen, filled with `colour`.
inline HBITMAP MakeScreenBitmap(int width, int height, COLORREF colour) {
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  HBRUSH brush = CreateSolidBrush(colour);
  RECT all = {0, 0, width, height};
  FillRect(memory, &all, brush);
  DeleteObject(brush);
  SelectObject(memory, old);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

inline uint32_t Le32(const std::string& s, size_t at) {
  uint32_t v = 0;
  for (size_t i = 0; i < 4; ++i) v |= uint32_t{static_cast<unsigned char>(s[at + i])} << (8 * i);
  return v;
}

}  // namespace corvane::testing
