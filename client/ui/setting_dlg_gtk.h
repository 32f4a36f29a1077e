// CSettingDlg on GTK: the modal settings dialog — what closing the main window does (minimise
// or end the program), written to g_settings as soon as an option is chosen. The same layout,
// control names and behaviour as on Windows.
#pragma once

#include "skin/window_impl_base_gtk.h"

namespace corvane {

class CSettingDlg : public WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"SettingDlg"; }
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return L"setting_dlg.xml"; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }
};

}  // namespace corvane
