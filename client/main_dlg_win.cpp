// CMainDlg: initialisation (centre, icons, loop registration) and closing.
#include "client/main_dlg_win.h"

#include "resource.h"

namespace corvane {

const std::vector<MessageEntry<CMainDlg>>& CMainDlg::MessageMap() {
  static const std::vector<MessageEntry<CMainDlg>> map = {
      {WM_INITDIALOG, 0, &CMainDlg::OnInitDialog},
      {WM_DESTROY, 0, &CMainDlg::OnDestroy},
      {WM_COMMAND, IDCANCEL, &CMainDlg::OnCancel},
  };
  return map;
}

BOOL CMainDlg::PreTranslateMessage(MSG* pMsg) { return IsDialogMessage(pMsg); }

BOOL CMainDlg::OnIdle() { return FALSE; }

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  RECT rc = {};
  GetWindowRect(m_hWnd, &rc);
  const int w = rc.right - rc.left, h = rc.bottom - rc.top;
  SetWindowPos(m_hWnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  HINSTANCE instance = g_appModule.GetInstance();
  m_bigIcon.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAINFRAME), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
  m_smallIcon.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAINFRAME), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));

  if (CMessageLoop* loop = g_appModule.GetMessageLoop()) {
    loop->AddMessageFilter(this);
    loop->AddIdleHandler(this);
  }
  return TRUE;
}

LRESULT CMainDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
  if (CMessageLoop* loop = g_appModule.GetMessageLoop()) {
    loop->RemoveMessageFilter(this);
    loop->RemoveIdleHandler(this);
  }
  return 0;
}

LRESULT CMainDlg::OnCancel(UINT, WPARAM, LPARAM, BOOL&) {
  DestroyWindow();
  PostQuitMessage(0);
  return 0;
}

}  // namespace corvane
