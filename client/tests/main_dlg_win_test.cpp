// The main window in this process, with the scripted runtime standing for the browser runtime:
// initialisation, the browser's placement under the toolbar strip, the message table, the
// close action, the tray icon's mouse messages and the update notices.
#include <windows.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "base/message_loop_win.h"
#include "base/product_names.h"
#include "base/service_host.h"
#include "client/browser/scripted/scripted_runtime.h"
#include "client/client_messages_win.h"
#include "client/main_dlg_win.h"
#include "client/ui/client_settings.h"
#include "resource.h"
#include "skin/paint_manager_win.h"
#include "tools/demo_service/client/demo_service_client_win.h"

namespace corvane {
namespace {

// Records the skinned dialogs that open while a test runs and closes each at once, so a modal
// loop started by the code under test ends by itself.
struct DialogWatch {
  struct Seen {
    std::wstring className, windowName;
    SIZE size;
  };
  static std::vector<Seen>& Log() {
    static std::vector<Seen> log;
    return log;
  }
  // A dialog is recorded on the tick after the one that first saw it, so that it has taken
  // its layout's size by then.
  static HWND& Sighted() {
    static HWND sighted = nullptr;
    return sighted;
  }
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    for (const wchar_t* cls : {L"UpdatePromptDlg", L"SettingDlg", L"ClosePromptDlg"}) {
      HWND w = FindWindowW(cls, nullptr);
      if (w == nullptr || !IsWindowVisible(w)) continue;
      if (Sighted() != w) {
        Sighted() = w;
        continue;
      }
      Sighted() = nullptr;
      wchar_t name[64] = {};
      GetWindowTextW(w, name, 64);
      RECT r = {};
      GetClientRect(w, &r);
      Log().push_back({cls, name, {r.right - r.left, r.bottom - r.top}});
      PostMessageW(w, WM_CLOSE, 0, 0);
    }
  }
};

void Pump(DWORD ms = 200) {
  const DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));
        return;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  } while (GetTickCount() - start < ms);
}

// The quit code waiting in this thread's queue, or -1.
int TakeQuitCode() {
  MSG msg;
  if (PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) return static_cast<int>(msg.wParam);
  return -1;
}

RECT ChildRect(HWND parent, HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class MainWindow : public ::testing::Test {
 protected:
  // A temporary folder of this program's own: the about command offers an installer that another
  // test left downloaded in the shared one, so what it shows would depend on which ran first.
  static void SetUpTestSuite() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    privateTemp = std::wstring(temp) + L"main_dlg_win_test." + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(privateTemp.c_str(), nullptr);
    SetEnvironmentVariableW(L"TMP", privateTemp.c_str());
    SetEnvironmentVariableW(L"TEMP", privateTemp.c_str());
  }
  static void TearDownTestSuite() { RemoveDirectoryW(privateTemp.c_str()); }
  static inline std::wstring privateTemp;

  void SetUp() override {
    demo::UseDemoService();
    // Today's check is done: initialisation makes no request unless a test wants one.
    const DWORD now = static_cast<DWORD>(std::time(nullptr));
    SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", REG_DWORD, &now, sizeof(now));
    SetCefRuntime(&runtime);
    g_appModule.Init(GetModuleHandleW(nullptr));
    g_appModule.AddMessageLoop(&loop);
    CPaintManagerUI::SetInstance(GetModuleHandleW(nullptr));
    g_settings.m_bClosePrompt = false;
    g_settings.m_bExitOnClose = false;
    DialogWatch::Log().clear();
    DialogWatch::Sighted() = nullptr;
    watch = SetTimer(nullptr, 0, 100, &DialogWatch::Tick);
    ASSERT_NE(dlg.Create(nullptr, GetModuleHandleW(nullptr), IDD_MAINDLG), nullptr);
    ShowWindow(dlg.m_hWnd, SW_SHOWNORMAL);
    Pump();
  }
  void TearDown() override {
    if (browser) {
      runtime.Run([&] { dlg.Client()->OnBeforeClose(browser.get()); });
      browser->Detach();
    }
    if (dlg.m_hWnd != nullptr) dlg.DestroyWindow();
    if (view != nullptr) DestroyWindow(view);
    KillTimer(nullptr, watch);
    TakeQuitCode();
    g_appModule.RemoveMessageLoop();
    SetCefRuntime(nullptr);
    SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
  }

  // The runtime hands over a browser whose window is a child of the main window.
  void DeliverBrowser() {
    view = CreateWindowExW(0, L"STATIC", L"browser view", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, dlg.m_hWnd, nullptr,
                           nullptr, nullptr);
    browser = new CScriptedBrowser(1, dlg.Client().get(), view);
    runtime.Run([&] { dlg.Client()->OnAfterCreated(browser.get()); });
    Pump();
  }

  CScriptedRuntime runtime;
  CMessageLoop loop;
  CMainDlg dlg;
  HWND view = nullptr;
  CefRefPtr<CScriptedBrowser> browser;
  UINT_PTR watch = 0;
};

TEST_F(MainWindow, InitialisationAsksForTheBrowserAndMakesTheStrip) {
  EXPECT_EQ(g_hMainWnd, dlg.m_hWnd);
  const std::vector<CScriptedRuntime::BrowserRequest> requests = runtime.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].windowInfo.parent_window, dlg.m_hWnd);
  EXPECT_EQ(requests[0].windowInfo.style, 0x56010000u);
  EXPECT_FALSE(requests[0].windowInfo.windowless_rendering_enabled);
  EXPECT_EQ(requests[0].url.ToWString(), ServiceUrl(L"/"));
  RECT client = {};
  GetClientRect(dlg.m_hWnd, &client);
  EXPECT_EQ(requests[0].windowInfo.width, client.right);
  EXPECT_EQ(requests[0].windowInfo.height, client.bottom);

  HWND strip = dlg.ToolBar().GetHWND();
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(GetParent(strip), dlg.m_hWnd);
  const RECT r = ChildRect(dlg.m_hWnd, strip);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, client.right);
  EXPECT_EQ(r.bottom - r.top, 30);
}

TEST_F(MainWindow, BrowserFillsTheRestAlsoAfterAResize) {
  DeliverBrowser();
  for (SIZE size : {SIZE{900, 600}, SIZE{640, 480}}) {
    SetWindowPos(dlg.m_hWnd, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
    Pump(100);
    RECT client = {};
    GetClientRect(dlg.m_hWnd, &client);
    const RECT r = ChildRect(dlg.m_hWnd, view);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 30);
    EXPECT_EQ(r.right, client.right);
    EXPECT_EQ(r.bottom, client.bottom);
    EXPECT_EQ(ChildRect(dlg.m_hWnd, dlg.ToolBar().GetHWND()).right, client.right);
    CControlUI* setting = dlg.ToolBar().GetPaintManager().FindControl(L"button_setting");
    ASSERT_NE(setting, nullptr);
    EXPECT_EQ(setting->GetPadding().left, client.right - 115);
  }
}

TEST_F(MainWindow, NavStateEnablesBackAndForward) {
  CPaintManagerUI& strip = dlg.ToolBar().GetPaintManager();
  PostMessageW(g_hMainWnd, WM_NAVSTATE, 0, 1);
  Pump(100);
  EXPECT_FALSE(strip.FindControl(L"button_back")->IsEnabled());
  EXPECT_TRUE(strip.FindControl(L"button_forward")->IsEnabled());
  PostMessageW(g_hMainWnd, WM_NAVSTATE, 1, 0);
  Pump(100);
  EXPECT_TRUE(strip.FindControl(L"button_back")->IsEnabled());
  EXPECT_FALSE(strip.FindControl(L"button_forward")->IsEnabled());
}

TEST_F(MainWindow, NavigationCommandsAskTheBrowserOnlyWhenItCan) {
  PostMessageW(g_hMainWnd, WM_GOBACK, 0, 0);  // no browser yet: nothing
  Pump(50);
  DeliverBrowser();
  browser->SetNavigationState(/*canGoBack=*/true, /*canGoForward=*/false, /*isLoading=*/true);
  for (UINT m : {WM_GOBACK, WM_GOFORWARD, WM_RELOADPAGE}) PostMessageW(g_hMainWnd, m, 0, 0);
  Pump(100);
  browser->SetNavigationState(false, true, false);
  for (UINT m : {WM_GOBACK, WM_GOFORWARD, WM_RELOADPAGE}) PostMessageW(g_hMainWnd, m, 0, 0);
  Pump(100);
  std::vector<std::string> actions;
  for (const std::string& call : browser->Calls()) {
    if (call == "GoBack" || call == "GoForward" || call == "Reload") actions.push_back(call);
  }
  EXPECT_EQ(actions, (std::vector<std::string>{"GoBack", "GoForward", "Reload"}));
}

TEST_F(MainWindow, CloseMinimisesByDefaultWithoutAskingThePage) {
  DeliverBrowser();
  SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
  Pump(100);
  EXPECT_TRUE(IsIconic(dlg.m_hWnd));
  EXPECT_TRUE(IsWindow(dlg.m_hWnd));
  EXPECT_TRUE(browser->Calls().empty()) << "minimising never asks the page";
  EXPECT_EQ(TakeQuitCode(), -1);
}

TEST_F(MainWindow, AnExitAsksThePageFirstAndEndsOnceItLetsGoWithItsCode) {
  DeliverBrowser();
  g_settings.m_bExitOnClose = true;
  SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
  Pump(100);
  EXPECT_EQ(browser->Calls(), (std::vector<std::string>{"CloseBrowser(false)"}));
  EXPECT_TRUE(IsWindow(dlg.m_hWnd)) << "the page has not answered yet";
  // A tray exit meanwhile asks again; the caption's code stands.
  SendMessageW(dlg.m_hWnd, WM_COMMAND, 32799, 0);
  EXPECT_TRUE(IsWindow(dlg.m_hWnd));
  EXPECT_EQ(TakeQuitCode(), -1);
  runtime.Run([&] { dlg.Client()->DoClose(browser.get()); });  // the page let go
  Pump(100);
  EXPECT_EQ(dlg.m_hWnd, nullptr) << "destroyed";
  EXPECT_EQ(TakeQuitCode(), 2);
}

TEST_F(MainWindow, CloseEndsWithTwoWhenExitOnClose) {
  g_settings.m_bExitOnClose = true;
  SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
  Pump(100);  // the dialog manager posts the Cancel command
  EXPECT_EQ(dlg.m_hWnd, nullptr) << "destroyed";
  EXPECT_EQ(TakeQuitCode(), 2);
}

TEST_F(MainWindow, CloseAsksFirstWhenThePromptIsOn) {
  g_settings.m_bClosePrompt = true;
  g_settings.m_bExitOnClose = true;
  SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
  Pump(100);  // the Cancel command opens the prompt; the watch closes it
  ASSERT_EQ(DialogWatch::Log().size(), 1u);
  EXPECT_EQ(DialogWatch::Log()[0].className, L"ClosePromptDlg");
  EXPECT_EQ(DialogWatch::Log()[0].windowName, L"close_prompt_dlg");
  EXPECT_TRUE(IsWindow(dlg.m_hWnd)) << "the prompt decides, not the close";
}

TEST_F(MainWindow, TrayExitEndsWithZero) {
  SendMessageW(dlg.m_hWnd, WM_COMMAND, 32799, 0);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(TakeQuitCode(), 0);
}

TEST_F(MainWindow, TrayLeftPressRestoresOtherMouseMessagesDoNothing) {
  ShowWindow(dlg.m_hWnd, SW_SHOWMINIMIZED);
  for (LPARAM m : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE, WM_RBUTTONUP}) {
    EXPECT_EQ(SendMessageW(dlg.m_hWnd, WM_TRAYICON, 1, m), 1);
    EXPECT_TRUE(IsIconic(dlg.m_hWnd)) << m;
  }
  EXPECT_EQ(SendMessageW(dlg.m_hWnd, WM_TRAYICON, 1, WM_LBUTTONDOWN), 1);
  EXPECT_FALSE(IsIconic(dlg.m_hWnd));
  EXPECT_EQ(GetForegroundWindow(), dlg.m_hWnd) << "a window restored from the tray comes to the front";
}

TEST_F(MainWindow, InstallerReadyWithoutAnUpdateNoticeDoesNothing) {
  SendMessageW(dlg.m_hWnd, WM_INSTALLERREADY, 0, 0);
  Pump(300);
  EXPECT_TRUE(DialogWatch::Log().empty());
  EXPECT_FALSE(dlg.IsUpdateAvailable());
}

TEST_F(MainWindow, AboutShowsTheAboutBoxUntilAnUpdateIsKnown) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  ASSERT_EQ(std::wstring(temp), privateTemp + L"\\") << "no installer from elsewhere can be offered";
  SendMessageW(dlg.m_hWnd, WM_SHOWABOUT, 0, 0);
  SendMessageW(dlg.m_hWnd, WM_UPDATEAVAILABLE, 0, 0);
  EXPECT_TRUE(dlg.IsUpdateAvailable());
  SendMessageW(dlg.m_hWnd, WM_SHOWABOUT, 0, 0);
  const std::vector<DialogWatch::Seen>& seen = DialogWatch::Log();
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].windowName, L"about_dlg");
  EXPECT_EQ(seen[1].windowName, L"update_prompt_dlg");
  EXPECT_EQ(seen[2].windowName, L"about_dlg");
  for (const DialogWatch::Seen& s : seen) EXPECT_EQ(s.className, L"UpdatePromptDlg");
  // The about command after the notice shows the update prompt's layout, not the about box's.
  EXPECT_EQ(seen[2].size.cx, seen[1].size.cx);
  EXPECT_EQ(seen[2].size.cy, seen[1].size.cy);
  EXPECT_TRUE(seen[0].size.cx != seen[1].size.cx || seen[0].size.cy != seen[1].size.cy)
      << "the two layouts must differ in size for this test to tell them apart";
}

TEST_F(MainWindow, SettingsCommandOpensTheSettingsDialog) {
  SendMessageW(dlg.m_hWnd, WM_SHOWSETTINGS, 0, 0);
  ASSERT_EQ(DialogWatch::Log().size(), 1u);
  EXPECT_EQ(DialogWatch::Log()[0].className, L"SettingDlg");
  EXPECT_EQ(DialogWatch::Log()[0].windowName, L"setting_dlg");
}

}  // namespace
}  // namespace corvane
