// The update prompt and the about box on GTK, as windows: each layout with its buttons, the
// install mode's images, no maximising on the caption's double click, and both buttons ending
// the modal run with 1.
#include <gtk/gtk.h>
#include <gtest/gtest.h>

#include "client/update/update_prompt_dlg_gtk.h"
#include "skin/tests/window_test_support_gtk.h"

namespace corvane {
namespace {

unsigned ClickModal(CUpdatePromptDlg& dlg, const wchar_t* button) {
  struct Driver {
    CUpdatePromptDlg* dlg;
    const wchar_t* button;
  } driver{&dlg, button};
  g_timeout_add(50, [](gpointer data) -> gboolean {
    auto* d = static_cast<Driver*>(data);
    if (!test::ShownAndFocused(d->dlg->GetHWND())) return G_SOURCE_CONTINUE;
    // The caption's double click first: it must not maximise this window.
    test::ClickAt(d->dlg->GetHWND(), UiPoint{60, 20}, 2);
    test::ClickAt(d->dlg->GetHWND(), test::CentreOf(d->dlg->GetPaintManager(), d->button));
    return G_SOURCE_REMOVE;
  }, &driver);
  return dlg.ShowModal();
}

TEST(UpdatePromptGtk, TheOfferInBothModesAndTheAboutBox) {
  ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "needs a display (xvfb-run)";
  struct Case {
    const wchar_t* layout;
    bool install;
    const wchar_t* button;
  } cases[] = {{L"update_prompt_dlg.xml", false, L"button_download"},
               {L"update_prompt_dlg.xml", true, L"button_close"},
               {L"about_dlg.xml", false, L"button_download"}};
  for (const Case& c : cases) {
    CUpdatePromptDlg dlg;
    dlg.SetLayoutFile(c.layout);
    dlg.SetInstallMode(c.install);
    dlg.Create(nullptr, L"update_prompt_dlg", UI_WS_OVERLAPPEDWINDOW | UI_WS_VISIBLE, 0);
    auto& m = dlg.GetPaintManager();
    ASSERT_TRUE(m.GetDiagnostics().empty());
    ASSERT_NE(m.FindControl(L"button_close"), nullptr);
    auto* main = m.FindControlAs<CButtonUI>(L"button_download");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->GetNormalImage() == L"button_install_new_version_normal.png", c.install);
    bool maximised = false;
    g_signal_connect(dlg.GetHWND(), "window-state-event", G_CALLBACK(+[](GtkWidget*, GdkEventWindowState* e, gpointer m) {
                       if (e->new_window_state & GDK_WINDOW_STATE_MAXIMIZED) *static_cast<bool*>(m) = true;
                       return FALSE;
                     }), &maximised);
    EXPECT_EQ(ClickModal(dlg, c.button), 1u);
    EXPECT_FALSE(maximised) << "the caption's double click does not maximise the prompt";
    test::PumpIdle();
  }
}

}  // namespace
}  // namespace corvane
