// CMainToolBar on GTK: the 30-pixel skinned strip above the browser (back, forward, refresh,
// menu), a child widget of the main window; each click becomes a command posted to the main
// window.
#pragma once

#include "skin/window_impl_base_gtk.h"

namespace corvane {

class CMainToolBar : public WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"MainToolBar"; }
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return L"main_tool_bar.xml"; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }
};

}  // namespace corvane
