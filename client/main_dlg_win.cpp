// CMainDlg: initialisation, the message table, the browser's placement, the tray icon and menu,
// and the close action.
#include "client/main_dlg_win.h"

#include "base/service_host.h"
#include "client/browser/cef_runtime.h"
#include "client/client_messages_win.h"
#include "client/main_window_channel.h"
#include "client/ui/client_settings.h"
#include "client/ui/about_choice.h"
#include "client/policy/machine_policy_source.h"
#include "client/ui/close_decision.h"
#include "client/ui/close_prompt_rules.h"
#include "client/ui/close_prompt_dlg_win.h"
#include "client/ui/setting_dlg_win.h"
#include "client/ui/tool_bar_menu_win.h"
#include "client/update/installer_win.h"
#include "client/update/update_check_win.h"
#include "client/update/update_prompt_dlg_win.h"
#include "resource.h"

namespace corvane {
namespace {

constexpr UINT kTrayIconId = 1;
constexpr DWORD kBrowserStyle = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;  // 0x56010000
constexpr DWORD kDialogStyle = 0x10CF0000;  // WS_VISIBLE | WS_OVERLAPPEDWINDOW
constexpr int kToolBarHeight = 30;          // logical pixels
constexpr int kSettingButtonInset = 115;    // the menu button's left margin is W - 115

// The skin is laid out in 96-DPI pixels; where the system does not scale the program for us
// (it declares no DPI awareness, but Wine does not virtualise), the strip grows with the DPI.
double DpiScale(HWND window) {
  HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(window, dc);
  return dpi > 0 ? dpi / 96.0 : 1.0;
}

}  // namespace

const std::vector<MessageEntry<CMainDlg>>& CMainDlg::MessageMap() {
  using E = MessageEntry<CMainDlg>;
  static const std::vector<E> map = {
      {WM_INITDIALOG, 0, &CMainDlg::OnInitDialog},
      {WM_DESTROY, 0, &CMainDlg::OnDestroy},
      {WM_SIZE, 0, &CMainDlg::OnSize},
      {WM_CLOSE, 0, &CMainDlg::OnClose},
      {WM_COMMAND, IDOK, &CMainDlg::OnOk},
      {WM_COMMAND, IDCANCEL, &CMainDlg::OnCancel},
      {WM_COMMAND, ID_MENU_TRAY_SETTING, &CMainDlg::OnTrayCommand},
      {WM_COMMAND, ID_MENU_TRAY_HELP, &CMainDlg::OnTrayCommand},
      {WM_COMMAND, ID_MENU_TRAY_ABOUT, &CMainDlg::OnTrayCommand},
      {WM_COMMAND, ID_MENU_TRAY_EXIT, &CMainDlg::OnTrayExit},
      {WM_TRAYICON, 0, &CMainDlg::OnTrayIcon},
      {WM_SHOWSETTINGS, 0, &CMainDlg::OnShowSettings},
      {WM_SHOWHELP, 0, &CMainDlg::OnShowHelp},
      {WM_SHOWABOUT, 0, &CMainDlg::OnShowAbout},
      {WM_EXITAPP, 0, &CMainDlg::OnExitApp},
      {WM_GOBACK, 0, &CMainDlg::OnGoBack},
      {WM_GOFORWARD, 0, &CMainDlg::OnGoForward},
      {WM_RELOADPAGE, 0, &CMainDlg::OnReloadPage},
      {WM_SHOWTOOLBARMENU, 0, &CMainDlg::OnShowToolBarMenu},
      {WM_NAVSTATE, 0, &CMainDlg::OnNavState},
      {WM_UPDATEAVAILABLE, 0, &CMainDlg::OnUpdateAvailable},
      {WM_INSTALLERREADY, 0, &CMainDlg::OnInstallerReady},
      {WM_UPDATEUNVERIFIED, 0, &CMainDlg::OnUpdateUnverified},
      {WM_RELAYOUT, 0, &CMainDlg::OnRelayout},
      {WM_PAGELETGO, 0, &CMainDlg::OnPageLetGo},
  };
  return map;
}

BOOL CMainDlg::PreTranslateMessage(MSG* pMsg) { return IsDialogMessage(pMsg); }

BOOL CMainDlg::OnIdle() { return FALSE; }

CefRefPtr<CefBrowser> CMainDlg::Browser() const { return m_client ? m_client->GetBrowser() : nullptr; }

LRESULT CMainDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&) {
  // 1. Centred: this is the size the window restores to.
  RECT rc = {};
  GetWindowRect(m_hWnd, &rc);
  SetWindowPos(m_hWnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2,
               (GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

  // 2. Icons; the small one is also the tray icon.
  HINSTANCE instance = g_appModule.GetInstance();
  m_bigIcon.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAINFRAME), IMAGE_ICON,
                                                GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0)));
  SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_bigIcon.Get()));
  m_smallIcon.Reset(static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_MAINFRAME), IMAGE_ICON,
                                                  GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_smallIcon.Get()));

  // 3.-4.
  if (CMessageLoop* loop = g_appModule.GetMessageLoop()) {
    loop->AddMessageFilter(this);
    loop->AddIdleHandler(this);
  }
  g_hMainWnd = m_hWnd;

  // 5.-6.
  CreateBrowser();
  m_toolbar.Create(m_hWnd, L"toolbar", WS_CHILD | WS_VISIBLE, 0, 0, 0, 600, 800);
  SetParent(m_toolbar.GetHWND(), m_hWnd);

  // 7. The tray icon, without a tooltip.
  m_trayIcon.cbSize = NOTIFYICONDATAW_V3_SIZE;  // 952
  m_trayIcon.hWnd = m_hWnd;
  m_trayIcon.uID = kTrayIconId;
  m_trayIcon.uFlags = NIF_MESSAGE | NIF_ICON;
  m_trayIcon.uCallbackMessage = WM_TRAYICON;
  m_trayIcon.hIcon = m_smallIcon.Get();
  Shell_NotifyIconW(NIM_ADD, &m_trayIcon);

  // 8.-10.
  LayoutChildren();
  CheckForUpdate();
  return TRUE;
}

void CMainDlg::CreateBrowser() {
  m_client = new CorvaneCefClient();
  RECT client = {};
  GetClientRect(m_hWnd, &client);
  CefWindowInfo info;
  info.parent_window = m_hWnd;
  info.x = client.left;
  info.y = client.top;
  info.width = client.right - client.left;
  info.height = client.bottom - client.top;
  info.style = kBrowserStyle;
  info.windowless_rendering_enabled = false;
  cef_browser_host_create_browser(info, m_client.get(), CefString(m_client->GetHomeUrl()), CefBrowserSettings(),
                                  nullptr);
}

void CMainDlg::LayoutChildren() {
  RECT rc = {};
  GetClientRect(m_hWnd, &rc);
  const int width = rc.right - rc.left;
  const int height = rc.bottom - rc.top;
  const double scale = DpiScale(m_hWnd);
  const int strip = static_cast<int>(kToolBarHeight * scale + 0.5);
  if (m_toolbar.GetHWND() != nullptr) {
    if (CControlUI* setting = m_toolbar.GetPaintManager().FindControl(L"button_setting")) {
      const int logicalWidth = static_cast<int>(width / scale + 0.5);
      RECT margin = {logicalWidth - kSettingButtonInset, 2, 2, 2};
      setting->SetPadding(margin);
    }
    MoveWindow(m_toolbar.GetHWND(), 0, 0, width, strip, TRUE);
  }
  CefRefPtr<CefBrowser> browser = Browser();
  if (!browser) return;
  HWND view = static_cast<HWND>(browser->GetHost()->GetWindowHandle());
  if (view != nullptr) MoveWindow(view, 0, strip, width, height - strip, TRUE);
}

LRESULT CMainDlg::OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
  if (CMessageLoop* loop = g_appModule.GetMessageLoop()) {
    loop->RemoveMessageFilter(this);
    loop->RemoveIdleHandler(this);
  }
  Shell_NotifyIconW(NIM_DELETE, &m_trayIcon);
  return 0;
}

LRESULT CMainDlg::OnSize(UINT, WPARAM, LPARAM, BOOL&) {
  LayoutChildren();
  return 0;
}

LRESULT CMainDlg::OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
  // The close action is decided first (Cancel → CloseOrMinimize); only an exit asks the page.
  handled = FALSE;  // the dialog manager turns it into the Cancel command
  return 0;
}

LRESULT CMainDlg::OnOk(UINT, WPARAM, LPARAM, BOOL&) {
  CloseOrMinimize(IDOK);
  return 0;
}

LRESULT CMainDlg::OnCancel(UINT, WPARAM, LPARAM, BOOL&) {
  CloseOrMinimize(IDCANCEL);
  return 0;
}

void CMainDlg::CloseOrMinimize(int code) {
  const CloseAction action = DecideMainWindowClose(g_settings, GetMachinePolicy());
  if (action == CloseAction::ShowPrompt) {
    CClosePromptDlg prompt;
    prompt.Create(m_hWnd, L"close_prompt_dlg", 0, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                  CW_USEDEFAULT);
    prompt.CenterWindow();
    prompt.ShowModal();
  } else if (action == CloseAction::Exit) {
    ExitAskingPage(code);
  } else {
    ShowWindow(m_hWnd, SW_SHOWMINIMIZED);  // stays on the taskbar
  }
}

LRESULT CMainDlg::OnTrayCommand(UINT, WPARAM wParam, LPARAM, BOOL&) {
  switch (LOWORD(wParam)) {
    case ID_MENU_TRAY_SETTING:
      PostToMainWindow(MainCommand::ShowSettings);
      break;
    case ID_MENU_TRAY_HELP:
      PostToMainWindow(MainCommand::ShowHelp);
      break;
    case ID_MENU_TRAY_ABOUT:
      PostToMainWindow(MainCommand::ShowAbout);
      break;
    default:
      break;
  }
  return 0;
}

LRESULT CMainDlg::OnTrayExit(UINT, WPARAM, LPARAM, BOOL&) {
  ExitAskingPage(0);
  return 0;
}

void CMainDlg::Exit(int code) {
  DestroyWindow();
  PostQuitMessage(code);
}

void CMainDlg::ExitAskingPage(int code) {
  CefRefPtr<CefBrowser> browser = Browser();
  if (!m_pendingExit.Begin(code, browser != nullptr)) return Exit(code);
  browser->GetHost()->CloseBrowser(false);  // the runtime's DoClose comes back as WM_PAGELETGO
}

LRESULT CMainDlg::OnPageLetGo(UINT, WPARAM, LPARAM, BOOL&) {
  // Nothing when the page was not closed for an exit (the teacher stayed, or another closing).
  if (std::optional<int> code = m_pendingExit.Take()) Exit(*code);
  return 0;
}

LRESULT CMainDlg::OnTrayIcon(UINT, WPARAM, LPARAM lParam, BOOL&) {
  if (lParam == WM_LBUTTONDOWN) {
    const LONG exStyle = GetWindowLongW(m_hWnd, GWL_EXSTYLE);
    if ((exStyle & WS_EX_TOPMOST) == 0) SetWindowLongW(m_hWnd, GWL_EXSTYLE, exStyle | WS_EX_TOPMOST);
    ShowWindow(m_hWnd, SW_RESTORE);
    // The style bit alone does not raise the window; a teacher who clicks the icon wants it.
    SetForegroundWindow(m_hWnd);
  } else if (lParam == WM_RBUTTONDOWN) {
    ShowTrayMenu();
  }
  return 1;
}

void CMainDlg::ShowTrayMenu() {
  UniqueMenu menu(LoadMenuW(g_appModule.GetInstance(), MAKEINTRESOURCEW(IDR_MENU_TRAY)));
  if (!menu) return;
  HMENU popup = GetSubMenu(menu.Get(), 0);
  POINT cursor = {};
  GetCursorPos(&cursor);
  SetForegroundWindow(m_hWnd);
  if (MonitorFromPoint(cursor, MONITOR_DEFAULTTONULL) == nullptr) {
    MONITORINFO info = {sizeof(info)};
    if (GetMonitorInfoW(MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &info)) {
      cursor.x = std::max(info.rcMonitor.left, std::min(cursor.x, info.rcMonitor.right - 1));
    }
  }
  TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, nullptr);
}

LRESULT CMainDlg::OnShowSettings(UINT, WPARAM, LPARAM, BOOL&) {
  CSettingDlg dialog;
  dialog.Create(g_hMainWnd, L"setting_dlg", kDialogStyle, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
                CW_USEDEFAULT, CW_USEDEFAULT);
  dialog.CenterWindow();
  dialog.ShowModal();
  return 0;
}

LRESULT CMainDlg::OnShowHelp(UINT, WPARAM, LPARAM, BOOL&) {
  const std::wstring url = ServiceUrl(L"/Problem.html");
  ShellExecuteW(g_hMainWnd, L"open", url.c_str(), nullptr, nullptr, SW_HIDE);
  return 0;
}

void CMainDlg::ShowUpdatePrompt(bool installMode, const wchar_t* windowName, bool unverified) {
  CUpdatePromptDlg prompt;
  prompt.SetInstallMode(installMode);
  prompt.SetUnverified(unverified);
  prompt.Create(m_hWnd, windowName, kDialogStyle, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                CW_USEDEFAULT);
  prompt.CenterWindow();
  prompt.ShowModal();
}

LRESULT CMainDlg::OnShowAbout(UINT, WPARAM, LPARAM, BOOL&) {
  const AboutChoice choice = ChooseAbout(m_bUpdateAvailable, IsInstallerReady());
  CUpdatePromptDlg about;
  about.SetLayoutFile(choice.layout);
  about.SetInstallMode(choice.installMode);
  about.Create(m_hWnd, L"about_dlg", kDialogStyle, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
               CW_USEDEFAULT);
  about.CenterWindow();
  about.ShowModal();
  return 0;
}

LRESULT CMainDlg::OnExitApp(UINT, WPARAM, LPARAM, BOOL&) {
  ExitAskingPage(0);
  return 0;
}

LRESULT CMainDlg::OnGoBack(UINT, WPARAM, LPARAM, BOOL&) {
  CefRefPtr<CefBrowser> browser = Browser();
  if (browser && browser->CanGoBack()) browser->GoBack();
  return 0;
}

LRESULT CMainDlg::OnGoForward(UINT, WPARAM, LPARAM, BOOL&) {
  CefRefPtr<CefBrowser> browser = Browser();
  if (browser && browser->CanGoForward()) browser->GoForward();
  return 0;
}

LRESULT CMainDlg::OnReloadPage(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_client) m_client->Refresh();  // on the error page: the page that failed
  return 0;
}

LRESULT CMainDlg::OnShowToolBarMenu(UINT, WPARAM, LPARAM, BOOL&) {
  // Deletes itself when its window goes; the main window keeps no pointer to it.
  CToolBarMenu* menu = new CToolBarMenu();
  menu->m_bUpdatePending = m_bUpdateAvailable;
  menu->Create(g_hMainWnd, L"tool_bar_menu", WS_POPUP | WS_VISIBLE, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
               CW_USEDEFAULT, CW_USEDEFAULT);
  return 0;
}

LRESULT CMainDlg::OnNavState(UINT, WPARAM wParam, LPARAM lParam, BOOL&) {
  if (m_toolbar.GetHWND() == nullptr) return 0;
  if (CControlUI* back = m_toolbar.GetPaintManager().FindControl(L"button_back")) back->SetEnabled(wParam != 0);
  if (CControlUI* forward = m_toolbar.GetPaintManager().FindControl(L"button_forward")) {
    forward->SetEnabled(lParam != 0);
  }
  return 0;
}

LRESULT CMainDlg::OnUpdateAvailable(UINT, WPARAM, LPARAM, BOOL&) {
  m_bUpdateAvailable = true;
  ShowUpdatePrompt(false, L"update_prompt_dlg");
  return 0;
}

LRESULT CMainDlg::OnInstallerReady(UINT, WPARAM, LPARAM, BOOL&) {
  if (m_bUpdateAvailable && IsInstallerReady()) ShowUpdatePrompt(true, L"about_dlg");
  return 0;
}

LRESULT CMainDlg::OnUpdateUnverified(UINT, WPARAM, LPARAM, BOOL&) {
  ShowUpdatePrompt(false, L"update_prompt_dlg", true);
  return 0;
}

LRESULT CMainDlg::OnRelayout(UINT, WPARAM, LPARAM, BOOL&) {
  LayoutChildren();
  return 0;
}

}  // namespace corvane
