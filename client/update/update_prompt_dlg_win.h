// CUpdatePromptDlg: the modal update offer. In download mode its main button starts the
// installer download; in install mode it starts the downloaded installer and ends the client.
// After a download that did not verify it says so in one line and offers no button to go on.
// With the layout "about_dlg.xml" the same class is the about box.
#pragma once

#include <string>
#include <utility>

#include "skin/window_impl_base_win.h"

namespace corvane {

class CUpdatePromptDlg : public WindowImplBase {
 public:
  LPCWSTR GetWindowClassName() const override { return L"UpdatePromptDlg"; }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return m_strLayoutFile; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }

  // Both before Create.
  void SetLayoutFile(std::wstring layoutFile) { m_strLayoutFile = std::move(layoutFile); }
  void SetInstallMode(bool installMode) { m_bInstallMode = installMode; }
  void SetUnverified(bool unverified) { m_bUnverified = unverified; }

 private:
  std::wstring m_strLayoutFile = L"update_prompt_dlg.xml";
  bool m_bInstallMode = false;
  bool m_bUnverified = false;
};

}  // namespace corvane
