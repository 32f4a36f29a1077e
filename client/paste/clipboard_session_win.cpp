// The Windows clipboard session: RegisterClipboardFormatW, OpenClipboard, GetClipboardData,
// SetClipboardData; the clipboard is never emptied, so other formats stay.
#include "client/paste/clipboard_session_win.h"

#include <cstring>
#include <cwchar>

#include "base/ansi.h"
#include "base/unique_handle_win.h"
#include "client/paste/gdi_handles_win.h"

namespace corvane {

CWinClipboardSession::CWinClipboardSession(const wchar_t* formatName, BitmapSaver saveBitmap)
    : m_saveBitmap(saveBitmap) {
  if (const UINT format = RegisterClipboardFormatW(formatName)) m_uHtmlFormat = format;
  m_bClipboardOpen = OpenClipboard(m_hOwner) != FALSE;
}

CWinClipboardSession::~CWinClipboardSession() {
  if (m_bClipboardOpen) CloseClipboard();
}

bool CWinClipboardSession::ReadHtml(std::string& text) {
  m_hData = GetClipboardData(m_uHtmlFormat);
  if (m_hData == nullptr) return false;
  CGlobalLock lock(m_hData);
  const auto* data = static_cast<const char*>(lock.Data());
  if (data == nullptr) return false;
  // The text ends at its first NUL, or at the end of the block when a writer left none.
  const void* nul = std::memchr(data, '\0', lock.Size());
  text.assign(data, nul ? static_cast<const char*>(nul) - data : lock.Size());
  return true;
}

bool CWinClipboardSession::WriteHtml(const HtmlEntryParts& entry) {
  if (!m_bClipboardOpen) return false;
  // Moveable, as SetClipboardData documents; shared, as clipboard data always was.
  UniqueGlobalMemory block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, entry.Size() + 1));
  {
    CGlobalLock lock(block.Get());
    if (lock.Data() == nullptr) return false;
    *entry.CopyTo(static_cast<char*>(lock.Data())) = '\0';
  }
  // The clipboard owns the block once it accepts it; a refused block is freed here.
  if (SetClipboardData(m_uHtmlFormat, block.Get()) == nullptr) return false;
  block.Release();
  return true;
}

bool CWinClipboardSession::SaveBitmap(std::string& bmpPath) {
  const auto bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
  if (bitmap == nullptr) return false;
  wchar_t folder[MAX_PATH] = {};
  const DWORD folderLength = GetTempPathW(MAX_PATH, folder);
  if (folderLength == 0 || folderLength >= MAX_PATH) return false;
  wchar_t name[MAX_PATH] = {};
  if (GetTempFileNameW(folder, L"img", 0, name) == 0) return false;
  if (!m_saveBitmap(name, bitmap)) {
    DeleteFileW(name);  // a cut-off file would paste as a broken picture
    return false;
  }
  bmpPath = WideToAnsi(name);
  return true;
}

}  // namespace corvane
