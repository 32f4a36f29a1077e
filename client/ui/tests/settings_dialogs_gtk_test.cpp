// The settings dialogs on GTK, driven as a person drives them: in the settings dialog Tab to an
// option, Space to choose it, Tab and Space on the close button; in the close prompt clicks on
// the box and the buttons over a stand-in main window. The store's file is read back.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <vector>

#include "client/main_window_channel_gtk.h"
#include "client/ui/client_settings.h"
#include "client/ui/close_prompt_dlg_gtk.h"
#include "client/ui/setting_dlg_gtk.h"
#include "skin/tests/window_test_support_gtk.h"

namespace corvane {
namespace {

TEST(SettingDlgGtk, TabAndSpaceChooseTheOptionAndTheStoreKeepsIt) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (xvfb-run)";
  g_settings.AllowWriting();  // as the one running client does
  // Whatever an earlier run left in the file: minimise, and no prompt.
  g_settings.m_bExitOnClose = false;
  g_settings.m_bClosePrompt = false;
  g_settings.Save();
  CSettingDlg dlg;
  dlg.Create(nullptr, L"setting_dlg", UI_WS_OVERLAPPEDWINDOW | UI_WS_VISIBLE, 0);
  ASSERT_NE(dlg.GetHWND(), nullptr);
  auto* tray = dlg.GetPaintManager().FindControlAs<COptionUI>(L"option_tray");
  ASSERT_NE(tray, nullptr);
  EXPECT_TRUE(tray->IsSelected()) << "minimising is stored";
  dlg.CenterWindow();
  g_timeout_add(50, [](gpointer data) -> gboolean {
    auto* d = static_cast<CSettingDlg*>(data);
    if (!test::ShownAndFocused(d->GetHWND())) return G_SOURCE_CONTINUE;
    test::Press("Tab Tab Tab");  // button_close, option_tray, option_exit
    test::Press("space");
    test::Press("shift+Tab shift+Tab");  // back to button_close
    test::Press("space");
    return G_SOURCE_REMOVE;
  }, &dlg);
  EXPECT_EQ(dlg.ShowModal(), 1u);
  EXPECT_TRUE(g_settings.m_bExitOnClose);
  const CClientSettings stored(g_settings.FilePath());  // the file as another process reads it
  EXPECT_TRUE(stored.m_bExitOnClose);
  EXPECT_FALSE(stored.m_bClosePrompt) << "the dialog leaves the prompt flag alone";
}

// Runs `dialog` modally and lets `act` drive it once the window manager has shown and focused it.
template <typename Dialog>
unsigned RunDriven(Dialog& dialog, void (*act)(Dialog&)) {
  struct Driver {
    Dialog* dialog;
    void (*act)(Dialog&);
  } driver{&dialog, act};
  g_timeout_add(50, [](gpointer data) -> gboolean {
    auto* d = static_cast<Driver*>(data);
    if (!test::ShownAndFocused(d->dialog->GetHWND())) return G_SOURCE_CONTINUE;
    d->act(*d->dialog);
    return G_SOURCE_REMOVE;
  }, &driver);
  return dialog.ShowModal();
}

TEST(ClosePromptGtk, OkWithTheBoxTickedMinimisesAndStopsPromptsCancelEndsTheProgram) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (xvfb-run)";
  GtkWidget* main = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(main), 600, 400);
  g_mainWindow = main;
  test::Show(main);
  std::vector<MainCommand> posted;
  SetMainWindowHandler([&](const MainNotice& n) { posted.push_back(n.command); });
  g_settings.AllowWriting();
  g_settings.m_bClosePrompt = true;
  g_settings.m_bExitOnClose = true;
  g_settings.Save();

  CClosePromptDlg prompt;
  prompt.Create(main, L"close_prompt_dlg", 0, 0);
  prompt.CenterWindow();
  EXPECT_EQ(RunDriven<CClosePromptDlg>(prompt, [](CClosePromptDlg& d) {
              test::ClickAt(d.GetHWND(), test::CentreOf(d.GetPaintManager(), L"checkbox_no_prompt"));
              test::ClickAt(d.GetHWND(), test::CentreOf(d.GetPaintManager(), L"button_ok"));
            }),
            1u);
  EXPECT_TRUE(test::PumpUntil([&] {
    return (gdk_window_get_state(gtk_widget_get_window(main)) & GDK_WINDOW_STATE_ICONIFIED) != 0;
  })) << "the main window is minimised";
  const CClientSettings afterOk(g_settings.FilePath());
  EXPECT_FALSE(afterOk.m_bExitOnClose) << "minimising remembered";
  EXPECT_FALSE(afterOk.m_bClosePrompt) << "the ticked box stops prompts";
  test::PumpIdle();
  EXPECT_TRUE(posted.empty());

  gtk_window_deiconify(GTK_WINDOW(main));
  test::Show(main);
  CClosePromptDlg second;
  second.Create(main, L"close_prompt_dlg", 0, 0);
  EXPECT_EQ(RunDriven<CClosePromptDlg>(second, [](CClosePromptDlg& d) {
              test::ClickAt(d.GetHWND(), test::CentreOf(d.GetPaintManager(), L"button_cancel"));
            }),
            1u);
  EXPECT_TRUE(test::PumpUntil([&] { return !posted.empty(); }));
  EXPECT_EQ(posted, std::vector<MainCommand>{MainCommand::ExitApp});
  const CClientSettings afterCancel(g_settings.FilePath());
  EXPECT_TRUE(afterCancel.m_bExitOnClose) << "ending remembered";
  EXPECT_TRUE(afterCancel.m_bClosePrompt) << "the unticked box keeps prompts";
  SetMainWindowHandler(nullptr);
  g_mainWindow = nullptr;
  gtk_widget_destroy(main);
}

}  // namespace
}  // namespace corvane
