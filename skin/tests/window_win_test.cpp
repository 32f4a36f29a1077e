// The Win32 host with Wine's real windows and messages: create, centre, modal loop and Close,
// the caption's hit test and double click, mouse and keyboard clicks, broken skins.
#include <gtest/gtest.h>

#include <windowsx.h>

#include <filesystem>
#include <fstream>

#include "skin/tests/test_skin.h"
#include "skin/tests/window_test_support_win.h"

namespace corvane {
namespace {

using test::CentreOf;
using test::CProbeWindow;
using test::Pump;

constexpr DWORD kDialogStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE;

TEST(SkinWindow, CreatesFromTheArchiveBesideTheProgramAtTheLayoutsSize) {
  CProbeWindow w(L"setting_dlg.xml");
  ASSERT_NE(w.Create(nullptr, L"setting_dlg", kDialogStyle, WS_EX_WINDOWEDGE, CW_USEDEFAULT, CW_USEDEFAULT,
                     CW_USEDEFAULT, CW_USEDEFAULT),
            nullptr);
  EXPECT_EQ(static_cast<HWND>(w), w.GetHWND());
  EXPECT_EQ(w.initCalls, 1);
  EXPECT_NE(w.Manager().FindControl(L"option_tray"), nullptr);
  EXPECT_TRUE(w.Manager().GetDiagnostics().empty());
  wchar_t className[64] = {};
  GetClassNameW(w, className, 64);
  EXPECT_STREQ(className, L"CorvaneProbeWindow");

  const float scale = w.Manager().GetDpiScale();
  RECT client, window;
  GetClientRect(w, &client);
  GetWindowRect(w, &window);
  EXPECT_EQ(client.right, static_cast<LONG>(400 * scale));
  EXPECT_EQ(client.bottom, static_cast<LONG>(236 * scale));
  EXPECT_EQ(window.right - window.left, client.right) << "the skinned frame has no system border";
  EXPECT_FALSE(GetWindowLongW(w, GWL_STYLE) & WS_CAPTION);

  w.CenterWindow();
  GetWindowRect(w, &window);
  MONITORINFO monitor = {sizeof(monitor)};
  GetMonitorInfoW(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST), &monitor);
  EXPECT_NEAR((window.left + window.right) / 2, (monitor.rcWork.left + monitor.rcWork.right) / 2, 1);
  EXPECT_NEAR((window.top + window.bottom) / 2, (monitor.rcWork.top + monitor.rcWork.bottom) / 2, 1);
  DestroyWindow(w);
}

TEST(SkinWindow, AnotherScaleKeepsTheLayoutsPlacesAndResizesTheWindow) {
  CProbeWindow w(L"setting_dlg.xml");
  w.Create(nullptr, L"setting_dlg", WS_POPUP, 0, 0, 0, 600, 800);
  auto& m = w.Manager();
  const UiRect before = m.FindControl(L"option_exit")->GetPos();
  m.SetDpiScale(1.5f);
  m.LayoutIfNeeded();
  EXPECT_EQ(m.FindControl(L"option_exit")->GetPos(), before) << "the same logical places (the GTK viewer's too)";
  EXPECT_EQ(m.GetClientSize().cx, 400);
  RECT client;
  GetClientRect(w, &client);
  EXPECT_EQ(client.right, 600);
  EXPECT_EQ(client.bottom, 354);
  DestroyWindow(w);
}

TEST(SkinWindow, ShowModalReturnsTheValueGivenToCloseAndFreesTheOwner) {
  CProbeWindow owner(L"about_dlg.xml");
  owner.Create(nullptr, L"owner", kDialogStyle, 0);
  CProbeWindow w(L"about_dlg.xml");
  w.owner = owner;
  w.Create(owner, L"about_dlg", kDialogStyle, WS_EX_WINDOWEDGE);
  w.CenterWindow();
  PostMessageW(w, test::kCloseWithValue, 7, 0);
  EXPECT_EQ(w.ShowModal(), 7u);
  EXPECT_FALSE(w.ownerEnabledWhileModal);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(w.GetHWND(), nullptr);
  DestroyWindow(owner);
}

TEST(SkinWindow, AQuitDuringTheModalLoopEndsItAndReachesTheOuterLoop) {
  CProbeWindow w(L"about_dlg.xml");
  w.Create(nullptr, L"about_dlg", kDialogStyle, 0);
  PostQuitMessage(3);
  EXPECT_EQ(w.ShowModal(), static_cast<UINT>(IDCANCEL));
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
  // The window outlived the loop; the object's end takes it down.
}

TEST(SkinWindow, TheCaptionBandDragsAndItsDoubleClickMaximises) {
  CProbeWindow w(L"update_prompt_dlg.xml");
  w.Create(nullptr, L"update_prompt_dlg", kDialogStyle, WS_EX_WINDOWEDGE);
  Pump();
  auto& m = w.Manager();
  POINT title{static_cast<LONG>(60 * m.GetDpiScale()), static_cast<LONG>(20 * m.GetDpiScale())};
  ClientToScreen(w, &title);
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(title.x, title.y)), HTCAPTION);
  const LPARAM close = CentreOf(m, L"button_close");
  POINT closePt{GET_X_LPARAM(close), GET_Y_LPARAM(close)};
  ClientToScreen(w, &closePt);
  EXPECT_EQ(SendMessageW(w, WM_NCHITTEST, 0, MAKELPARAM(closePt.x, closePt.y)), HTCLIENT);

  EXPECT_FALSE(IsZoomed(w));
  SendMessageW(w, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(title.x, title.y));
  EXPECT_TRUE(IsZoomed(w));
  SendMessageW(w, WM_NCLBUTTONDBLCLK, HTCAPTION, MAKELPARAM(title.x, title.y));
  EXPECT_FALSE(IsZoomed(w));
  DestroyWindow(w);
}

TEST(SkinWindow, MouseClicksRouteByNameAndOnlyClicksReachOnClick) {
  CProbeWindow w(L"setting_dlg.xml");
  w.Create(nullptr, L"setting_dlg", kDialogStyle, WS_EX_WINDOWEDGE);
  auto& m = w.Manager();
  const LPARAM exit = CentreOf(m, L"option_exit");
  SendMessageW(w, WM_MOUSEMOVE, 0, exit);
  EXPECT_TRUE(m.FindControl(L"option_exit")->IsHot());
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, exit);
  SendMessageW(w, WM_LBUTTONUP, 0, exit);
  ASSERT_EQ(w.clicks, std::vector<std::wstring>{L"option_exit"});
  EXPECT_TRUE(m.FindControlAs<COptionUI>(L"option_exit")->IsSelected());
  // The selection change and the focus change were notified but did not reach OnClick.
  EXPECT_GT(w.notifications.size(), w.clicks.size());

  // Pressed on one control, released on another: no click.
  SendMessageW(w, WM_LBUTTONDOWN, MK_LBUTTON, CentreOf(m, L"option_tray"));
  SendMessageW(w, WM_LBUTTONUP, 0, exit);
  EXPECT_EQ(w.clicks.size(), 1u);
  DestroyWindow(w);
}

TEST(SkinWindow, TabSpaceAndEnterClickInLayoutOrder) {
  CProbeWindow w(L"close_prompt_dlg.xml");
  w.Create(nullptr, L"close_prompt_dlg", WS_VISIBLE, WS_EX_WINDOWEDGE);
  SetForegroundWindow(w);
  SetFocus(w);
  Pump();
  auto& m = w.Manager();
  std::vector<std::wstring> order;
  for (int i = 0; i < 5; ++i) {
    SendMessageW(w, WM_KEYDOWN, VK_TAB, 0);
    order.push_back(m.GetFocus()->GetName().str());
  }
  EXPECT_EQ(order, (std::vector<std::wstring>{L"button_close", L"checkbox_no_prompt", L"button_ok",
                                              L"button_cancel", L"button_close"}));
  SendMessageW(w, WM_KEYDOWN, VK_TAB, 0);  // checkbox_no_prompt
  SendMessageW(w, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(m.FindControlAs<CCheckBoxUI>(L"checkbox_no_prompt")->GetCheck());
  SendMessageW(w, WM_KEYDOWN, VK_TAB, 0);  // button_ok
  SendMessageW(w, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(w.clicks, (std::vector<std::wstring>{L"checkbox_no_prompt", L"button_ok"}));
  // Escape, used by no control, closes a top-level window.
  SendMessageW(w, WM_KEYDOWN, VK_ESCAPE, 0);
  Pump();
  EXPECT_EQ(w.GetHWND(), nullptr);
}

std::wstring ExeFolder() { return CPaintManagerUI::GetInstancePath(); }

void WriteFile(const std::wstring& path, const std::string& bytes) {
  std::ofstream out(std::filesystem::path(path), std::ios::binary);
  out << bytes;
}

TEST(SkinWindow, BrokenSkinsStillOpenAnEmptyWindowWithNullLookups) {
  const std::string skin = test::ReadBytes(CORVANE_TEST_SKIN_ZIP);
  WriteFile(ExeFolder() + L"truncated_skin.zip", skin.substr(0, skin.size() / 3));
  std::filesystem::create_directories(std::filesystem::path(ExeFolder() + L"broken_layouts"));
  WriteFile(ExeFolder() + L"broken_layouts\\bad.xml", "<Window><VerticalLayout><Button name=\"button_ok\">");

  struct Case {
    const wchar_t* what;
    CProbeWindow window;
  };
  Case cases[] = {
      {L"missing archive", CProbeWindow(L"setting_dlg.xml", L"no_such_skin.zip")},
      {L"truncated archive", CProbeWindow(L"setting_dlg.xml", L"truncated_skin.zip")},
      {L"missing layout", CProbeWindow(L"no_such_layout.xml")},
      {L"malformed layout", CProbeWindow(L"bad.xml", L"", UILIB_FILE, L"broken_layouts")},
      {L"unsupported resource type", CProbeWindow(L"setting_dlg.xml", L"skin.zip", UILIB_RESOURCE)},
  };
  for (Case& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_NE(c.window.Create(nullptr, L"broken", kDialogStyle, 0, 10, 10, 300, 200), nullptr);
    EXPECT_EQ(c.window.initCalls, 1);
    EXPECT_EQ(c.window.Manager().FindControl(L"button_ok"), nullptr);
    EXPECT_EQ(c.window.Manager().FindControl(L"option_tray"), nullptr);
    EXPECT_FALSE(c.window.Manager().GetDiagnostics().empty());
    UpdateWindow(c.window);  // paints the empty window
    SendMessageW(c.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 50));
    SendMessageW(c.window, WM_LBUTTONUP, 0, MAKELPARAM(50, 50));
    SendMessageW(c.window, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_TRUE(c.window.clicks.empty());
    RECT rc;
    GetClientRect(c.window, &rc);
    EXPECT_EQ(rc.right, 300) << "without a layout the size given to Create stays";
    DestroyWindow(c.window);
  }
}

}  // namespace
}  // namespace corvane
