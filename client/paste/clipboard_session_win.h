// The Windows clipboard, held open (without an owner window) for one paste conversion.
#pragma once

#include <windows.h>

#include <string>

#include "client/paste/bitmap_file_win.h"
#include "client/paste/clipboard_session.h"

namespace corvane {

constexpr wchar_t kHtmlFormatName[] = L"HTML Format";

class CWinClipboardSession final : public CClipboardSession {
 public:
  // Writes the clipboard bitmap to a file; true only when the file was written whole.
  using BitmapSaver = bool (*)(const std::wstring& path, HBITMAP bitmap);

  // Registers `formatName`; when that fails the plain text format (CF_TEXT) stands in. Then
  // opens the clipboard. Never fails: a clipboard that cannot be opened reads and writes nothing.
  // `saveBitmap` is SaveBitmapFile; tests give one that fails.
  explicit CWinClipboardSession(const wchar_t* formatName = kHtmlFormatName, BitmapSaver saveBitmap = SaveBitmapFile);
  ~CWinClipboardSession() override;
  CWinClipboardSession(const CWinClipboardSession&) = delete;
  CWinClipboardSession& operator=(const CWinClipboardSession&) = delete;

  bool ReadHtml(std::string& text) override;
  bool WriteHtml(const HtmlEntryParts& entry) override;
  // Saves CF_BITMAP as a new "img" temporary file; the file stays behind, unless it could not
  // be written whole.
  bool SaveBitmap(std::string& bmpPath) override;

  UINT HtmlFormat() const { return m_uHtmlFormat; }
  bool IsOpen() const { return m_bClipboardOpen; }

 private:
  HWND m_hOwner = nullptr;
  UINT m_uHtmlFormat = CF_TEXT;
  HANDLE m_hData = nullptr;
  bool m_bClipboardOpen = false;
  BitmapSaver m_saveBitmap;
};

}  // namespace corvane
