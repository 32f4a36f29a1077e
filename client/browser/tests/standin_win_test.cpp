// The stand-in runtime under Wine, against a loopback server: creation on its own UI thread,
// history, load errors, the key event of its editable field with the paste conversion before
// the paste, the context menu, the client's error page from real folders, and a frame kept
// after its browser closed.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <vector>

#include "base/program_folder.h"
#include "client/browser/client_platform_win.h"
#include "client/browser/corvane_cef_app.h"
#include "client/browser/error_page_url.h"
#include "client/browser/standin/standin_runtime_win.h"
#include "client/browser/tests/loopback_server_win.h"
#include "client/client_messages_win.h"

namespace corvane {
namespace {

const char kHome[] =
    "<html><head><title>首页 Home</title></head><body><p>欢迎</p><a href=\"/two.html\">二</a>"
    "<a href=\"/two.html\" target=\"_blank\">新</a></body></html>";
const char kTwo[] = "<html><head><title>Two</title></head><body>second</body></html>";

CLoopbackServer& Server() {
  // Lives until the process ends: a delayed answer may still be under way when a test is done.
  static CLoopbackServer* server = new CLoopbackServer({{"/", kHome}, {"/two.html", kTwo}, {"/slow", kTwo}});
  return *server;
}

// Pumps this thread's messages until `done` holds or `ms` pass.
bool PumpUntil(const std::function<bool()>& done, DWORD ms = 10000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > ms) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

// Records every callback, with its thread, and passes it on to the client's policy when given.
class CObservedClient final : public CefClient,
                              public CefLifeSpanHandler,
                              public CefKeyboardHandler,
                              public CefContextMenuHandler,
                              public CefLoadHandler {
 public:
  explicit CObservedClient(CefRefPtr<CorvaneCefClient> policy = nullptr) : m_policy(policy) {}

  CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
  CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }

  bool OnBeforePopup(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f, const CefString& url, const CefString& name,
                     cef_window_open_disposition_t d, bool g, const CefPopupFeatures& p, CefWindowInfo& w,
                     CefRefPtr<CefClient>& c, CefBrowserSettings& s, bool* n) override {
    Add("popup " + url.ToString());
    return m_policy && m_policy->OnBeforePopup(b, f, url, name, d, g, p, w, c, s, n);
  }
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override {
    {
      std::lock_guard<std::mutex> lock(m_lock);
      m_browser = browser;
    }
    Add("created");
    if (m_policy) m_policy->OnAfterCreated(browser);
  }
  bool DoClose(CefRefPtr<CefBrowser> browser) override { return m_policy && m_policy->DoClose(browser); }
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override {
    Add("closed");
    if (m_policy) m_policy->OnBeforeClose(browser);
    std::lock_guard<std::mutex> lock(m_lock);
    m_browser = nullptr;
  }
  bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& e, CefEventHandle os, bool* s) override {
    if (e.type == KEYEVENT_RAWKEYDOWN) {
      Add("key " + std::to_string(e.windows_key_code) + " " + std::to_string(e.modifiers) + " " +
          (e.focus_on_editable_field ? "editable" : "page"));
    }
    return m_policy && m_policy->OnPreKeyEvent(browser, e, os, s);
  }
  void OnBeforeContextMenu(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f, CefRefPtr<CefContextMenuParams> p,
                           CefRefPtr<CefMenuModel> model) override {
    Add("menu " + std::to_string(model->GetCount()));
    if (m_policy) m_policy->OnBeforeContextMenu(b, f, p, model);
  }
  void OnContextMenuDismissed(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>) override { Add("menu dismissed"); }
  void OnLoadingStateChange(CefRefPtr<CefBrowser> b, bool loading, bool back, bool forward) override {
    Add(std::string("state ") + (loading ? "1" : "0") + (back ? "1" : "0") + (forward ? "1" : "0"));
    if (m_policy) m_policy->OnLoadingStateChange(b, loading, back, forward);
  }
  void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, int status) override {
    Add("end " + std::to_string(status) + " " + frame->GetURL().ToString());
  }
  void OnLoadError(CefRefPtr<CefBrowser> b, CefRefPtr<CefFrame> f, cef_errorcode_t code, const CefString& text,
                   const CefString& url) override {
    Add("error " + std::to_string(code) + " " + url.ToString());
    if (m_policy) m_policy->OnLoadError(b, f, code, text, url);
  }

  std::vector<std::string> Events() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_events;
  }
  bool Has(const std::string& event) {
    for (const std::string& e : Events()) {
      if (e == event) return true;
    }
    return false;
  }
  size_t Count(const std::string& prefix) {
    size_t n = 0;
    for (const std::string& e : Events()) n += e.rfind(prefix, 0) == 0 ? 1 : 0;
    return n;
  }
  bool AllOnThread(DWORD thread) {
    std::lock_guard<std::mutex> lock(m_lock);
    for (DWORD t : m_threads) {
      if (t != thread) return false;
    }
    return !m_threads.empty();
  }
  CefRefPtr<CefBrowser> Browser() {
    std::lock_guard<std::mutex> lock(m_lock);
    return m_browser;
  }

 private:
  void Add(const std::string& event) {
    std::lock_guard<std::mutex> lock(m_lock);
    m_events.push_back(event);
    m_threads.push_back(GetCurrentThreadId());
  }

  CefRefPtr<CorvaneCefClient> m_policy;
  std::mutex m_lock;
  std::vector<std::string> m_events;
  std::vector<DWORD> m_threads;
  CefRefPtr<CefBrowser> m_browser;
  IMPLEMENT_REFCOUNTING(CObservedClient);
};

std::string Narrow(const std::wstring& text) { return CefString(text).ToString(); }

std::wstring ControlText(HWND view, int id) {
  wchar_t text[4096] = {};
  GetWindowTextW(id == 0 ? FindWindowExW(view, nullptr, L"STATIC", nullptr) : GetDlgItem(view, id), text, 4096);
  return text;
}

class StandInTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    CStandInRuntime::Instance();
    SetCefRuntime(&CStandInRuntime::Instance());
    s_app = new CorvaneCefApp();
    cef_settings_t settings = {};
    settings.size = sizeof(settings);
    settings.multi_threaded_message_loop = 1;
    settings.no_sandbox = 1;
    cef_string_wide_to_utf16(L"zh-CN", 5, &settings.accept_language_list);
    ASSERT_TRUE(cef_initialize(CefMainArgs(GetModuleHandleW(nullptr)), settings, s_app, nullptr));
    ClearSettingsStrings(&settings);
  }
  static void TearDownTestSuite() {
    cef_shutdown();
    EXPECT_TRUE(s_app->HasOneRef()) << "the runtime let go of the application";
    s_app = nullptr;
    SetCefRuntime(nullptr);
  }

  void SetUp() override {
    m_parent = CreateWindowExW(0, L"STATIC", L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(m_parent, nullptr);
  }
  void TearDown() override {
    DestroyWindow(m_parent);
    if (m_client) {
      EXPECT_TRUE(PumpUntil([&] { return m_client->Has("closed"); })) << "the view went with its parent";
    }
  }

  // Asks for a browser in the parent and waits until it has arrived and loaded.
  CefRefPtr<CefBrowser> Open(CefRefPtr<CObservedClient> client, const std::wstring& url) {
    m_client = client;
    CefWindowInfo info;
    info.parent_window = m_parent;
    info.width = 780;
    info.height = 560;
    info.style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VISIBLE;
    EXPECT_EQ(cef_browser_host_create_browser(info, client, url, CefBrowserSettings(), nullptr), 1);
    EXPECT_TRUE(PumpUntil([&] { return client->Browser() != nullptr; }));
    return client->Browser();
  }
  HWND View(CefRefPtr<CefBrowser> browser) { return static_cast<HWND>(browser->GetHost()->GetWindowHandle()); }

  static inline CefRefPtr<CorvaneCefApp> s_app;
  HWND m_parent = nullptr;
  CefRefPtr<CObservedClient> m_client;
};

TEST_F(StandInTest, ProcessRolesFromTheTypeSwitch) {
  EXPECT_EQ(cef_execute_process(CefMainArgs(), s_app, nullptr), -1) << "no type: the browser process";
  EXPECT_EQ(StandInRoleExitCode(L"renderer"), 0);
  EXPECT_EQ(StandInRoleExitCode(L"gpu-process"), 0);
  EXPECT_EQ(StandInRoleExitCode(L"no-such-role"), 1);
}

TEST_F(StandInTest, CreatesAChildWindowLaterAndCallsBackOnItsOwnThread) {
  CefRefPtr<CObservedClient> client = new CObservedClient();
  CefWindowInfo info;
  info.parent_window = m_parent;
  info.style = WS_CHILD | WS_VISIBLE;
  info.width = 400;
  info.height = 300;
  m_client = client;
  cef_browser_host_create_browser(info, client, Server().Url(L"/"), CefBrowserSettings(), nullptr);
  EXPECT_FALSE(client->Browser()) << "creation is asynchronous";
  ASSERT_TRUE(PumpUntil([&] { return client->Has("end 200 " + Narrow(Server().Url(L"/"))); }));
  CefRefPtr<CefBrowser> browser = client->Browser();
  HWND view = View(browser);
  EXPECT_EQ(GetParent(view), m_parent);
  EXPECT_NE(GetWindowThreadProcessId(view, nullptr), GetCurrentThreadId());
  EXPECT_TRUE(client->AllOnThread(GetWindowThreadProcessId(view, nullptr)));
  EXPECT_EQ(client->Events()[0], "created");
  EXPECT_TRUE(client->Has("state 100"));
  EXPECT_TRUE(client->Has("state 000"));
  EXPECT_EQ(ControlText(view, 1), Server().Url(L"/"));
  EXPECT_EQ(ControlText(view, 0), L"首页 Home");
  EXPECT_EQ(ControlText(view, 2), L"欢迎\r\n二新");
  EXPECT_EQ(Server().LastAcceptLanguage(), "zh-CN");
}

TEST_F(StandInTest, HistoryBackAndForwardWithLoadingStates) {
  CefRefPtr<CObservedClient> client = new CObservedClient();
  CefRefPtr<CefBrowser> browser = Open(client, Server().Url(L"/"));
  ASSERT_TRUE(PumpUntil([&] { return client->Has("state 000"); }));
  EXPECT_FALSE(browser->CanGoBack());
  browser->GetMainFrame()->LoadURL(Server().Url(L"/two.html"));
  ASSERT_TRUE(PumpUntil([&] { return client->Has("state 010"); }));
  EXPECT_TRUE(browser->CanGoBack());
  EXPECT_FALSE(browser->CanGoForward());
  EXPECT_EQ(ControlText(View(browser), 0), L"Two");
  browser->GoBack();
  ASSERT_TRUE(PumpUntil([&] { return client->Has("state 001"); }));
  EXPECT_EQ(browser->GetMainFrame()->GetURL().ToWString(), Server().Url(L"/"));
  EXPECT_TRUE(browser->CanGoForward());
  browser->GoForward();
  ASSERT_TRUE(PumpUntil([&] { return client->Count("state 010") == 2; }));
  EXPECT_FALSE(browser->IsLoading());
}

TEST_F(StandInTest, LoadErrorsCarryTheRuntimesCodes) {
  CefRefPtr<CObservedClient> client = new CObservedClient();
  CefRefPtr<CefBrowser> browser = Open(client, L"about:blank");
  const std::wstring refused = L"http://127.0.0.1:" + std::to_wstring(ClosedLoopbackPort()) + L"/";
  browser->GetMainFrame()->LoadURL(refused);
  ASSERT_TRUE(PumpUntil([&] { return client->Count("error ") == 1; }));
  EXPECT_TRUE(client->Has("error -102 " + Narrow(refused)));

  const std::wstring missing = L"file:///C:/no such folder/老师/missing.html";
  browser->GetMainFrame()->LoadURL(missing);
  ASSERT_TRUE(PumpUntil([&] { return client->Count("error ") == 2; }));
  EXPECT_TRUE(client->Has("error -6 " + Narrow(missing)));

  // Replaced while loading, then stopped while loading.
  browser->GetMainFrame()->LoadURL(Server().Url(L"/slow"));
  browser->GetMainFrame()->LoadURL(Server().Url(L"/two.html"));
  ASSERT_TRUE(PumpUntil([&] { return client->Has("end 200 " + Narrow(Server().Url(L"/two.html"))); }));
  EXPECT_TRUE(client->Has("error -3 " + Narrow(Server().Url(L"/slow"))));
  browser->GetMainFrame()->LoadURL(Server().Url(L"/slow"));
  ASSERT_TRUE(PumpUntil([&] { return browser->IsLoading(); }));
  browser->StopLoad();
  ASSERT_TRUE(PumpUntil([&] { return client->Count("error -3 ") == 2; }));
  EXPECT_TRUE(PumpUntil([&] { return !browser->IsLoading(); }));

  // An unresolvable name; the test machine's resolver answers for ".invalid" without the network.
  browser->GetMainFrame()->LoadURL(L"http://corvane-no-such-host.invalid/");
  ASSERT_TRUE(PumpUntil([&] { return client->Count("error ") == 5; }, 20000));
  EXPECT_TRUE(client->Has("error -105 http://corvane-no-such-host.invalid/")) << client->Events().back();
  EXPECT_EQ(client->Count("error -3 "), 2u) << "the stopped load was not reported again";
}

// The client's own policy with the stand-in: the error page from the program's folder, and from
// a folder with spaces and Chinese letters; the error page's own failure stops at once.
TEST_F(StandInTest, ErrorPageLoadsFromRealFoldersAndItsOwnFailureStops) {
  std::wstring errorPage = BuildErrorPageUrl();
  CorvaneClientPlatform platform = WindowsClientPlatform(nullptr);
  platform.errorPageUrl = [&errorPage] { return errorPage; };
  CefRefPtr<CorvaneCefClient> policy = new CorvaneCefClient(platform);
  CefRefPtr<CObservedClient> client = new CObservedClient(policy);
  CefRefPtr<CefBrowser> browser = Open(client, L"http://127.0.0.1:" + std::to_wstring(ClosedLoopbackPort()) + L"/");
  // The page carries the failed address and the home page in its fragment, which a file ignores.
  ASSERT_TRUE(PumpUntil([&] { return client->Count("end 200 " + Narrow(errorPage) + "#failed=http") == 1; }));
  EXPECT_EQ(ControlText(View(browser), 0), L"页面暂时无法打开");
  EXPECT_EQ(policy->GetBrowser().get(), browser.get());

  const std::filesystem::path folder = std::filesystem::temp_directory_path() / L"Corvane 老师 客户端";
  std::filesystem::create_directories(folder / L"error_page");
  std::filesystem::copy_file(GetProgramFolder() + L"\\error_page\\Error.html", folder / L"error_page" / L"Error.html",
                             std::filesystem::copy_options::overwrite_existing);
  errorPage = BuildErrorPageUrl(folder.wstring());
  browser->GetMainFrame()->LoadURL(L"file:///C:/no such folder/x.html");
  ASSERT_TRUE(PumpUntil([&] { return client->Count("end 200 " + Narrow(errorPage) + "#home=http") == 1; }))
      << "a file is no address to go back to";
  EXPECT_EQ(ControlText(View(browser), 0), L"页面暂时无法打开");

  std::filesystem::remove_all(folder);
  browser->GetMainFrame()->LoadURL(L"file:///C:/no such folder/y.html");
  ASSERT_TRUE(PumpUntil([&] { return client->Count("error -6 " + Narrow(errorPage)) == 1; }));
  PumpUntil([] { return false; }, 1000);  // time for a loop to show itself
  EXPECT_EQ(client->Count("error -6 " + Narrow(errorPage)), 1u);
  EXPECT_FALSE(browser->IsLoading());
}

// Types as a person would, through the system's input: Ctrl+V into the editable field.
void PressCtrlV() {
  INPUT keys[4] = {};
  const WORD codes[4] = {VK_CONTROL, 'V', 'V', VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    keys[i].type = INPUT_KEYBOARD;
    keys[i].ki.wVk = codes[i];
    keys[i].ki.dwFlags = (i >= 2) ? KEYEVENTF_KEYUP : 0;
  }
  SendInput(4, keys, sizeof(INPUT));
}

void PutHtmlOnClipboard(const std::string& fragment) {
  const std::string prefix = "<html><body><!--StartFragment-->";
  const std::string suffix = "<!--EndFragment--></body></html>";
  char header[256];
  const int headerLength = 105;
  const size_t startFragment = headerLength + prefix.size();
  snprintf(header, sizeof header,
           "Version:1.0\r\nStartHTML:%010d\r\nEndHTML:%010zu\r\nStartFragment:%010zu\r\nEndFragment:%010zu\r\n",
           headerLength, startFragment + fragment.size() + suffix.size(), startFragment, startFragment + fragment.size());
  const std::string entry = header + prefix + fragment + suffix;
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, entry.size() + 1);
  memcpy(GlobalLock(memory), entry.c_str(), entry.size() + 1);
  GlobalUnlock(memory);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(RegisterClipboardFormatW(L"HTML Format"), memory);
  CloseClipboard();
}

TEST_F(StandInTest, CtrlVInTheFieldRewritesTheClipboardBeforeThePasteLands) {
  PutHtmlOnClipboard("<img src=\"file:///C:/pic.png\">");
  std::vector<std::string> order;
  CorvaneClientPlatform platform = WindowsClientPlatform([&order] {
    order.push_back("convert");
    PutHtmlOnClipboard("<img src=\"data:image/png;base64,AAAA\">");
  });
  CefRefPtr<CorvaneCefClient> policy = new CorvaneCefClient(platform);
  CefRefPtr<CObservedClient> client = new CObservedClient(policy);
  CefRefPtr<CefBrowser> browser = Open(client, Server().Url(L"/"));
  HWND view = View(browser);
  HWND field = GetDlgItem(view, 4);
  SetForegroundWindow(m_parent);
  SetFocus(view);  // the view hands its focus to the field
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == field || GetForegroundWindow() == m_parent; }, 3000));
  PressCtrlV();
  ASSERT_TRUE(PumpUntil([&] { return !ControlText(view, 4).empty(); }, 5000)) << "no key reached the field";
  EXPECT_TRUE(client->Has("key 86 4 editable"));
  // The key-down converts before the paste; the key-up (Ctrl still held) meets the same rule,
  // since the event type is not looked at. The key-up may still be on its way when the paste
  // has landed.
  PumpUntil([&] { return order.size() >= 2; }, 3000);
  EXPECT_EQ(order, (std::vector<std::string>{"convert", "convert"}));
  EXPECT_EQ(ControlText(view, 4), L"<img src=\"data:image/png;base64,AAAA\">") << "the paste read the rewritten clipboard";

  // Outside the editable field (the page's text) the same keys run no conversion.
  const HWND text = GetDlgItem(view, 2);
  SetFocus(text);
  ASSERT_TRUE(PumpUntil([&] { return GetFocus() == text; }, 2000));
  PressCtrlV();
  ASSERT_TRUE(PumpUntil([&] { return client->Has("key 86 4 page"); }, 5000));
  PumpUntil([] { return false; }, 200);
  EXPECT_EQ(order.size(), 2u) << "no conversion outside the editable field";
}

// A visible pop-up menu of this process, if any (the system's menu window class).
HWND VisibleMenu() {
  HWND menu = FindWindowW(L"#32768", nullptr);
  return (menu != nullptr && IsWindowVisible(menu)) ? menu : nullptr;
}

TEST_F(StandInTest, RightClickShowsAMenuOnlyWhenItemsRemain) {
  CefRefPtr<CObservedClient> client = new CObservedClient();
  CefRefPtr<CefBrowser> browser = Open(client, Server().Url(L"/"));
  HWND field = GetDlgItem(View(browser), 4);
  RECT r;
  GetWindowRect(field, &r);
  PostMessageW(field, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(field), MAKELPARAM(r.left + 10, r.top + 10));
  ASSERT_TRUE(PumpUntil([] { return VisibleMenu() != nullptr; }, 5000)) << "the runtime's own items are shown";
  PostMessageW(VisibleMenu(), WM_KEYDOWN, VK_ESCAPE, 0);
  ASSERT_TRUE(PumpUntil([&] { return client->Has("menu dismissed"); }));
  EXPECT_EQ(client->Count("menu 6"), 1u) << "the editable field's items";
  DestroyWindow(m_parent);
  ASSERT_TRUE(PumpUntil([&] { return client->Has("closed"); }));

  SetUp();
  CefRefPtr<CorvaneCefClient> policy = new CorvaneCefClient(WindowsClientPlatform(nullptr));
  CefRefPtr<CObservedClient> cleared = new CObservedClient(policy);
  browser = Open(cleared, Server().Url(L"/"));
  field = GetDlgItem(View(browser), 4);
  PostMessageW(field, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(field), MAKELPARAM(r.left + 10, r.top + 10));
  PostMessageW(View(browser), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(View(browser)), MAKELPARAM(r.left + 10, r.top - 100));
  ASSERT_TRUE(PumpUntil([&] { return cleared->Count("menu ") == 2; }));
  PumpUntil([] { return VisibleMenu() != nullptr; }, 1000);
  EXPECT_EQ(VisibleMenu(), nullptr);
  EXPECT_FALSE(cleared->Has("menu dismissed"));
}

TEST_F(StandInTest, PopupLinkAsksTheHandlerAndACancelledOneOpensNothing) {
  CefRefPtr<CorvaneCefClient> policy = new CorvaneCefClient(WindowsClientPlatform(nullptr));
  CefRefPtr<CObservedClient> client = new CObservedClient(policy);
  CefRefPtr<CefBrowser> browser = Open(client, Server().Url(L"/"));
  ASSERT_TRUE(PumpUntil([&] { return client->Has("state 000"); }));
  HWND links = GetDlgItem(View(browser), 3);
  SendMessageW(links, LB_SETCURSEL, 1, 0);  // the link with a new-window target
  PostMessageW(links, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(PumpUntil([&] { return client->Has("popup " + Narrow(Server().Url(L"/two.html"))); }));
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(browser->GetMainFrame()->GetURL().ToWString(), Server().Url(L"/"));
  EXPECT_FALSE(browser->IsLoading());
}

// A frame that a program keeps after its browser has closed answers without the browser: it no
// longer leads to the freed browser, and it did not keep the browser alive either.
TEST_F(StandInTest, AFrameKeptPastItsBrowsersCloseAnswersWithoutIt) {
  CefRefPtr<CObservedClient> client = new CObservedClient();
  CefRefPtr<CefBrowser> browser = Open(client, Server().Url(L"/"));
  ASSERT_TRUE(PumpUntil([&] { return client->Has("state 000"); }));
  CefRefPtr<CefFrame> frame = browser->GetMainFrame();
  EXPECT_TRUE(frame->IsValid());
  EXPECT_EQ(frame->GetURL().ToWString(), Server().Url(L"/"));
  EXPECT_TRUE(frame->GetBrowser()->IsSame(browser));

  DestroyWindow(m_parent);  // the view goes with its parent
  ASSERT_TRUE(PumpUntil([&] { return client->Has("closed"); }));
  ASSERT_TRUE(PumpUntil([&] { return browser->HasOneRef(); }, 3000)) << "the runtime or the frame still holds it";
  browser = nullptr;  // the last reference: the browser is freed
  EXPECT_FALSE(frame->GetBrowser());
  EXPECT_FALSE(frame->IsValid());
  EXPECT_EQ(frame->GetURL().ToWString(), L"");
  const size_t events = client->Events().size();
  frame->LoadURL(Server().Url(L"/two.html"));
  PumpUntil([] { return false; }, 300);
  EXPECT_EQ(client->Events().size(), events) << "a frame without its browser loads nothing";
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

TEST(ClientPlatform, NoticesArePostedToTheMainWindow) {
  HWND main = CreateWindowExW(0, L"STATIC", L"main", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  g_hMainWnd = main;
  CorvaneClientPlatform platform = WindowsClientPlatform(nullptr);
  platform.postNavState(false, true);
  platform.postRelayout();
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, main, WM_NAVSTATE, WM_NAVSTATE, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_EQ(msg.lParam, 1);
  ASSERT_TRUE(PeekMessageW(&msg, main, WM_RELAYOUT, WM_RELAYOUT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 0u);
  EXPECT_EQ(msg.lParam, 0);
  const std::wstring url = BuildErrorPageUrl();
  EXPECT_EQ(url, BuildErrorPageUrl(GetProgramFolder()));
  EXPECT_EQ(url.rfind(L"file:///", 0), 0u);
  EXPECT_EQ(url.find(L'\\'), std::wstring::npos);
  DestroyWindow(main);
  g_hMainWnd = nullptr;
}

}  // namespace
}  // namespace corvane
