// CClosePromptDlg: the modal question shown on closing the main window while asking is on —
// minimise, end the program or just dismiss, with a box that stops future prompts.
#pragma once

#include "skin/window_impl_base_win.h"

namespace corvane {

class CClosePromptDlg : public WindowImplBase {
 public:
  LPCWSTR GetWindowClassName() const override { return L"ClosePromptDlg"; }
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return L"close_prompt_dlg.xml"; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }
};

}  // namespace corvane
