// CClosePromptDlg on GTK: the modal question shown on closing the main window while asking is
// on — minimise, end the program or just dismiss, with a box that stops future prompts. The
// same layout, control names and behaviour as on Windows.
#pragma once

#include "skin/window_impl_base_gtk.h"

namespace corvane {

class CClosePromptDlg : public WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"ClosePromptDlg"; }
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return L"close_prompt_dlg.xml"; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }
};

}  // namespace corvane
