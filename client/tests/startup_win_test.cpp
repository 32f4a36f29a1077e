// The start-up sequence in this process over the scripted runtime: process roles, the settings
// record for both command lines, the single instance, one initialisation and one shut-down.
#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <ctime>

#include "base/product_names.h"
#include "client/browser/scripted/scripted_runtime.h"
#include "client/client_messages_win.h"
#include "client/startup_win.h"
#include "tools/demo_service/client/demo_service_client_win.h"

namespace corvane {
namespace {

std::wstring Text(const cef_string_t& s) { return CefStringFrom(s).ToWString(); }

std::wstring ExpectedCachePath() {
  wchar_t folder[MAX_PATH] = {};
  SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, FALSE);
  return std::wstring(folder) + L"\\corvane_cache";
}

TEST(StartUp, SettingsFromEitherCommandLine) {
  CefRefPtr<CefCommandLine>& copy = CommandLineCopy();
  copy = nullptr;
  EXPECT_FALSE(IsBrowserProcess()) << "without a copy";
  cef_settings_t untouched = {};
  FillRuntimeSettings(untouched);
  EXPECT_EQ(untouched.persist_session_cookies, 0) << "nothing is set without a copy";

  copy = cef_command_line_create();
  for (const wchar_t* line : {L"CorvaneClient.exe", L"CorvaneClient.exe --off-screen-rendering-enabled"}) {
    copy->InitFromString(line);
    ASSERT_TRUE(IsBrowserProcess());
    copy->AppendSwitch(L"multi-threaded-message-loop");
    cef_settings_t settings = {};
    settings.size = sizeof(settings);
    FillRuntimeSettings(settings);
    EXPECT_EQ(settings.multi_threaded_message_loop, 1);
    EXPECT_EQ(settings.persist_session_cookies, 1);
    EXPECT_EQ(Text(settings.cache_path), ExpectedCachePath());
    EXPECT_EQ(settings.windowless_rendering_enabled, wcsstr(line, L"off-screen") != nullptr ? 1 : 0) << line;
    EXPECT_EQ(Text(settings.locale), L"") << "left to the runtime";
    ClearSettingsStrings(&settings);
  }
  copy->InitFromString(L"CorvaneClient.exe --type=renderer");
  EXPECT_FALSE(IsBrowserProcess());
  copy->InitFromString(L"CorvaneClient.exe --type");
  EXPECT_TRUE(IsBrowserProcess()) << "a type switch without a value is the browser process";
  copy = nullptr;
}

TEST(StartUp, ARuntimeRoleEndsTheProcessWithItsCodeBeforeAnythingElse) {
  CScriptedRuntime runtime;
  runtime.SetProcessResult(7);
  SetCefRuntime(&runtime);
  EXPECT_EQ(RunClient(GetModuleHandleW(nullptr)), 7);
  EXPECT_EQ(runtime.InitializeCalls(), 0);
  EXPECT_EQ(runtime.ShutdownCalls(), 0);
  SetCefRuntime(nullptr);
}

// Ends the main window's loop through the tray menu's exit once the window exists.
void CALLBACK ExitWhenShown(HWND, UINT, UINT_PTR timer, DWORD) {
  if (g_hMainWnd == nullptr || !IsWindowVisible(g_hMainWnd)) return;
  KillTimer(nullptr, timer);
  PostMessageW(g_hMainWnd, WM_COMMAND, 32799, 0);
}

TEST(StartUp, TheBrowserProcessRunsTheWholeSequenceOnceAndASecondOneEndsAtTheMutex) {
  demo::UseDemoService();
  const DWORD now = static_cast<DWORD>(std::time(nullptr));  // no update check today
  SHSetValueW(HKEY_CURRENT_USER, kClientRegistryKey, L"last_check_time", REG_DWORD, &now, sizeof(now));
  CScriptedRuntime runtime;
  SetCefRuntime(&runtime);
  g_hMainWnd = nullptr;
  SetTimer(nullptr, 0, 100, &ExitWhenShown);

  EXPECT_EQ(RunClient(GetModuleHandleW(nullptr)), 0) << "the tray menu's exit";
  EXPECT_EQ(runtime.ExecuteProcessCalls(), 1);
  EXPECT_EQ(runtime.InitializeCalls(), 1);
  EXPECT_EQ(runtime.ShutdownCalls(), 1);
  EXPECT_EQ(runtime.RunMessageLoopCalls(), 0) << "our own loop runs, not the runtime's";
  EXPECT_EQ(runtime.Requests().size(), 1u) << "the main window asked for its browser";
  const CScriptedRuntime::SettingsCopy settings = runtime.Settings();
  EXPECT_EQ(settings.no_sandbox, 1);
  EXPECT_EQ(settings.multi_threaded_message_loop, 1);
  EXPECT_EQ(settings.persist_session_cookies, 1);
  EXPECT_EQ(settings.windowless_rendering_enabled, 0);
  EXPECT_EQ(settings.accept_language_list.ToWString(), L"zh-CN");
  EXPECT_EQ(settings.cache_path.ToWString(), ExpectedCachePath());
  EXPECT_EQ(settings.locale.ToWString(), L"");
  EXPECT_EQ(settings.user_agent.ToWString(), L"");

  // The mutex stays with the process: a second start in it ends with 0 before the runtime.
  EXPECT_EQ(RunClient(GetModuleHandleW(nullptr)), 0);
  EXPECT_EQ(runtime.InitializeCalls(), 1);
  SetCefRuntime(nullptr);
  SHDeleteKeyW(HKEY_CURRENT_USER, kClientRegistryKey);
}

}  // namespace
}  // namespace corvane
