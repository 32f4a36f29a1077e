// CToolBarMenu: the toolbar's drop-down menu (settings, help, about, exit). Made with `new` per
// opening; it places itself beside the main window, closes after any click or when it loses
// the focus, and deletes itself when its window is gone.
#pragma once

#include "skin/window_impl_base_win.h"

namespace corvane {

class CToolBarMenu : public WindowImplBase {
 public:
  LPCWSTR GetWindowClassName() const override { return L"ToolBarMenu"; }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return L"tool_bar_menu.xml"; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }

  // Copied from the main window's update flag before Create: the about button then carries
  // the update badge.
  bool m_bUpdatePending = false;
};

}  // namespace corvane
