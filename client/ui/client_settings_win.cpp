// CClientSettings through GetPrivateProfileIntW / WritePrivateProfileStringW.
#include "client/ui/client_settings.h"

#include <windows.h>

#include <utility>

#include "base/program_folder.h"

namespace corvane {
namespace {
constexpr wchar_t kSection[] = L"setting";
constexpr wchar_t kClosePromptKey[] = L"close_prompt";
constexpr wchar_t kExitOnCloseKey[] = L"min_close";
}  // namespace

CClientSettings::CClientSettings() : CClientSettings(GetProgramFolder() + L"\\CorvaneClient.ini", false) {}

CClientSettings::CClientSettings(std::wstring filePath) : CClientSettings(std::move(filePath), true) {}

CClientSettings::CClientSettings(std::wstring filePath, bool writer)
    : m_strFilePath(std::move(filePath)), m_bWriter(writer) {
  Load();
}

CClientSettings::~CClientSettings() { Save(); }

void CClientSettings::Load() {
  m_bClosePrompt = GetPrivateProfileIntW(kSection, kClosePromptKey, 0, m_strFilePath.c_str()) != 0;
  m_bExitOnClose = GetPrivateProfileIntW(kSection, kExitOnCloseKey, 0, m_strFilePath.c_str()) != 0;
}

void CClientSettings::Save() const {
  if (!m_bWriter) return;
  wchar_t value[16] = {};
  wsprintfW(value, L"%d", m_bClosePrompt ? 1 : 0);
  WritePrivateProfileStringW(kSection, kClosePromptKey, value, m_strFilePath.c_str());
  wsprintfW(value, L"%d", m_bExitOnClose ? 1 : 0);
  WritePrivateProfileStringW(kSection, kExitOnCloseKey, value, m_strFilePath.c_str());
}

}  // namespace corvane
