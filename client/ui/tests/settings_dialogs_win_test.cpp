// The settings dialog and the close prompt, run modally over a main window stand-in, clicked
// as the mouse clicks, writing the real "CorvaneClient.ini" beside the test program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "client/ui/client_settings.h"
#include "client/ui/close_prompt_dlg_win.h"
#include "client/ui/setting_dlg_win.h"
#include "client/ui/tests/main_window_stand_in_win.h"

namespace corvane {
namespace {

using test::CMainWindowStandIn;
using test::Exposed;
using test::PostClick;

constexpr DWORD kDialogStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

int Stored(const wchar_t* key) {
  return static_cast<int>(GetPrivateProfileIntW(L"setting", key, -1, g_settings.FilePath().c_str()));
}

class SkinnedSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    g_settings.AllowWriting();  // as the browser process does
    DeleteFileW(g_settings.FilePath().c_str());
    g_settings.m_bClosePrompt = false;
    g_settings.m_bExitOnClose = false;
  }
  void TearDown() override { DeleteFileW(g_settings.FilePath().c_str()); }
  CMainWindowStandIn main;
};

bool Selected(CPaintManagerUI& m, const wchar_t* option) { return m.FindControlAs<COptionUI>(option)->IsSelected(); }

TEST_F(SkinnedSettings, TheSettingDialogShowsAndRewritesTheStoreOnOpenAndStoresEachChoice) {
  // Values in memory that the file does not hold yet.
  g_settings.m_bClosePrompt = true;
  g_settings.m_bExitOnClose = true;
  {
    Exposed<CSettingDlg> dlg;
    dlg.Create(g_hMainWnd, L"setting_dlg", kDialogStyle, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
               CW_USEDEFAULT);
    EXPECT_EQ(Stored(L"close_prompt"), 1) << "the dialog's copy wrote the file on opening";
    EXPECT_EQ(Stored(L"min_close"), 1);
    EXPECT_TRUE(Selected(dlg.Manager(), L"option_exit"));
    EXPECT_FALSE(Selected(dlg.Manager(), L"option_tray"));
    dlg.CenterWindow();
    PostClick(dlg, dlg.Manager(), L"option_tray");
    PostClick(dlg, dlg.Manager(), L"button_close");
    EXPECT_EQ(dlg.ShowModal(), 1u);
  }
  EXPECT_FALSE(g_settings.m_bExitOnClose);
  EXPECT_TRUE(g_settings.m_bClosePrompt) << "the dialog leaves the prompt flag alone";
  EXPECT_EQ(Stored(L"min_close"), 0);
  EXPECT_EQ(Stored(L"close_prompt"), 1);
  EXPECT_TRUE(main.TakePosted().empty());

  // Minimising stored: the other option is shown; choosing "exit" stores it at once.
  {
    Exposed<CSettingDlg> dlg;
    dlg.Create(g_hMainWnd, L"setting_dlg", kDialogStyle, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
               CW_USEDEFAULT);
    EXPECT_TRUE(Selected(dlg.Manager(), L"option_tray"));
    EXPECT_FALSE(Selected(dlg.Manager(), L"option_exit"));
    DeleteFileW(g_settings.FilePath().c_str());
    test::SendClick(dlg, dlg.Manager(), L"option_exit");
    EXPECT_TRUE(g_settings.m_bExitOnClose);
    EXPECT_EQ(Stored(L"min_close"), 1) << "stored without waiting for the dialog to close";
    EXPECT_TRUE(IsWindow(dlg)) << "an option does not close the dialog";
    PostClick(dlg, dlg.Manager(), L"button_close");
    EXPECT_EQ(dlg.ShowModal(), 1u);
  }
}

TEST_F(SkinnedSettings, TheClosePromptsButtonsWithTheBoxTickedAndUnticked) {
  enum Button { kOk, kCancel, kClose };
  const wchar_t* names[] = {L"button_ok", L"button_cancel", L"button_close"};
  for (Button button : {kOk, kCancel, kClose}) {
    for (bool ticked : {false, true}) {
      SCOPED_TRACE(std::wstring(names[button]) + (ticked ? L" ticked" : L" unticked"));
      DeleteFileW(g_settings.FilePath().c_str());
      g_settings.m_bClosePrompt = true;
      // The opposite of what the button stores, so that a change shows.
      g_settings.m_bExitOnClose = button != kCancel;
      if (IsIconic(g_hMainWnd)) ShowWindow(g_hMainWnd, SW_RESTORE);
      ShowWindow(g_hMainWnd, SW_HIDE);
      {
        Exposed<CClosePromptDlg> dlg;
        dlg.Create(g_hMainWnd, L"close_prompt_dlg", 0, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                   CW_USEDEFAULT);
        dlg.CenterWindow();
        if (ticked) PostClick(dlg, dlg.Manager(), L"checkbox_no_prompt");
        PostClick(dlg, dlg.Manager(), names[button]);
        EXPECT_EQ(dlg.ShowModal(), 1u);
      }
      EXPECT_EQ(g_settings.m_bClosePrompt, !ticked);
      EXPECT_EQ(Stored(L"close_prompt"), ticked ? 0 : 1);
      const bool exitOnClose = button != kOk;  // ok stores minimising, cancel ending, close keeps "1"
      EXPECT_EQ(g_settings.m_bExitOnClose, exitOnClose);
      EXPECT_EQ(Stored(L"min_close"), exitOnClose ? 1 : 0);
      EXPECT_EQ(main.TakePosted(), button == kCancel ? std::vector<UINT>{WM_EXITAPP} : std::vector<UINT>{});
      EXPECT_EQ(IsIconic(g_hMainWnd) != FALSE, button == kOk) << "only \"button_ok\" minimises the main window";
    }
  }
}

TEST_F(SkinnedSettings, ClassNamesAndAClickOnNoListedControlLeavesTheDialogsOpen) {
  Exposed<CSettingDlg> settings;
  settings.Create(g_hMainWnd, L"setting_dlg", kDialogStyle, WS_EX_WINDOWEDGE);
  Exposed<CClosePromptDlg> prompt;
  prompt.Create(g_hMainWnd, L"close_prompt_dlg", 0, WS_EX_WINDOWEDGE);
  wchar_t name[64] = {};
  GetClassNameW(settings, name, 64);
  EXPECT_STREQ(name, L"SettingDlg");
  GetClassNameW(prompt, name, 64);
  EXPECT_STREQ(name, L"ClosePromptDlg");
  DeleteFileW(g_settings.FilePath().c_str());
  settings.Manager().SendNotify(settings.Manager().GetRoot(), kNotifyClick);
  prompt.Manager().SendNotify(prompt.Manager().GetRoot(), kNotifyClick);
  test::Pump();
  EXPECT_TRUE(IsWindow(settings));
  EXPECT_TRUE(IsWindow(prompt));
  EXPECT_EQ(Stored(L"min_close"), -1) << "nothing was written";
  EXPECT_TRUE(main.TakePosted().empty());
  DestroyWindow(prompt);
  DestroyWindow(settings);
}

}  // namespace
}  // namespace corvane
