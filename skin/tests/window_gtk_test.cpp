// The GTK host with real GTK windows under Xvfb and a window manager: the layout's size and
// places, the modal run, clicks and keys through X's own input (XTest), the caption's double
// click, the viewer's listing against the portable layout for every layout and scale, and the
// window's ATK object.
#include <atk/atk.h>
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "skin/tests/test_skin.h"
#include "skin/tests/window_test_support_gtk.h"
#include "skin/window_impl_base_gtk.h"
#include "tools/skin_viewer/viewer_options.h"

namespace corvane {
namespace {

using test::CentreOf;
using test::ClickAt;
using test::Press;
using test::PumpIdle;
using test::PumpUntil;
using test::Show;
using test::ShownAndFocused;

class CProbeWindow : public WindowImplBase {
 public:
  explicit CProbeWindow(std::wstring layout) : m_layout(std::move(layout)) {}
  const wchar_t* GetWindowClassName() const override { return L"CorvaneProbeWindow"; }
  CDuiString GetSkinFile() override { return m_layout; }
  CDuiString GetZIPFileName() const override { return test::SkinZipPath(); }
  void InitWindow() override { ++initCalls; }
  void OnClick(TNotifyUI& msg) override {
    clicks.push_back(msg.pSender->GetName().str());
    WindowImplBase::OnClick(msg);
  }
  CPaintManagerUI& Manager() { return m_PaintManager; }

  int initCalls = 0;
  std::vector<std::wstring> clicks;

 private:
  std::wstring m_layout;
};

constexpr uint32_t kDialogStyle = UI_WS_OVERLAPPEDWINDOW | UI_WS_VISIBLE;

class GtkHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (xvfb-run)"; }
};

TEST_F(GtkHost, BuildsFromTheArchiveAtTheLayoutsSizeWithTheControlsWhereTheLayoutPutsThem) {
  CProbeWindow w(L"setting_dlg.xml");
  ASSERT_NE(w.Create(nullptr, L"setting_dlg", kDialogStyle, 0), nullptr);
  EXPECT_EQ(w.initCalls, 1);
  EXPECT_TRUE(w.Manager().GetDiagnostics().empty());
  Show(w.GetHWND());
  EXPECT_FALSE(gtk_window_get_decorated(GTK_WINDOW(w.GetHWND()))) << "the skin draws the frame";
  int cx = 0, cy = 0;
  gtk_window_get_size(GTK_WINDOW(w.GetHWND()), &cx, &cy);
  EXPECT_EQ(cx, 400);
  EXPECT_EQ(cy, 236);
  // The same places as the portable layout of the same size (which the Windows host uses).
  auto portable = test::BuildFromXml(*test::OpenSkin()->Read(L"setting_dlg.xml"), {400, 236});
  EXPECT_EQ(viewer::List(w.Manager()), viewer::List(*portable));
  EXPECT_EQ(viewer::List(w.Manager()).size(), 3u);

  w.CenterWindow();
  PumpIdle();
  int x = 0, y = 0;
  gtk_window_get_position(GTK_WINDOW(w.GetHWND()), &x, &y);
  GdkRectangle work;
  gdk_monitor_get_workarea(gdk_display_get_primary_monitor(gdk_display_get_default()), &work);
  EXPECT_NEAR(x + cx / 2, work.x + work.width / 2, 2);
  EXPECT_NEAR(y + cy / 2, work.y + work.height / 2, 2);
}

TEST_F(GtkHost, MouseClicksRouteByNameAndTheKeyboardMovesTheFocusAndClicks) {
  CProbeWindow w(L"setting_dlg.xml");
  w.Create(nullptr, L"setting_dlg", kDialogStyle, 0);
  Show(w.GetHWND());
  auto* exit = w.Manager().FindControlAs<COptionUI>(L"option_exit");
  ClickAt(w.GetHWND(), CentreOf(w.Manager(), L"option_exit"));
  ASSERT_EQ(w.clicks, std::vector<std::wstring>{L"option_exit"});
  EXPECT_TRUE(exit->IsSelected());
  EXPECT_FALSE(w.Manager().IsFocusMarkShown()) << "focus by mouse shows no mark";

  // Tab order: button_close, option_tray, option_exit; the mouse left the focus on option_exit.
  Press("Tab");
  EXPECT_EQ(w.Manager().GetFocus(), w.Manager().FindControl(L"button_close"));
  EXPECT_TRUE(w.Manager().IsFocusMarkShown());
  Press("Tab");
  Press("space");
  EXPECT_EQ(w.clicks.back(), L"option_tray");
  EXPECT_FALSE(exit->IsSelected());
  Press("shift+Tab");
  Press("Return");
  EXPECT_EQ(w.clicks.back(), L"button_close");
  EXPECT_EQ(w.clicks.size(), 3u);
}

TEST_F(GtkHost, TheModalRunReturnsTheCloseValueWithItsOwnerDisabledMeanwhile) {
  CProbeWindow owner(L"about_dlg.xml");
  owner.Create(nullptr, L"owner", kDialogStyle, 0);
  Show(owner.GetHWND());
  CProbeWindow w(L"close_prompt_dlg.xml");
  w.Create(owner, L"close_prompt_dlg", UI_WS_VISIBLE, 0);
  struct Probe {
    CProbeWindow* dialog;
    GtkWidget* owner;
    bool ownerSensitive = true;
  } probe{&w, owner.GetHWND()};
  g_timeout_add(50, [](gpointer data) -> gboolean {
    auto* p = static_cast<Probe*>(data);
    if (!ShownAndFocused(p->dialog->GetHWND())) return G_SOURCE_CONTINUE;
    p->ownerSensitive = gtk_widget_is_sensitive(p->owner);
    // A real click on the dialog's "button_ok" routes to OnClick; the probe then closes with 7.
    ClickAt(p->dialog->GetHWND(), CentreOf(p->dialog->Manager(), L"button_ok"));
    p->dialog->Close(7);
    return G_SOURCE_REMOVE;
  }, &probe);
  EXPECT_EQ(w.ShowModal(), 7u);
  EXPECT_FALSE(probe.ownerSensitive);
  EXPECT_TRUE(gtk_widget_is_sensitive(owner.GetHWND()));
  EXPECT_EQ(w.GetHWND(), nullptr) << "the window is gone";
  EXPECT_EQ(w.clicks, std::vector<std::wstring>{L"button_ok"});

  // Escape ends a modal window with the cancel value.
  CProbeWindow second(L"close_prompt_dlg.xml");
  second.Create(owner, L"close_prompt_dlg", UI_WS_VISIBLE, 0);
  g_timeout_add(50, [](gpointer data) -> gboolean {
    auto* d = static_cast<CProbeWindow*>(data);
    if (!ShownAndFocused(d->GetHWND())) return G_SOURCE_CONTINUE;
    Press("Escape");
    return G_SOURCE_REMOVE;
  }, &second);
  EXPECT_EQ(second.ShowModal(), kUiCancel);
  EXPECT_TRUE(gtk_widget_is_sensitive(owner.GetHWND()));
}

TEST_F(GtkHost, AQuitDuringTheModalRunEndsItAndStaysForTheOuterLoop) {
  CProbeWindow w(L"about_dlg.xml");
  w.Create(nullptr, L"about_dlg", kDialogStyle, 0);
  CPaintManagerUI::QuitMessageLoop(3);
  EXPECT_EQ(w.ShowModal(), kUiCancel);
  EXPECT_NE(w.GetHWND(), nullptr) << "the window outlived the run";
  EXPECT_EQ(CPaintManagerUI::MessageLoop(), 3);
}

TEST_F(GtkHost, ADoubleClickOnTheCaptionMaximisesAndRestores) {
  CProbeWindow w(L"update_prompt_dlg.xml");
  w.Create(nullptr, L"update_prompt_dlg", kDialogStyle, 0);
  Show(w.GetHWND());
  GtkWindow* window = GTK_WINDOW(w.GetHWND());
  ClickAt(w.GetHWND(), UiPoint{60, 20}, 2);
  EXPECT_TRUE(PumpUntil([&] { return gtk_window_is_maximized(window) != FALSE; }));
  // GDK counts a press within twice the double-click time of a double click as a third click.
  gint doubleClickTime = 400;
  g_object_get(gtk_settings_get_default(), "gtk-double-click-time", &doubleClickTime, nullptr);
  const gint64 later = g_get_monotonic_time() + (2 * doubleClickTime + 100) * 1000;
  PumpUntil([&] { return g_get_monotonic_time() > later; });
  ClickAt(w.GetHWND(), UiPoint{60, 20}, 2);
  EXPECT_TRUE(PumpUntil([&] { return gtk_window_is_maximized(window) == FALSE; }));
  EXPECT_TRUE(w.clicks.empty());
}

// The viewer's listing for every layout at scales 1 and 1.5: the portable layout's places.
TEST(GtkViewer, ListsTheControlsWhereThePortableLayoutPutsThemAtEveryScale) {
  const char* layouts[] = {"main_tool_bar.xml", "tool_bar_menu.xml", "setting_dlg.xml", "close_prompt_dlg.xml",
                           "update_prompt_dlg.xml", "about_dlg.xml", "uninstall_dlg.xml"};
  auto skin = test::OpenSkin();
  for (const char* layout : layouts) {
    auto xml = skin->Read(Utf8ToWide(layout));
    ASSERT_TRUE(xml) << layout;
    UiBuildResult probe = CDialogBuilder::Build(*xml, nullptr, nullptr);
    auto portable = test::BuildFromXml(*xml, probe.window.size);
    std::string expected;
    for (const auto& line : viewer::List(*portable)) expected += WideToUtf8(line) + "\n";
    EXPECT_GT(expected.size(), 0u) << layout;
    for (const char* scale : {"1", "1.5"}) {
      const std::string command = std::string(CORVANE_SKIN_VIEWER) + " " + WideToUtf8(test::SkinZipPath()) + " " +
                                  layout + " --list --scale " + scale;
      FILE* out = popen(command.c_str(), "r");
      ASSERT_NE(out, nullptr);
      std::string listed;
      char buffer[4096];
      size_t n;
      while ((n = fread(buffer, 1, sizeof(buffer), out)) > 0) listed.append(buffer, n);
      EXPECT_EQ(pclose(out), 0) << command;
      EXPECT_EQ(listed, expected) << layout << " at " << scale;
    }
  }
}

// The ATK side of a skinned window in-process (client_a11y_gtk_test reads it over AT-SPI): the
// title as the window's name, the controls as children, pages shown and hidden as
// children-changed with the hidden page's objects defunct, a bar's value, the focus, and the
// action carried out from the loop as a click.
TEST_F(GtkHost, TheWindowsAccessibleListsTheControlsAndFollowsTheTree) {
  CProbeWindow w(L"uninstall_dlg.xml");
  ASSERT_NE(w.Create(nullptr, L"uninstall_dlg", kDialogStyle, 0), nullptr);
  Show(w.GetHWND());
  AtkObject* window = gtk_widget_get_accessible(w.GetHWND());
  EXPECT_STREQ(atk_object_get_name(window), "Drovessa老师端卸载程序");  // not "uninstall_dlg"
  const auto child = [window](const char* name) -> AtkObject* {
    for (int i = 0; i < atk_object_get_n_accessible_children(window); ++i) {
      AtkObject* c = atk_object_ref_accessible_child(window, i);
      g_object_unref(c);  // the bridge keeps its own reference
      if (g_strcmp0(atk_object_get_name(c), name) == 0) return c;
    }
    return nullptr;
  };
  EXPECT_EQ(atk_object_get_n_accessible_children(window), 7);
  AtkObject* cancel = child("取消");
  AtkObject* minimise = child("最小化");
  ASSERT_TRUE(cancel && minimise && !child("卸载进度"));
  EXPECT_EQ(atk_object_get_role(cancel), ATK_ROLE_PUSH_BUTTON);
  EXPECT_EQ(atk_object_get_index_in_parent(cancel), 5);
  EXPECT_STREQ(atk_object_get_description(minimise), "最小化");  // its tooltip

  int added = 0, removed = 0;
  const auto count = +[](AtkObject*, guint, gpointer, gpointer counter) { ++*static_cast<int*>(counter); };
  g_signal_connect(window, "children-changed::add", G_CALLBACK(count), &added);
  g_signal_connect(window, "children-changed::remove", G_CALLBACK(count), &removed);
  g_object_ref(cancel);
  w.Manager().FindControl(L"begin_view")->SetVisible(false);
  w.Manager().FindControl(L"uninstall_view")->SetVisible(true);
  EXPECT_EQ(removed, 4);  // the first page's title, text and two buttons
  EXPECT_EQ(added, 3);    // the second page's two lines and its bar
  AtkStateSet* gone = atk_object_ref_state_set(cancel);
  EXPECT_TRUE(atk_state_set_contains_state(gone, ATK_STATE_DEFUNCT));
  g_object_unref(gone);
  g_object_unref(cancel);
  AtkObject* bar = child("卸载进度");
  ASSERT_TRUE(bar && ATK_IS_VALUE(bar));
  EXPECT_EQ(atk_object_get_role(bar), ATK_ROLE_PROGRESS_BAR);
  w.Manager().FindControlAs<CProgressUI>(L"uninstall_progress")->SetValue(42);
  gdouble value = 0;
  atk_value_get_value_and_text(ATK_VALUE(bar), &value, nullptr);
  EXPECT_EQ(value, 42);
  AtkRange* range = atk_value_get_range(ATK_VALUE(bar));
  EXPECT_EQ(atk_range_get_upper_limit(range), 100);
  atk_range_free(range);

  std::vector<std::string> changes;
  g_signal_connect(minimise, "state-change", G_CALLBACK(+[](AtkObject*, gchar* state, gboolean on, gpointer seen) {
                     static_cast<std::vector<std::string>*>(seen)->push_back(std::string(state) + (on ? "+" : "-"));
                   }), &changes);
  EXPECT_TRUE(atk_component_grab_focus(ATK_COMPONENT(minimise)));
  EXPECT_EQ(changes, std::vector<std::string>{"focused+"});
  EXPECT_EQ(w.Manager().GetFocus(), w.Manager().FindControl(L"button_min"));
  EXPECT_TRUE(atk_action_do_action(ATK_ACTION(minimise), 0));
  EXPECT_TRUE(w.clicks.empty());  // not inside the reader's call
  EXPECT_TRUE(PumpUntil([&] { return !w.clicks.empty(); }));
  EXPECT_EQ(w.clicks, std::vector<std::wstring>{L"button_min"});
  // The window outlives the counters: the objects' last signals (defunct) must not reach them.
  g_signal_handlers_disconnect_by_data(minimise, &changes);
  g_signal_handlers_disconnect_by_data(window, &added);
  g_signal_handlers_disconnect_by_data(window, &removed);
}

}  // namespace
}  // namespace corvane
