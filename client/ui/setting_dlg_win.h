// CSettingDlg: the modal settings dialog — what closing the main window does (minimise or
// end the program), written to g_settings as soon as an option is chosen.
#pragma once

#include "skin/window_impl_base_win.h"

namespace corvane {

class CSettingDlg : public WindowImplBase {
 public:
  LPCWSTR GetWindowClassName() const override { return L"SettingDlg"; }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return L"setting_dlg.xml"; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }
};

}  // namespace corvane
