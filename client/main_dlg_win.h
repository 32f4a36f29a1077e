// CMainDlg: the client's one top-level window. A dialog without controls of its own that hosts
// the browser window, the skinned toolbar strip above it and the tray icon; every other part of
// the client talks to it by posting messages to g_hMainWnd.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "base/message_loop_win.h"
#include "base/modeless_dialog_win.h"
#include "base/unique_handle_win.h"
#include "client/browser/corvane_cef_client.h"
#include "client/ui/close_decision.h"
#include "client/ui/main_tool_bar_win.h"

namespace corvane {

class CMainDlg : public CModelessDialog<CMainDlg>, public CMessageFilter, public CIdleHandler {
 public:
  CMainDlg() = default;
  ~CMainDlg() override = default;

  static const std::vector<MessageEntry<CMainDlg>>& MessageMap();

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL OnIdle() override;

  void CreateBrowser();
  void LayoutChildren();
  void CloseOrMinimize(int code);
  // The teacher's exit (the caption in exit mode, the close prompt's exit, the menu, the tray):
  // the page's beforeunload first (CloseBrowser(false)), the end with `code` once it lets go.
  void ExitAskingPage(int code);

  // For tests of the window's state.
  bool IsUpdateAvailable() const { return m_bUpdateAvailable; }
  CMainToolBar& ToolBar() { return m_toolbar; }
  CefRefPtr<CorvaneCefClient> Client() const { return m_client; }

 private:
  LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnSize(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnOk(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnCancel(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTrayCommand(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTrayExit(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnTrayIcon(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnShowSettings(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnShowHelp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnShowAbout(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnExitApp(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGoBack(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnGoForward(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnReloadPage(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnShowToolBarMenu(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnNavState(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnUpdateAvailable(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnInstallerReady(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnUpdateUnverified(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnRelayout(UINT, WPARAM, LPARAM, BOOL&);
  LRESULT OnPageLetGo(UINT, WPARAM, LPARAM, BOOL&);

  void ShowTrayMenu();
  void ShowUpdatePrompt(bool installMode, const wchar_t* windowName, bool unverified = false);
  CefRefPtr<CefBrowser> Browser() const;
  // The window goes first (the tray icon, the toolbar and the browser with it), then the loop.
  void Exit(int code);

  CefRefPtr<CorvaneCefClient> m_client;
  CMainToolBar m_toolbar;
  NOTIFYICONDATAW m_trayIcon = {};
  UniqueIcon m_bigIcon;
  UniqueIcon m_smallIcon;
  bool m_bUpdateAvailable = false;
  CPendingExit m_pendingExit;
};

}  // namespace corvane
