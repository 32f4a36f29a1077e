// The message loop layer and the modeless dialog base, with the client's real dialog template
// 129, tray menu 202 and icon 128 linked into this test.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/message_loop_win.h"
#include "base/modeless_dialog_win.h"
#include "base/product_names.h"
#include "resource.h"

namespace corvane {
namespace {

class CTestDlg : public CModelessDialog<CTestDlg>, public CMessageFilter, public CIdleHandler {
 public:
  static const std::vector<MessageEntry<CTestDlg>>& MessageMap() {
    static const std::vector<MessageEntry<CTestDlg>> map = {
        {WM_INITDIALOG, 0, &CTestDlg::OnInitDialog},
        {WM_COMMAND, IDOK, &CTestDlg::OnOk},
        {WM_COMMAND, IDCANCEL, &CTestDlg::OnCancel},
        {WM_CLOSE, 0, &CTestDlg::OnClose},
        {WM_APP + 1, 0, &CTestDlg::OnAppMessage},
        {WM_DESTROY, 0, &CTestDlg::OnDestroy},
    };
    return map;
  }

  LRESULT OnInitDialog(UINT, WPARAM, LPARAM lParam, BOOL&) {
    initParam = lParam;
    CMessageLoop* loop = g_appModule.GetMessageLoop();
    if (loop != nullptr) {
      loop->AddMessageFilter(this);
      loop->AddIdleHandler(this);
    }
    return TRUE;
  }
  LRESULT OnOk(UINT, WPARAM, LPARAM, BOOL&) {
    commands.push_back(IDOK);
    return 0;
  }
  LRESULT OnCancel(UINT, WPARAM, LPARAM, BOOL&) {
    commands.push_back(IDCANCEL);
    DestroyWindow();
    PostQuitMessage(2);
    return 0;
  }
  LRESULT OnClose(UINT, WPARAM, LPARAM, BOOL& handled) {
    ++closes;
    handled = FALSE;  // the dialog manager turns it into IDCANCEL
    return 0;
  }
  LRESULT OnAppMessage(UINT, WPARAM wParam, LPARAM, BOOL&) {
    appMessages.push_back(static_cast<int>(wParam));
    return 42;
  }
  LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL&) {
    CMessageLoop* loop = g_appModule.GetMessageLoop();
    if (loop != nullptr) {
      loop->RemoveMessageFilter(this);
      loop->RemoveIdleHandler(this);
    }
    return 0;
  }

  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message == WM_APP + 2) {
      ++filtered;
      return TRUE;  // consumed: never dispatched
    }
    return IsDialogMessage(msg);
  }
  // The first idle period comes once the posted messages are drained: it closes the dialog.
  BOOL OnIdle() override {
    if (++idles == 1 && closeWhenIdle) PostMessageW(m_hWnd, WM_CLOSE, 0, 0);
    return FALSE;
  }

  void OnFinalMessage(HWND) override { finalMessages++; }

  LPARAM initParam = 0;
  std::vector<int> commands;
  std::vector<int> appMessages;
  int closes = 0;
  int filtered = 0;
  int idles = 0;
  int finalMessages = 0;
  bool closeWhenIdle = false;
};

class LoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_appModule.Init(GetModuleHandleW(nullptr));
    ASSERT_TRUE(g_appModule.AddMessageLoop(&loop));
  }
  void TearDown() override {
    g_appModule.RemoveMessageLoop();
    g_appModule.Term();
  }
  CMessageLoop loop;
};

TEST_F(LoopTest, TemplateHasTheMainWindowsCaptionStyleAndSize) {
  CTestDlg dlg;
  HWND hwnd = dlg.Create(nullptr, GetModuleHandleW(nullptr), IDD_MAINDLG, 77);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(dlg.m_hWnd, hwnd);
  EXPECT_EQ(dlg.initParam, 77);

  wchar_t caption[64] = {};
  GetWindowTextW(hwnd, caption, 64);
  EXPECT_STREQ(caption, kMainWindowCaption);

  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
  EXPECT_EQ(style & WS_VISIBLE, 0);
  EXPECT_EQ(GetWindow(hwnd, GW_CHILD), nullptr) << "the template has no controls";

  RECT units = {0, 0, 759, 324};
  ASSERT_TRUE(MapDialogRect(hwnd, &units));
  RECT client = {};
  GetClientRect(hwnd, &client);
  EXPECT_EQ(client.right - client.left, units.right);
  EXPECT_EQ(client.bottom - client.top, units.bottom);

  HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  EXPECT_NE(font, nullptr) << "DS_SETFONT gives the dialog its template font";

  EXPECT_TRUE(dlg.DestroyWindow());
  EXPECT_EQ(dlg.m_hWnd, nullptr);
  EXPECT_EQ(dlg.finalMessages, 1);
}

TEST_F(LoopTest, RunDispatchesThroughFiltersAndMessageMapUntilQuit) {
  CTestDlg dlg;
  HWND hwnd = dlg.Create(nullptr, GetModuleHandleW(nullptr), IDD_MAINDLG);
  ASSERT_NE(hwnd, nullptr);
  ShowWindow(hwnd, SW_SHOW);

  EXPECT_EQ(SendMessageW(hwnd, WM_APP + 1, 5, 0), 42) << "results travel through DWLP_MSGRESULT";
  PostMessageW(hwnd, WM_APP + 1, 6, 0);
  PostMessageW(hwnd, WM_APP + 2, 0, 0);  // eaten by the filter
  PostMessageW(hwnd, WM_COMMAND, IDOK, 0);
  dlg.closeWhenIdle = true;  // WM_CLOSE is unhandled -> IDCANCEL -> quit with 2

  EXPECT_EQ(loop.Run(), 2);
  EXPECT_EQ(dlg.appMessages, (std::vector<int>{5, 6}));
  EXPECT_EQ(dlg.filtered, 1);
  EXPECT_EQ(dlg.closes, 1);
  EXPECT_EQ(dlg.commands, (std::vector<int>{IDOK, IDCANCEL}));
  EXPECT_EQ(dlg.idles, 1);
  EXPECT_EQ(dlg.m_hWnd, nullptr);
}

struct CountingFilter : CMessageFilter {
  explicit CountingFilter(std::vector<int>* order, int id, bool consume) : order(order), id(id), consume(consume) {}
  BOOL PreTranslateMessage(MSG* msg) override {
    if (msg->message != WM_APP + 3) return FALSE;
    order->push_back(id);
    return consume ? TRUE : FALSE;
  }
  std::vector<int>* order;
  int id;
  bool consume;
};

TEST_F(LoopTest, NewestFilterIsAskedFirstAndCanConsume) {
  std::vector<int> order;
  CountingFilter older(&order, 1, false), newer(&order, 2, false), consuming(&order, 3, true);
  loop.AddMessageFilter(&older);
  loop.AddMessageFilter(&newer);
  EXPECT_FALSE(loop.AddMessageFilter(&newer)) << "a filter is registered once";
  PostThreadMessageW(GetCurrentThreadId(), WM_APP + 3, 0, 0);
  PostQuitMessage(9);
  EXPECT_EQ(loop.Run(), 9);
  EXPECT_EQ(order, (std::vector<int>{2, 1}));

  order.clear();
  loop.AddMessageFilter(&consuming);
  PostThreadMessageW(GetCurrentThreadId(), WM_APP + 3, 0, 0);
  PostQuitMessage(0);
  EXPECT_EQ(loop.Run(), 0);
  EXPECT_EQ(order, (std::vector<int>{3}));
  EXPECT_TRUE(loop.RemoveMessageFilter(&consuming));
  EXPECT_FALSE(loop.RemoveMessageFilter(&consuming));
}

DWORD WINAPI ReadLoopOnThisThread(LPVOID out) {
  *static_cast<CMessageLoop**>(out) = g_appModule.GetMessageLoop();
  return 0;
}

TEST_F(LoopTest, ModuleKeepsOneLoopPerThread) {
  EXPECT_EQ(g_appModule.GetMessageLoop(), &loop);
  EXPECT_FALSE(g_appModule.AddMessageLoop(&loop)) << "this thread already has its loop";
  CMessageLoop* seenByOtherThread = &loop;
  HANDLE thread = CreateThread(nullptr, 0, &ReadLoopOnThisThread, &seenByOtherThread, 0, nullptr);
  ASSERT_NE(thread, nullptr);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_EQ(seenByOtherThread, nullptr);
  EXPECT_EQ(g_appModule.GetMessageLoop(GetCurrentThreadId()), &loop);
}

TEST(ClientResources, TrayMenuHasItsFourItemsInOrder) {
  HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MENU_TRAY));
  ASSERT_NE(menu, nullptr);
  wchar_t text[64] = {};
  GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"menu_tray");
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 4);
  const UINT ids[] = {ID_MENU_TRAY_SETTING, ID_MENU_TRAY_HELP, ID_MENU_TRAY_ABOUT, ID_MENU_TRAY_EXIT};
  const wchar_t* texts[] = {L"\x8BBE\x7F6E", L"\x5E2E\x52A9", L"\x5173\x4E8E" L"Drovessa", L"\x9000\x51FA"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(GetMenuItemID(popup, i), ids[i]);
    GetMenuStringW(popup, i, text, 64, MF_BYPOSITION);
    EXPECT_STREQ(text, texts[i]);
  }
  EXPECT_EQ(ids[0], 32796u);
  EXPECT_EQ(ids[3], 32799u);
  DestroyMenu(menu);
}

TEST(ClientResources, IconLoadsAtLargeAndSmallSizes) {
  for (int size : {GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CXSMICON)}) {
    HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_MAINFRAME), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << size;
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm = {};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmWidth, size);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

}  // namespace
}  // namespace corvane
