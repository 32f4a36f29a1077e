// The toolbar menu on GTK over a stand-in main window: placed beside it, the badge while an
// update is pending, a click posts its command and closes the menu, and the menu closes as soon
// as another window takes the focus (it deletes itself either way).
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <vector>

#include "client/main_window_channel_gtk.h"
#include "client/ui/tool_bar_menu_gtk.h"
#include "skin/tests/window_test_support_gtk.h"

namespace corvane {
namespace {

// Watches a menu's window: gone once the widget is destroyed.
struct Gone {
  explicit Gone(GtkWidget* w) { g_signal_connect(w, "destroy", G_CALLBACK(+[](GtkWidget*, gpointer b) {
                                                   *static_cast<bool*>(b) = true;
                                                 }), &gone); }
  bool gone = false;
};

TEST(ToolBarMenuGtk, PlacedBesideTheMainWindowClosesOnAClickAndOnFocusLoss) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (xvfb-run)";
  GtkWidget* main = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(main), 800, 600);
  gtk_window_move(GTK_WINDOW(main), 100, 80);
  g_mainWindow = main;
  test::Show(main);
  std::vector<MainCommand> posted;
  SetMainWindowHandler([&](const MainNotice& n) { posted.push_back(n.command); });

  auto* menu = new CToolBarMenu;
  menu->m_bUpdatePending = true;
  menu->Create(main, L"tool_bar_menu", UI_WS_POPUP | UI_WS_VISIBLE, 0);
  GtkWidget* window = menu->GetHWND();
  Gone first(window);
  test::Show(window);
  auto* about = menu->GetPaintManager().FindControlAs<CButtonUI>(L"button_about");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(about->GetNormalImage(), L"tool_bar_menu_about_update_normal.png");
  int mx = 0, my = 0, mw = 0, mh = 0, x = 0, y = 0, w = 0, h = 0;
  gtk_window_get_position(GTK_WINDOW(main), &mx, &my);
  gtk_window_get_size(GTK_WINDOW(main), &mw, &mh);
  gtk_window_get_position(GTK_WINDOW(window), &x, &y);
  gtk_window_get_size(GTK_WINDOW(window), &w, &h);
  EXPECT_EQ(x + w, mx + mw - 25);
  EXPECT_EQ(y, my + 60);

  test::ClickAt(window, test::CentreOf(menu->GetPaintManager(), L"button_setting"));
  EXPECT_TRUE(test::PumpUntil([&] { return first.gone && !posted.empty(); }));
  EXPECT_EQ(posted, std::vector<MainCommand>{MainCommand::ShowSettings});

  // A second menu: the main window takes the focus back, the menu goes without any click.
  menu = new CToolBarMenu;
  menu->Create(main, L"tool_bar_menu", UI_WS_POPUP | UI_WS_VISIBLE, 0);
  Gone second(menu->GetHWND());
  test::Show(menu->GetHWND());
  EXPECT_EQ(menu->GetPaintManager().FindControlAs<CButtonUI>(L"button_about")->GetNormalImage().find(L"update"),
            std::wstring::npos) << "no update pending: the layout's own images";
  gtk_window_present(GTK_WINDOW(main));
  EXPECT_TRUE(test::PumpUntil([&] { return second.gone; }));
  EXPECT_EQ(posted.size(), 1u);

  SetMainWindowHandler(nullptr);
  g_mainWindow = nullptr;
  gtk_widget_destroy(main);
}

}  // namespace
}  // namespace corvane
