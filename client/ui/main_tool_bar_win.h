// CMainToolBar: the skinned strip above the browser (back, forward, refresh, menu); each click
// becomes a command posted to the main window.
#pragma once

#include "skin/window_impl_base_win.h"

namespace corvane {

class CMainToolBar : public WindowImplBase {
 public:
  LPCWSTR GetWindowClassName() const override { return L"MainToolBar"; }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return L"main_tool_bar.xml"; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }
};

}  // namespace corvane
