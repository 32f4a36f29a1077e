// WindowImplBase: the base of every skinned window. It builds the window's content from the
// layout GetSkinFile() inside GetZIPFileName() (in the program's folder, under
// GetSkinFolder()), draws a borderless skinned frame, drags the window by the layout's caption
// band, and hands click notifications — and nothing else — to OnClick.
//
// A window class answers the toolkit's questions by overriding, for example:
//   class CSettingDlg : public WindowImplBase {
//     LPCWSTR GetWindowClassName() const override { return L"SettingDlg"; }
//     CDuiString GetSkinFolder() override { return L""; }
//     CDuiString GetSkinFile() override { return L"setting_dlg.xml"; }
//     UILIB_RESOURCETYPE GetResourceType() const override { return UILIB_ZIP; }
//     CDuiString GetZIPFileName() const override { return L"skin.zip"; }
//     void OnClick(TNotifyUI& msg) override;
//   };
// and finds its controls with m_PaintManager.FindControl(L"name") (or FindControlAs<T>).
#pragma once

#include <windows.h>

#include "skin/button.h"
#include "skin/container.h"
#include "skin/dialog_builder.h"
#include "skin/label.h"
#include "skin/notify.h"
#include "skin/paint_manager_win.h"
#include "skin/progress.h"
#include "skin/window_wnd_win.h"

namespace corvane {

class WindowImplBase : public CWindowWnd,
                       public INotifyUI,
                       public IMessageFilterUI,
                       public IDialogBuilderCallback {
 public:
  WindowImplBase() = default;

  // CWindowWnd's operations come first: GetWindowClassName, GetSuperClassName, GetClassStyle,
  // HandleMessage, OnFinalMessage, destructor.
  UINT GetClassStyle() const override { return CS_DBLCLKS; }
  LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage(HWND hWnd) override;
  ~WindowImplBase() override;

  // After the layout was built, before the window is shown by its creator.
  virtual void InitWindow() {}
  // Clicks only. Default: "closebtn" closes, "minbtn", "maxbtn" and "restorebtn" do what the
  // caption boxes do; other names nothing.
  virtual void OnClick(TNotifyUI& msg);
  // Folder inside the archive (or beside the program); "" for the root.
  virtual CDuiString GetSkinFolder() { return L""; }
  // The layout; an empty name (or one not found) gives an empty window.
  virtual CDuiString GetSkinFile() { return L""; }
  // Keys no control used: Escape closes a top-level window (not a child). True when handled.
  virtual LRESULT ResponseDefaultKeyEvent(WPARAM wParam);
  virtual UILIB_RESOURCETYPE GetResourceType() const { return UILIB_ZIP; }
  virtual CDuiString GetZIPFileName() const { return L"skin.zip"; }
  virtual LPCWSTR GetResourceID() const { return nullptr; }

  // Message handlers with the toolkit's defaults; `bHandled` FALSE passes the message on.
  virtual LRESULT OnClose(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnDestroy(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnMouseWheel(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnMouseHover(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnChar(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnKeyDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnKillFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnSetFocus(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnLButtonDown(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnLButtonUp(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  virtual LRESULT OnMouseMove(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // Any other message, before the manager and the default procedure see it.
  virtual LRESULT HandleCustomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
  // The style the window is given at creation: its own without WS_CAPTION (the skin draws
  // the frame), clipping its children and siblings.
  virtual LONG GetStyle();

  // INotifyUI: clicks go to OnClick, every other notification is dropped.
  void Notify(TNotifyUI& msg) override;
  // IMessageFilterUI: nothing by default.
  LRESULT MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, bool& bHandled) override;
  // IDialogBuilderCallback: no kinds of its own by default.
  CControlUI* CreateControl(const wchar_t* pstrClass) override;

  // For the window that hosts this one (the main window lays out its toolbar's controls).
  CPaintManagerUI& GetPaintManager() { return m_PaintManager; }

 protected:
  // Opens the skin this window names (archive or folder), or null.
  std::shared_ptr<const IResourceSource> OpenSkin();

  CPaintManagerUI m_PaintManager;
};

}  // namespace corvane
