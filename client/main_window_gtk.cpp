// CMainWindow: building the window, the channel's commands, the toolbar's and browser's
// placement, and the close action.
#include "client/main_window_gtk.h"

#include "base/main_loop_gtk.h"
#include "base/product_names.h"
#include "base/service_host.h"
#include "base/utf8.h"
#include "client/browser/cef_runtime.h"
#include "client/main_window_channel_gtk.h"
#include "client/ui/about_choice.h"
#include "client/ui/client_settings.h"
#include "client/policy/machine_policy_source.h"
#include "client/ui/close_decision.h"
#include "client/ui/close_prompt_rules.h"
#include "client/ui/close_prompt_dlg_gtk.h"
#include "client/ui/setting_dlg_gtk.h"
#include "client/ui/tool_bar_menu_gtk.h"
#include "client/update/package_download_gtk.h"
#include "client/update/update_prompt_dlg_gtk.h"

namespace corvane {
namespace {

constexpr int kToolBarHeight = 30;        // logical pixels; GDK scales them
constexpr int kSettingButtonInset = 115;  // the menu button's left margin is W - 115
constexpr int kRestoredWidth = 1138;      // the Windows template's 759 x 324 dialog units, at 96 DPI
constexpr int kRestoredHeight = 527;
constexpr uint32_t kDialogStyle = UI_WS_OVERLAPPEDWINDOW | UI_WS_VISIBLE;

}  // namespace

CMainWindow::~CMainWindow() {
  SetMainWindowHandler(nullptr);
  if (m_window) gtk_widget_destroy(m_window);  // takes the toolbar and the browser with it
}

bool CMainWindow::Create(CorvaneClientPlatform platform) {
  if (m_window) return true;
  m_window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  GtkWindow* window = GTK_WINDOW(m_window);
  gtk_window_set_title(window, WideToUtf8(kMainWindowCaption).c_str());
  gtk_window_set_default_size(window, kRestoredWidth, kRestoredHeight);
  gtk_window_set_position(window, GTK_WIN_POS_CENTER);  // the size it restores to
  const std::string icon = WideToUtf8(CPaintManagerUI::GetInstancePath()) + "corvane.png";
  if (g_file_test(icon.c_str(), G_FILE_TEST_EXISTS)) gtk_window_set_icon_from_file(window, icon.c_str(), nullptr);
  g_signal_connect(m_window, "delete-event", G_CALLBACK(&CMainWindow::OnDeleteThunk), this);
  g_signal_connect(m_window, "destroy", G_CALLBACK(&CMainWindow::OnDestroyThunk), this);

  GtkWidget* column = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(m_window), column);
  m_toolbar.Create(column, L"toolbar", UI_WS_CHILD | UI_WS_VISIBLE, 0, 0, 0, 600, kToolBarHeight);
  if (AtkObject* bar = gtk_widget_get_accessible(m_toolbar.GetHWND())) {
    atk_object_set_role(bar, ATK_ROLE_TOOL_BAR);
    atk_object_set_name(bar, "\u5DE5\u5177\u680F");  // 工具栏
  }
  g_signal_connect(m_window, "key-press-event", G_CALLBACK(&CMainWindow::OnKeyThunk), this);
  g_signal_connect(m_window, "set-focus", G_CALLBACK(&CMainWindow::OnSetFocusThunk), this);
  m_browserBox = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_widget_set_hexpand(m_browserBox, TRUE);
  gtk_widget_set_vexpand(m_browserBox, TRUE);
  gtk_box_pack_start(GTK_BOX(column), m_browserBox, TRUE, TRUE, 0);
  g_signal_connect(m_window, "size-allocate", G_CALLBACK(&CMainWindow::OnAllocateThunk), this);
  gtk_widget_show_all(column);

  g_mainWindow = m_window;
  SetMainWindowHandler([this](const MainNotice& notice) { Handle(notice); });
  CreateBrowser(std::move(platform));
  return true;
}

void CMainWindow::CreateBrowser(CorvaneClientPlatform platform) {
  // From the runtime's thread: carried out on the main loop.
  platform.pageLetGo = [this] { PostToMainLoop([this] { OnPageLetGo(); }); };
  m_client = new CorvaneCefClient(std::move(platform));
  CefWindowInfo info;
  info.parent_window = m_browserBox;  // the backend puts its view into this box
  info.windowless_rendering_enabled = false;
  cef_browser_host_create_browser(info, m_client.get(), CefString(m_client->GetHomeUrl()), CefBrowserSettings(),
                                  nullptr);
}

void CMainWindow::ShowMaximised() {
  if (!m_window) return;
  gtk_window_maximize(GTK_WINDOW(m_window));
  gtk_widget_show(m_window);
}

void CMainWindow::Present() {
  if (!m_window) return;
  gtk_window_deiconify(GTK_WINDOW(m_window));
  gtk_window_present(GTK_WINDOW(m_window));
}

void CMainWindow::Exit(int code) {
  if (m_window) gtk_widget_destroy(m_window);
  CPaintManagerUI::QuitMessageLoop(code);
}

void CMainWindow::ExitAskingPage(int code) {
  CefRefPtr<CefBrowser> browser = Browser();
  if (!m_pendingExit.Begin(code, browser != nullptr)) return Exit(code);
  // The tray's exit may come while the window is minimised: the page's question must be seen.
  if (m_window) gtk_window_present(GTK_WINDOW(m_window));
  browser->GetHost()->CloseBrowser(false);  // the page's answer comes back as OnPageLetGo
}

void CMainWindow::OnPageLetGo() {
  if (std::optional<int> code = m_pendingExit.Take()) Exit(*code);
}

CefRefPtr<CefBrowser> CMainWindow::Browser() const { return m_client ? m_client->GetBrowser() : nullptr; }

void CMainWindow::LayoutChildren() {
  // GTK places the strip and the browser (the box gives the strip its 30 pixels and the browser
  // the rest); only the menu button's margin follows the width, as on Windows.
  if (!m_window || !m_toolbar.GetHWND()) return;
  const int width = gtk_widget_get_allocated_width(m_window);
  if (width == m_lastWidth) return;
  m_lastWidth = width;
  if (CControlUI* setting = m_toolbar.GetPaintManager().FindControl(L"button_setting")) {
    setting->SetPadding(UiRect{width - kSettingButtonInset, 2, 2, 2});
  }
}

gboolean CMainWindow::OnKeyThunk(GtkWidget*, GdkEventKey* key, gpointer self) {
  // Before the focused widget sees it: the page must not keep F6 to itself.
  if (key->keyval != GDK_KEY_F6 || (key->state & (GDK_CONTROL_MASK | GDK_MOD1_MASK))) return FALSE;
  static_cast<CMainWindow*>(self)->MoveBetweenPageAndToolBar();
  return TRUE;
}

void CMainWindow::OnSetFocusThunk(GtkWindow*, GtkWidget* widget, gpointer data) {
  // The page took the keyboard (a click into it): no toolbar button stays focused or marked.
  auto* self = static_cast<CMainWindow*>(data);
  if (widget != nullptr && widget != self->m_toolbar.GetHWND()) self->m_toolbar.GetPaintManager().SetFocus(nullptr, false);
}

void CMainWindow::MoveBetweenPageAndToolBar() {
  GtkWidget* bar = m_toolbar.GetHWND();
  if (!bar || !m_browserBox) return;
  CPaintManagerUI& ui = m_toolbar.GetPaintManager();
  // The strip may hold GTK's focus while the page has the reader's (a link it activated): only
  // a focused button means the keyboard is in the toolbar.
  if (gtk_widget_has_focus(bar) && ui.GetFocus() != nullptr) {
    ui.SetFocus(nullptr, false);
    gtk_widget_child_focus(m_browserBox, GTK_DIR_TAB_FORWARD);
    return;
  }
  gtk_widget_grab_focus(bar);
  const std::vector<CControlUI*> order = ui.GetFocusOrder();
  if (!order.empty()) ui.SetFocus(order.front(), true);
}

void CMainWindow::OnAllocateThunk(GtkWidget*, GdkRectangle*, gpointer self) {
  static_cast<CMainWindow*>(self)->LayoutChildren();
}

gboolean CMainWindow::OnDeleteThunk(GtkWidget*, GdkEvent*, gpointer data) {
  auto* self = static_cast<CMainWindow*>(data);
  self->CloseOrMinimize(kUiCancel);  // the caption's close is the Cancel command, as on Windows
  return TRUE;                       // the close action decides; the window manager does not
}

void CMainWindow::OnDestroyThunk(GtkWidget* widget, gpointer data) {
  auto* self = static_cast<CMainWindow*>(data);
  g_signal_handlers_disconnect_by_data(widget, self);
  if (g_mainWindow == widget) g_mainWindow = nullptr;
  SetMainWindowHandler(nullptr);
  self->m_window = nullptr;
  self->m_browserBox = nullptr;
}

void CMainWindow::CloseOrMinimize(int code) {
  const CloseAction action = DecideMainWindowClose(g_settings, GetMachinePolicy());
  if (action == CloseAction::ShowPrompt) {
    CClosePromptDlg prompt;
    prompt.Create(m_window, L"close_prompt_dlg", 0, 0);
    prompt.CenterWindow();
    prompt.ShowModal();
  } else if (action == CloseAction::Exit) {
    ExitAskingPage(code);
  } else if (m_window) {
    gtk_window_iconify(GTK_WINDOW(m_window));  // stays on the taskbar
  }
}

std::string CMainWindow::SystemUpdatesOnly() const {
  return AptSourceEnabled(aptSourcePath) ? SystemUpdatesLine() : std::string();
}

void CMainWindow::ShowUpdatePrompt(bool installMode, const wchar_t* windowName, const std::string& line) {
  CUpdatePromptDlg prompt;
  prompt.SetInstallMode(installMode);
  prompt.SetLine(line);
  prompt.Create(m_window, windowName, kDialogStyle, 0);
  prompt.CenterWindow();
  m_updatePrompt = &prompt;
  prompt.ShowModal();
  m_updatePrompt = nullptr;
}

void CMainWindow::Handle(const MainNotice& notice) {
  CefRefPtr<CefBrowser> browser = Browser();
  switch (notice.command) {
    case MainCommand::ShowSettings: {
      CSettingDlg dialog;
      dialog.Create(m_window, L"setting_dlg", kDialogStyle, 0);
      dialog.CenterWindow();
      dialog.ShowModal();
      break;
    }
    case MainCommand::ShowHelp: {
      const std::string url = WideToUtf8(ServiceUrl(L"/Problem.html"));
      if (openUrl) {
        openUrl(url);
      } else {
        gtk_show_uri_on_window(m_window ? GTK_WINDOW(m_window) : nullptr, url.c_str(), GDK_CURRENT_TIME, nullptr);
      }
      break;
    }
    case MainCommand::ShowAbout: {
      const std::string line = m_bUpdateAvailable ? SystemUpdatesOnly() : std::string();
      const AboutChoice choice = ChooseAbout(m_bUpdateAvailable, line.empty() && !ReadyPackagePath().empty());
      CUpdatePromptDlg about;
      about.SetLayoutFile(choice.layout);
      about.SetInstallMode(choice.installMode);
      about.SetLine(line);
      about.Create(m_window, L"about_dlg", kDialogStyle, 0);
      about.CenterWindow();
      about.ShowModal();
      break;
    }
    case MainCommand::ExitApp:
      ExitAskingPage(0);
      break;
    case MainCommand::GoBack:
      if (browser && browser->CanGoBack()) browser->GoBack();
      break;
    case MainCommand::GoForward:
      if (browser && browser->CanGoForward()) browser->GoForward();
      break;
    case MainCommand::Reload:
      if (m_client) m_client->Refresh();  // on the error page: the page that failed
      break;
    case MainCommand::ShowToolBarMenu: {
      auto* menu = new CToolBarMenu;  // deletes itself when its window goes
      menu->m_bUpdatePending = m_bUpdateAvailable;
      menu->Create(m_window, L"tool_bar_menu", UI_WS_POPUP | UI_WS_VISIBLE, 0);
      break;
    }
    case MainCommand::NavState:
      if (auto* back = m_toolbar.GetPaintManager().FindControl(L"button_back")) back->SetEnabled(notice.canGoBack);
      if (auto* fwd = m_toolbar.GetPaintManager().FindControl(L"button_forward")) fwd->SetEnabled(notice.canGoForward);
      break;
    case MainCommand::UpdateAvailable:
      m_bUpdateAvailable = true;
      ShowUpdatePrompt(false, L"update_prompt_dlg", SystemUpdatesOnly());
      break;
    case MainCommand::InstallerReady:
      // A verified package is waiting: the prompt in install mode (verified again on the way),
      // unless apt has taken over the updates since the download began.
      if (m_bUpdateAvailable && SystemUpdatesOnly().empty() && !ReadyPackagePath().empty()) {
        ShowUpdatePrompt(true, L"about_dlg", std::string());
      }
      break;
    case MainCommand::UpdateUnverified:
      ShowUpdatePrompt(false, L"update_prompt_dlg", LastPackageRefusal());
      break;
    case MainCommand::Relayout:
      m_lastWidth = -1;
      LayoutChildren();
      if (m_browserBox) gtk_widget_show_all(m_browserBox);
      break;
  }
}

}  // namespace corvane
