// CUpdatePromptDlg on GTK: the update offer (download or install mode) and, with the layout
// "about_dlg.xml", the about box — the same layouts, names and modes as on Windows. The Linux
// update cycle is not there yet: the main button only closes the window.
#pragma once

#include <string>
#include <utility>

#include "skin/window_impl_base_gtk.h"

namespace corvane {

class CUpdatePromptDlg : public WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"UpdatePromptDlg"; }
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return m_strLayoutFile; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }

  // Both before Create.
  void SetLayoutFile(std::wstring layoutFile) { m_strLayoutFile = std::move(layoutFile); }
  void SetInstallMode(bool installMode) { m_bInstallMode = installMode; }

 protected:
  // A double click on the caption would maximise the small prompt.
  bool OnCaptionDoubleClick() override { return true; }

 private:
  std::wstring m_strLayoutFile = L"update_prompt_dlg.xml";
  bool m_bInstallMode = false;
};

}  // namespace corvane
