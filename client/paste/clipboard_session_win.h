// The Windows clipboard, held open (without an owner window) for one paste conversion.
#pragma once

#include <windows.h>

#include "client/paste/clipboard_session.h"

namespace corvane {

constexpr wchar_t kHtmlFormatName[] = L"HTML Format";

class CWinClipboardSession final : public CClipboardSession {
 public:
  // Registers `formatName`; when that fails the plain text format (CF_TEXT) stands in. Then
  // opens the clipboard. Never fails: a clipboard that cannot be opened reads and writes nothing.
  explicit CWinClipboardSession(const wchar_t* formatName = kHtmlFormatName);
  ~CWinClipboardSession() override;
  CWinClipboardSession(const CWinClipboardSession&) = delete;
  CWinClipboardSession& operator=(const CWinClipboardSession&) = delete;

  bool ReadHtml(std::string& text) override;
  bool WriteHtml(const HtmlEntryParts& entry) override;
  // Saves CF_BITMAP as a new "img" temporary file; the file stays behind.
  bool SaveBitmap(std::string& bmpPath) override;

  UINT HtmlFormat() const { return m_uHtmlFormat; }
  bool IsOpen() const { return m_bClipboardOpen; }

 private:
  HWND m_hOwner = nullptr;
  UINT m_uHtmlFormat = CF_TEXT;
  HANDLE m_hData = nullptr;
  bool m_bClipboardOpen = false;
};

}  // namespace corvane
