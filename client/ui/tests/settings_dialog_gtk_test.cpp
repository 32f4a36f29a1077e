// The settings dialog on GTK, driven as a person drives it: Tab to an option, Space to choose
// it, Tab and Space on the close button; the store's file is read back afterwards.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include "client/ui/client_settings.h"
#include "client/ui/setting_dlg_gtk.h"
#include "skin/tests/window_test_support_gtk.h"

namespace corvane {
namespace {

TEST(SettingDlgGtk, TabAndSpaceChooseTheOptionAndTheStoreKeepsIt) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (xvfb-run)";
  g_settings.m_bExitOnClose = false;
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
  EXPECT_FALSE(stored.m_bClosePrompt);
}

}  // namespace
}  // namespace corvane
