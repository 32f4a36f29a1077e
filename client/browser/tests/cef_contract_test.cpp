// The runtime contract: counting, strings, the command line, the menu model and the
// interface-version check in front of the runtime.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "client/browser/cef_menu_model.h"
#include "client/browser/cef_runtime.h"
#include "client/browser/corvane_cef_app.h"
#include "client/browser/scripted/scripted_runtime.h"

namespace corvane {
namespace {

class CCounted final : public CefBaseRefCounted {
 public:
  explicit CCounted(int* deletions) : m_deletions(deletions) {}
  ~CCounted() override { ++*m_deletions; }
  IMPLEMENT_REFCOUNTING(CCounted);

 private:
  int* m_deletions;
};

TEST(RefCounting, CountsAtomicallyAndDeletesItselfAtZero) {
  int deletions = 0;
  CCounted* object = new CCounted(&deletions);
  EXPECT_EQ(object->RefCountForTesting(), 0);
  object->AddRef();
  EXPECT_TRUE(object->HasOneRef());
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([object] {
      for (int i = 0; i < 10000; ++i) object->AddRef();
      for (int i = 0; i < 10000; ++i) EXPECT_FALSE(object->Release());
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_TRUE(object->HasOneRef());
  EXPECT_EQ(deletions, 0);
  EXPECT_TRUE(object->Release());
  EXPECT_EQ(deletions, 1);
}

TEST(RefCounting, CountedReferencesHoldOneReferenceEach) {
  int deletions = 0;
  CefRefPtr<CCounted> first = new CCounted(&deletions);
  EXPECT_EQ(first->RefCountForTesting(), 1);
  {
    CefRefPtr<CCounted> second = first;
    CefRefPtr<CefBaseRefCounted> asBase = second;
    EXPECT_EQ(first->RefCountForTesting(), 3);
    CefRefPtr<CCounted> moved = std::move(second);
    EXPECT_EQ(first->RefCountForTesting(), 3);
    EXPECT_FALSE(second);
  }
  EXPECT_TRUE(first->HasOneRef());
  first = nullptr;
  EXPECT_EQ(deletions, 1);
}

TEST(Strings, Utf8AndUtf16RoundTrip) {
  const std::wstring text = L"C:/老师 客户端/\U0001F600/x";
  EXPECT_EQ(CefString(CefString(text).ToString()).ToWString(), text);
  EXPECT_EQ(CefString(std::string("\xE8\x80\x81")).ToWString(), L"老");
  EXPECT_EQ(CefString(std::string("a\xFF" "b\xE8\x80")).ToWString(), L"a\uFFFDb\uFFFD\uFFFD");

  cef_string_t utf16 = {};
  cef_string_wide_to_utf16(text.c_str(), text.size(), &utf16);
  EXPECT_EQ(utf16.length, text.size() + (sizeof(wchar_t) == 4 ? 1 : 0));  // one surrogate pair
  EXPECT_NE(utf16.dtor, nullptr);
  EXPECT_EQ(CefStringFrom(utf16).ToWString(), text);
  cef_string_clear(&utf16);
  EXPECT_EQ(utf16.str, nullptr);
  EXPECT_EQ(utf16.length, 0u);
  EXPECT_TRUE(CefStringFrom(utf16).empty());
}

TEST(Strings, SettingsRecordStringsAreFreedByClear) {
  cef_settings_t settings = {};
  settings.size = sizeof(settings);
  const std::wstring language = L"zh-CN";
  cef_string_wide_to_utf16(language.c_str(), language.size(), &settings.accept_language_list);
  cef_string_wide_to_utf16(L"\\corvane_cache", 14, &settings.cache_path);
  EXPECT_EQ(CefStringFrom(settings.accept_language_list).ToWString(), L"zh-CN");
  ClearSettingsStrings(&settings);
  EXPECT_EQ(settings.accept_language_list.str, nullptr);
  EXPECT_EQ(settings.cache_path.str, nullptr);
}

TEST(CommandLine, SplitsLikeTheWindowsRuntime) {
  EXPECT_EQ(SplitCommandLine(L"\"C:\\Program Files\\a\\b.exe\" x \"y z\" a\\\\\\\"b c\\\\\"d e\" \"\"\"q\""),
            (std::vector<std::wstring>{L"C:\\Program Files\\a\\b.exe", L"x", L"y z", L"a\\\"b", L"c\\d e", L"\"q"}));
  EXPECT_EQ(SplitCommandLine(L"C:\\dir\\p.exe"), (std::vector<std::wstring>{L"C:\\dir\\p.exe"}));
  EXPECT_TRUE(SplitCommandLine(L"").empty());
}

TEST(CommandLine, SwitchesValuesAndArguments) {
  CefRefPtr<CefCommandLine> line = cef_command_line_create();
  ASSERT_TRUE(line);
  EXPECT_TRUE(line->HasOneRef());
  line->InitFromString(L"\"C:\\老师\\CorvaneClient.exe\" --type=renderer --Off-Screen-Rendering-Enabled "
                       L"\"--cache=C:\\a b\" -single file.txt -- --not-a-switch");
  EXPECT_EQ(line->GetProgram().ToWString(), L"C:\\老师\\CorvaneClient.exe");
  EXPECT_EQ(line->GetSwitchValue(L"type").ToWString(), L"renderer");
  EXPECT_TRUE(line->HasSwitch(L"off-screen-rendering-enabled"));
  EXPECT_TRUE(line->GetSwitchValue(L"off-screen-rendering-enabled").empty());
  EXPECT_EQ(line->GetSwitchValue(L"CACHE").ToWString(), L"C:\\a b");
  EXPECT_TRUE(line->HasSwitch(L"single"));
  EXPECT_FALSE(line->HasSwitch(L"multi-threaded-message-loop"));
  const std::vector<CefString> args = line->GetArguments();
  ASSERT_EQ(args.size(), 2u);
  EXPECT_EQ(args[0].ToWString(), L"file.txt");
  EXPECT_EQ(args[1].ToWString(), L"--not-a-switch");

  line->AppendSwitch(L"multi-threaded-message-loop");
  EXPECT_TRUE(line->HasSwitch(L"multi-threaded-message-loop"));
  EXPECT_TRUE(line->GetSwitchValue(L"multi-threaded-message-loop").empty());
  line->AppendSwitchWithValue(L"lang", L"zh-CN");
  EXPECT_EQ(line->GetSwitchValue(L"lang").ToWString(), L"zh-CN");

  // The printed form reads back to the same switches.
  CefRefPtr<CefCommandLine> copy = cef_command_line_create();
  copy->InitFromString(line->GetCommandLineString());
  EXPECT_EQ(copy->GetSwitchValue(L"cache").ToWString(), L"C:\\a b");
  EXPECT_TRUE(copy->HasSwitch(L"multi-threaded-message-loop"));
  EXPECT_EQ(copy->GetArguments().size(), 2u);

  line->InitFromString(L"p.exe --type= x");
  EXPECT_TRUE(line->HasSwitch(L"type"));
  EXPECT_TRUE(line->GetSwitchValue(L"type").empty());
  EXPECT_FALSE(line->HasSwitch(L"cache"));
}

TEST(MenuModel, ClearLeavesNoItems) {
  CefRefPtr<CefMenuModel> page = CreateDefaultContextMenu(false);
  CefRefPtr<CefMenuModel> field = CreateDefaultContextMenu(true);
  EXPECT_EQ(page->GetCount(), 3u);
  EXPECT_EQ(page->GetCommandIdAt(0), MENU_ID_BACK);
  EXPECT_GT(field->GetCount(), 3u);
  EXPECT_TRUE(field->Remove(MENU_ID_PASTE));
  EXPECT_FALSE(field->Remove(MENU_ID_PASTE));
  EXPECT_TRUE(field->Clear());
  EXPECT_EQ(field->GetCount(), 0u);
  EXPECT_EQ(field->GetCommandIdAt(0), 0);
}

TEST(RuntimeCalls, MismatchedInterfaceVersionCallsNothingAndAnswersZero) {
  CefRefPtr<CefApp> app = new CorvaneCefApp();
  cef_settings_t settings = {};
  settings.size = sizeof(settings);
  EXPECT_EQ(cef_execute_process(CefMainArgs(), app, nullptr), 0) << "no runtime chosen";
  EXPECT_EQ(cef_api_hash(0), nullptr);

  CScriptedRuntime runtime;
  runtime.SetProcessResult(-1);
  SetCefRuntime(&runtime);
  runtime.SetApiHash("another-runtime-version");
  EXPECT_STREQ(cef_api_hash(0), "another-runtime-version");
  EXPECT_EQ(cef_execute_process(CefMainArgs(), app, nullptr), 0);
  EXPECT_FALSE(cef_initialize(CefMainArgs(), settings, app, nullptr));
  EXPECT_EQ(cef_browser_host_create_browser(CefWindowInfo(), nullptr, "http://x/", CefBrowserSettings(), nullptr), 0);
  cef_shutdown();
  EXPECT_EQ(runtime.ExecuteProcessCalls(), 0);
  EXPECT_EQ(runtime.InitializeCalls(), 0);
  EXPECT_EQ(runtime.ShutdownCalls(), 0);

  runtime.SetApiHash(kCefApiHash);
  EXPECT_EQ(cef_execute_process(CefMainArgs(), app, nullptr), -1);
  runtime.SetProcessResult(7);
  EXPECT_EQ(cef_execute_process(CefMainArgs(), app, nullptr), 7);
  EXPECT_TRUE(cef_initialize(CefMainArgs(), settings, app, nullptr));
  EXPECT_EQ(cef_browser_host_create_browser(CefWindowInfo(), nullptr, "http://x/", CefBrowserSettings(), nullptr), 1);
  cef_run_message_loop();
  cef_shutdown();
  EXPECT_EQ(runtime.ExecuteProcessCalls(), 2);
  EXPECT_EQ(runtime.InitializeCalls(), 1);
  EXPECT_EQ(runtime.RunMessageLoopCalls(), 1);
  EXPECT_EQ(runtime.ShutdownCalls(), 1);
  ASSERT_EQ(runtime.Requests().size(), 1u);
  EXPECT_EQ(runtime.Requests()[0].url.ToWString(), L"http://x/");
  SetCefRuntime(nullptr);
}

}  // namespace
}  // namespace corvane
