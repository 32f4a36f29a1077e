// The Linux main window in-process over the scripted runtime, as a person drives it under Xvfb
// with openbox: the toolbar's buttons reach the browser through the channel (back and forward
// following the navigation state), and closing the window asks, minimises or ends the program
// as the remembered flags say.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/browser/scripted/scripted_runtime.h"
#include "client/browser/client_platform_gtk.h"
#include "client/main_window_channel_gtk.h"
#include "client/main_window_gtk.h"
#include "client/tray_gtk.h"
#include "client/ui/client_settings.h"
#include "skin/tests/window_test_support_gtk.h"

namespace corvane {
namespace {

// A shown top-level window of the given role (the skinned windows' class names), or null.
GtkWindow* FindShown(const char* role) {
  GtkWindow* found = nullptr;
  GList* all = gtk_window_list_toplevels();
  for (GList* i = all; i; i = i->next) {
    const char* r = gtk_window_get_role(GTK_WINDOW(i->data));
    if (r && std::string(r) == role && gtk_widget_get_mapped(GTK_WIDGET(i->data))) found = GTK_WINDOW(i->data);
  }
  g_list_free(all);
  return found;
}

class MainWindowGtk : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (xvfb-run)";
    SetCefRuntime(&m_runtime);
    ASSERT_TRUE(m_window.Create(LinuxClientPlatform()));
    m_window.ShowMaximised();
    test::Show(m_window.GetWindow());
    ASSERT_EQ(m_runtime.Requests().size(), 1u);
    EXPECT_EQ(m_runtime.Requests()[0].windowInfo.parent_window, m_window.GetBrowserContainer());
    EXPECT_EQ(m_runtime.Requests()[0].url.ToString(), m_window.GetClient()->GetHomeUrl());
    m_browser = m_runtime.DeliverBrowser(m_window.GetClient().get());
  }
  void TearDown() override {
    if (m_browser) m_browser->Detach();
    SetCefRuntime(nullptr);
  }
  bool Iconified() {
    GtkWidget* w = m_window.GetWindow();
    return w && (gdk_window_get_state(gtk_widget_get_window(w)) & GDK_WINDOW_STATE_ICONIFIED) != 0;
  }
  // openbox's close key on the focused window: the caption's close, as a person gives it.
  void CloseByWindowManager() {
    ASSERT_TRUE(test::PumpUntil([&] { return test::ShownAndFocused(m_window.GetWindow()); }));
    test::Press("alt+F4");
  }

  CScriptedRuntime m_runtime;
  CMainWindow m_window;
  CefRefPtr<CScriptedBrowser> m_browser;
};

TEST_F(MainWindowGtk, ToolBarButtonsReachTheBrowserThroughTheChannel) {
  GtkWidget* strip = m_window.GetToolBar().GetHWND();
  CPaintManagerUI& ui = m_window.GetToolBar().GetPaintManager();
  EXPECT_EQ(gtk_widget_get_allocated_height(strip), 30);
  EXPECT_EQ(gtk_widget_get_allocated_width(strip), gtk_widget_get_allocated_width(m_window.GetWindow()));
  // The menu button keeps to the right edge of the maximised window (margin W - 115).
  EXPECT_EQ(ui.FindControl(L"button_setting")->GetPos().left, gtk_widget_get_allocated_width(strip) - 115);

  // The page can go back, not forward: the runtime says so, the strip follows.
  m_browser->SetNavigationState(true, false, false);
  m_runtime.FireLoadingStateChange(m_browser, false, true, false);
  ASSERT_TRUE(test::PumpUntil([&] { return !ui.FindControl(L"button_forward")->IsEnabled(); }));
  EXPECT_TRUE(ui.FindControl(L"button_back")->IsEnabled());

  for (const wchar_t* button : {L"button_back", L"button_forward", L"button_refresh"}) {
    test::ClickAt(strip, test::CentreOf(ui, button));
  }
  EXPECT_TRUE(test::PumpUntil([&] { return m_browser->Calls().size() >= 2; }));
  // The disabled forward button posts nothing: the browser is not even asked whether it can.
  EXPECT_EQ(m_browser->Calls(), (std::vector<std::string>{"CanGoBack", "GoBack", "IsLoading", "Reload"}));

  // The menu button opens the toolbar menu beside the main window.
  test::ClickAt(strip, test::CentreOf(ui, L"button_setting"));
  GtkWindow* menu = nullptr;
  EXPECT_TRUE(test::PumpUntil([&] { return (menu = FindShown("ToolBarMenu")) != nullptr; }));
  if (menu) {
    EXPECT_EQ(gtk_window_get_transient_for(menu), GTK_WINDOW(m_window.GetWindow()));
  }
  if (menu) test::Press("Escape");
}

TEST_F(MainWindowGtk, ClosingAsksMinimisesOrEndsAsRemembered) {
  int code = -1;
  ASSERT_FALSE(CPaintManagerUI::TakeQuitRequest(code));

  // Asking: the close prompt comes up over the main window; dismissing it changes nothing.
  g_settings.m_bClosePrompt = true;
  g_settings.m_bExitOnClose = true;
  bool prompted = false;
  const guint watch = g_timeout_add(50, +[](gpointer seen) -> gboolean {
    // Runs inside the prompt's modal loop: it sees the prompt over the main window and dismisses it.
    GtkWindow* prompt = FindShown("ClosePromptDlg");
    if (prompt && gtk_window_get_transient_for(prompt) == GTK_WINDOW(g_mainWindow)) {
      *static_cast<bool*>(seen) = true;
      g_spawn_command_line_sync("xdotool key Escape", nullptr, nullptr, nullptr, nullptr);
    }
    return G_SOURCE_CONTINUE;
  }, &prompted);
  CloseByWindowManager();
  EXPECT_TRUE(test::PumpUntil([&] { return prompted; }));
  test::PumpIdle();
  g_source_remove(watch);
  ASSERT_NE(m_window.GetWindow(), nullptr);
  EXPECT_FALSE(Iconified());
  EXPECT_FALSE(CPaintManagerUI::TakeQuitRequest(code));
  EXPECT_EQ(m_browser->Calls(), std::vector<std::string>{}) << "only an exit asks the page";

  // Minimising: the window stays, iconified (on the taskbar), and comes back when presented.
  g_settings.m_bClosePrompt = false;
  g_settings.m_bExitOnClose = false;
  test::Show(m_window.GetWindow());
  CloseByWindowManager();
  EXPECT_TRUE(test::PumpUntil([&] { return Iconified(); }));
  EXPECT_FALSE(gtk_window_get_skip_taskbar_hint(GTK_WINDOW(m_window.GetWindow())));
  EXPECT_FALSE(CPaintManagerUI::TakeQuitRequest(code));
  m_window.Present();
  EXPECT_TRUE(test::PumpUntil([&] { return !Iconified() && test::ShownAndFocused(m_window.GetWindow()); }));

  EXPECT_EQ(m_browser->Calls(), std::vector<std::string>{}) << "minimising never asks the page";

  // Exiting: the page is asked first; only once it lets go does the window go and the loop end
  // with the Cancel command's id, as on Windows.
  g_settings.m_bExitOnClose = true;
  CloseByWindowManager();
  EXPECT_TRUE(test::PumpUntil([&] { return !m_browser->Calls().empty(); }));
  EXPECT_EQ(m_browser->Calls(), std::vector<std::string>{"CloseBrowser(false)"});
  test::PumpIdle();
  EXPECT_NE(m_window.GetWindow(), nullptr) << "the page has not answered";
  EXPECT_FALSE(CPaintManagerUI::TakeQuitRequest(code));
  EXPECT_TRUE(m_runtime.FireDoClose(m_browser));
  EXPECT_TRUE(test::PumpUntil([&] { return m_window.GetWindow() == nullptr; }));
  EXPECT_TRUE(CPaintManagerUI::TakeQuitRequest(code));
  EXPECT_EQ(code, 2);
  EXPECT_EQ(g_mainWindow, nullptr);
}

// The tray menu's entries, chosen as a StatusNotifier host chooses them (activating the item):
// the extra entry restores the minimised window, the others go through the channel or end.
TEST_F(MainWindowGtk, TrayMenuShowsTheWindowPostsItsCommandsAndExits) {
  class CRecorder : public IMainWindowChannel {
   public:
    void Post(const MainNotice& notice) override { posted.push_back(notice.command); }
    std::vector<MainCommand> posted;
  } recorder;
  CTrayIcon tray;
  tray.Create("", [this] { m_window.Present(); }, [this] { m_window.Exit(0); });
  std::vector<GtkMenuItem*> items;
  std::vector<std::string> labels;
  GList* children = gtk_container_get_children(GTK_CONTAINER(tray.GetMenu()));
  for (GList* i = children; i; i = i->next) {
    items.push_back(GTK_MENU_ITEM(i->data));
    labels.push_back(gtk_menu_item_get_label(GTK_MENU_ITEM(i->data)));
  }
  g_list_free(children);
  ASSERT_EQ(labels, (std::vector<std::string>{"显示主窗口", "设置", "帮助", "关于Drovessa", "退出"}));

  gtk_window_iconify(GTK_WINDOW(m_window.GetWindow()));
  ASSERT_TRUE(test::PumpUntil([&] { return Iconified(); }));
  gtk_menu_item_activate(items[0]);
  EXPECT_TRUE(test::PumpUntil([&] { return !Iconified() && test::ShownAndFocused(m_window.GetWindow()); }));

  SetMainWindowChannel(&recorder);
  for (int i = 1; i <= 3; ++i) gtk_menu_item_activate(items[i]);
  SetMainWindowChannel(nullptr);
  EXPECT_EQ(recorder.posted,
            (std::vector<MainCommand>{MainCommand::ShowSettings, MainCommand::ShowHelp, MainCommand::ShowAbout}));

  int code = -1;
  gtk_menu_item_activate(items[4]);
  EXPECT_EQ(m_window.GetWindow(), nullptr);
  EXPECT_TRUE(CPaintManagerUI::TakeQuitRequest(code));
  EXPECT_EQ(code, 0);
}

}  // namespace
}  // namespace corvane
