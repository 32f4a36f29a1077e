// RunClient and its steps.
#include "client/startup_win.h"

#include <commctrl.h>
#include <shlobj.h>

#include "base/message_loop_win.h"
#include "base/product_names.h"
#include "client/browser/cef_runtime.h"
#include "client/browser/corvane_cef_app.h"
#include "client/main_dlg_win.h"
#include "client/ui/client_settings.h"
#include "client/update/installer_win.h"
#include "resource.h"
#include "skin/paint_manager_win.h"

namespace corvane {

CefRefPtr<CefCommandLine>& CommandLineCopy() {
  static CefRefPtr<CefCommandLine> copy;  // released when the process exits
  return copy;
}

void LoadCommandLine() {
  CommandLineCopy() = cef_command_line_create();
  if (CommandLineCopy()) CommandLineCopy()->InitFromString(GetCommandLineW());
}

bool IsBrowserProcess() {
  CefRefPtr<CefCommandLine>& copy = CommandLineCopy();
  return copy && copy->GetSwitchValue(L"type").ToWString().empty();
}

void FillRuntimeSettings(cef_settings_t& settings) {
  CefRefPtr<CefCommandLine>& copy = CommandLineCopy();
  if (!copy) return;
  settings.multi_threaded_message_loop = copy->HasSwitch(L"multi-threaded-message-loop") ? 1 : 0;
  std::wstring cache;
  wchar_t folder[MAX_PATH] = {};
  if (SHGetSpecialFolderPathW(nullptr, folder, CSIDL_LOCAL_APPDATA, FALSE)) cache = folder;
  cache += L"\\corvane_cache";
  cef_string_wide_to_utf16(cache.c_str(), cache.size(), &settings.cache_path);
  settings.persist_session_cookies = 1;
  settings.windowless_rendering_enabled = copy->HasSwitch(L"off-screen-rendering-enabled") ? 1 : 0;
}

int RunMainWindow() {
  CMessageLoop loop;
  g_appModule.AddMessageLoop(&loop);
  int result = 0;
  {
    CMainDlg dlg;
    if (dlg.Create(nullptr, g_appModule.GetInstance(), IDD_MAINDLG) != nullptr) {
      ShowWindow(dlg.m_hWnd, SW_SHOWMAXIMIZED);
      result = loop.Run();
    }
    g_appModule.RemoveMessageLoop();
  }  // the window object goes here, and with it its reference to the browser client
  return result;
}

int RunClient(HINSTANCE instance) {
  const CefMainArgs args(instance);
  CefRefPtr<CorvaneCefApp> app(new CorvaneCefApp());

  const int role = cef_execute_process(args, app.get(), nullptr);
  if (role >= 0) return role;  // a runtime sub-process ran its role (or the runtime is unusable)

  LoadCommandLine();
  if (IsBrowserProcess()) CommandLineCopy()->AppendSwitch(L"multi-threaded-message-loop");
  if (IsBrowserProcess()) {
    // Never closed: the name marks this logon session's running client until the process ends.
    CreateMutexW(nullptr, FALSE, kClientMutexName);
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;
    g_settings.AllowWriting();
    CPaintManagerUI::SetInstance(instance);
    StageUpdater();
  }

  cef_settings_t settings = {};
  settings.size = sizeof(settings);
  const std::wstring language = L"zh-CN";
  cef_string_wide_to_utf16(language.c_str(), language.size(), &settings.accept_language_list);
  settings.no_sandbox = 1;
  FillRuntimeSettings(settings);
  cef_initialize(args, settings, app.get(), nullptr);

  int exitCode = 0;
  if (settings.multi_threaded_message_loop) {
    CoInitialize(nullptr);
    INITCOMMONCONTROLSEX controls = {8, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    g_appModule.Init(instance);
    exitCode = RunMainWindow();
    g_appModule.Term();
    CoUninitialize();
  } else {
    // Only when the command-line copy could not be made: no main window could be run safely
    // without our own loop, and the runtime's loop would never be told to end. End instead.
    exitCode = 0;
  }

  cef_shutdown();
  ClearSettingsStrings(&settings);
  return exitCode;
}

}  // namespace corvane
