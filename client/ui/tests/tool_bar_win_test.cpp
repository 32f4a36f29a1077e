// The toolbar and its drop-down menu on Wine's real windows: every click route, closing after
// any click and on loss of focus, self-deletion, the update badge and the placement.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/product_names.h"
#include "base/program_folder.h"
#include "client/ui/main_tool_bar_win.h"
#include "client/ui/tests/main_window_stand_in_win.h"
#include "client/ui/tool_bar_menu_win.h"
#include "client/update/installer_win.h"

namespace corvane {
namespace {

using test::CMainWindowStandIn;
using test::Exposed;
using test::Pump;
using test::SendClick;

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

TEST(MainToolBar, EachButtonPostsItsCommandAndOtherControlsNothing) {
  CMainWindowStandIn main;
  Exposed<CMainToolBar> toolbar;
  toolbar.Create(g_hMainWnd, L"toolbar", WS_CHILD | WS_VISIBLE, 0, 0, 0, 600, 800);
  SetParent(toolbar, g_hMainWnd);
  EXPECT_EQ(ClassOf(toolbar), L"MainToolBar");
  EXPECT_EQ(GetParent(toolbar), g_hMainWnd);

  const struct {
    const wchar_t* button;
    UINT command;
  } routes[] = {{L"button_setting", WM_SHOWTOOLBARMENU},
                {L"button_back", WM_GOBACK},
                {L"button_forward", WM_GOFORWARD},
                {L"button_refresh", WM_RELOADPAGE}};
  for (const auto& route : routes) {
    SCOPED_TRACE(route.button);
    SendClick(toolbar, toolbar.Manager(), route.button);
    EXPECT_EQ(main.TakePosted(), std::vector<UINT>{route.command});
  }
  // A click notification from a control of no listed name (the layout's root) acts on nothing.
  toolbar.Manager().SendNotify(toolbar.Manager().GetRoot(), kNotifyClick);
  EXPECT_TRUE(main.TakePosted().empty());
  EXPECT_TRUE(IsWindow(toolbar));
}

// Counts the menus that deleted themselves.
class CountedMenu : public Exposed<CToolBarMenu> {
 public:
  ~CountedMenu() override { ++s_deleted; }
  static inline int s_deleted = 0;
};

CountedMenu* OpenMenu(bool updatePending) {
  auto* menu = new CountedMenu;
  menu->m_bUpdatePending = updatePending;
  menu->Create(g_hMainWnd, L"tool_bar_menu", WS_POPUP | WS_VISIBLE, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
               CW_USEDEFAULT, CW_USEDEFAULT);
  return menu;
}

TEST(ToolBarMenu, EachButtonPostsItsCommandThenTheMenuClosesAndDeletesItself) {
  CMainWindowStandIn main;
  const struct {
    const wchar_t* button;
    UINT command;
  } routes[] = {{L"button_setting", WM_SHOWSETTINGS},
                {L"button_help", WM_SHOWHELP},
                {L"button_about", WM_SHOWABOUT},
                {L"button_exit", WM_EXITAPP}};
  for (const auto& route : routes) {
    SCOPED_TRACE(route.button);
    const int deleted = CountedMenu::s_deleted;
    CountedMenu* menu = OpenMenu(false);
    const HWND window = *menu;
    EXPECT_EQ(ClassOf(window), L"ToolBarMenu");
    SendClick(window, menu->Manager(), route.button);
    EXPECT_TRUE(IsWindow(window)) << "the close is posted after the command";
    EXPECT_EQ(main.TakePosted(), std::vector<UINT>{route.command});
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(CountedMenu::s_deleted, deleted + 1);
  }
}

TEST(ToolBarMenu, AClickOnAnUnnamedPartClosesItWithoutPosting) {
  CMainWindowStandIn main;
  const int deleted = CountedMenu::s_deleted;
  CountedMenu* menu = OpenMenu(false);
  const HWND window = *menu;
  CControlUI* separator = nullptr;
  menu->Manager().GetRoot()->ForEach([&](CControlUI& c) {
    if (!separator && c.GetName().str().empty() && std::wstring(c.GetClass()) == L"Control") separator = &c;
  });
  ASSERT_NE(separator, nullptr) << "the menu's layout has an unnamed separator";
  menu->Manager().SendNotify(separator, kNotifyClick);
  EXPECT_TRUE(main.TakePosted().empty());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CountedMenu::s_deleted, deleted + 1);
}

TEST(ToolBarMenu, LosingTheFocusClosesIt) {
  CMainWindowStandIn main;
  const int deleted = CountedMenu::s_deleted;
  CountedMenu* menu = OpenMenu(false);
  const HWND window = *menu;
  SetForegroundWindow(window);
  SetFocus(window);
  Pump();
  ASSERT_EQ(GetFocus(), window) << "the opened menu has the focus";
  // Another window of this thread takes the focus, as when the user clicks elsewhere.
  test::CProbeWindow other(L"about_dlg.xml");
  other.Create(nullptr, L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0);
  SetForegroundWindow(other);
  SetFocus(other);
  EXPECT_TRUE(main.TakePosted().empty());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(CountedMenu::s_deleted, deleted + 1);
  DestroyWindow(other);
}

TEST(ToolBarMenu, OpensBesideTheMainWindowShownAndKeepsItsFrameActive) {
  CMainWindowStandIn main(RECT{120, 90, 1020, 690});
  CountedMenu* menu = OpenMenu(false);
  const HWND window = *menu;
  const float scale = menu->Manager().GetDpiScale();
  RECT r = {};
  GetWindowRect(window, &r);
  const LONG w = static_cast<LONG>(168 * scale), h = static_cast<LONG>(162 * scale);
  EXPECT_EQ(r.right - r.left, w);
  EXPECT_EQ(r.bottom - r.top, h);
  EXPECT_EQ(r.right, 1020 - 25) << "25 px left of the main window's right edge";
  EXPECT_EQ(r.top, 90 + 60) << "60 px below its top edge";
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(IsWindowVisible(g_hMainWnd));
  // The hidden stand-in was never activated, so a TRUE can only come from the menu.
  const std::vector<WPARAM> ncActivates = main.TakeNcActivates();
  EXPECT_NE(std::find(ncActivates.begin(), ncActivates.end(), static_cast<WPARAM>(TRUE)), ncActivates.end());
  DestroyWindow(window);
  EXPECT_TRUE(main.TakePosted().empty());
}

// The badge needs the installed client and the downloaded installer: real files under a
// temporary "Install_Dir" and in the temporary "corvane" folder.
class MenuBadge : public ::testing::Test {
 protected:
  void SetUp() override {
    installer = GetInstallerFilePath();
    DeleteFileW(installer.c_str());
    DeleteFileW(GetInstallerSignaturePath().c_str());
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    installDir = std::wstring(temp) + L"corvane_menu_installed_" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(installDir.c_str(), nullptr);
    SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, kInstallDirValue, REG_SZ, installDir.c_str(),
                static_cast<DWORD>((installDir.size() + 1) * sizeof(wchar_t)));
    ASSERT_TRUE(CopyFileW(Probe(L"update_probe_1_2_0_5.exe").c_str(), (installDir + L"\\CorvaneClient.exe").c_str(),
                          FALSE));
  }
  void TearDown() override {
    DeleteFileW(installer.c_str());
    DeleteFileW(GetInstallerSignaturePath().c_str());
    DeleteFileW((installDir + L"\\CorvaneClient.exe").c_str());
    RemoveDirectoryW(installDir.c_str());
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  }
  static std::wstring Probe(const wchar_t* name) { return GetProgramFolder() + L"\\" + name; }
  // As a verified download leaves it: the installer and its signature.
  void Download(const wchar_t* probe) {
    CreateDirectoryTree(installer.substr(0, installer.rfind(L'\\')));
    ASSERT_TRUE(CopyFileW(Probe(probe).c_str(), installer.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((Probe(probe) + L".sig").c_str(), GetInstallerSignaturePath().c_str(), FALSE));
  }
  // The about button's normal, hot and pushed images of a new menu.
  static std::vector<std::wstring> AboutImages(bool updatePending) {
    CMainWindowStandIn main;
    CountedMenu* menu = OpenMenu(updatePending);
    auto* about = menu->Manager().FindControlAs<CButtonUI>(L"button_about");
    std::vector<std::wstring> images;
    if (about) images = {about->GetNormalImage(), about->GetHotImage(), about->GetPushedImage()};
    DestroyWindow(*menu);
    return images;
  }
  const std::vector<std::wstring> kBadge = {L"tool_bar_menu_about_update_normal.png",
                                            L"tool_bar_menu_about_update_hover.png",
                                            L"tool_bar_menu_about_update_press.png"};
  const std::vector<std::wstring> kPlain = {L"tool_bar_menu_about_normal.png", L"tool_bar_menu_about_hover.png",
                                            L"tool_bar_menu_about_press.png"};
  std::wstring installer, installDir;
};

TEST_F(MenuBadge, ShownWithAnUpdatePendingOrANewerInstallerOnly) {
  EXPECT_EQ(AboutImages(false), kPlain) << "neither";
  EXPECT_EQ(AboutImages(true), kBadge) << "update pending";
  Download(L"update_probe_1_2_0_6.exe");
  EXPECT_EQ(AboutImages(false), kPlain) << "an installer of the same major and minor";
  Download(L"update_probe_1_3_0_0.exe");
  EXPECT_EQ(AboutImages(false), kBadge) << "a newer installer";
  EXPECT_EQ(AboutImages(true), kBadge) << "both";
}

}  // namespace
}  // namespace corvane
