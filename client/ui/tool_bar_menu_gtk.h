// CToolBarMenu on GTK: the toolbar's drop-down menu (settings, help, about, exit). Made with
// `new` per opening; it places itself beside the main window (g_mainWindow), closes after any
// click or when it loses the focus, and deletes itself when its window is gone. The Linux
// client checks for no update yet, so only the pending flag shows the badge.
#pragma once

#include "skin/window_impl_base_gtk.h"

namespace corvane {

class CToolBarMenu : public WindowImplBase {
 public:
  const wchar_t* GetWindowClassName() const override { return L"ToolBarMenu"; }
  bool HandleEvent(GdkEvent* event) override;
  void OnFinalMessage(GtkWidget* window) override;
  void InitWindow() override;
  void OnClick(TNotifyUI& msg) override;
  CDuiString GetSkinFolder() override { return L""; }
  CDuiString GetSkinFile() override { return L"tool_bar_menu.xml"; }
  UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
  CDuiString GetZIPFileName() const override { return L"skin.zip"; }

  // Copied from the main window's update flag before Create.
  bool m_bUpdatePending = false;
};

}  // namespace corvane
