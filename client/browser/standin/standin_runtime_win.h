// The Windows stand-in runtime. It renders no HTML: it shows a page's address, title and text
// without markup, lists its links, and offers one editable text field standing for an editable
// field of the page. Behind the contract it does what the client relies on: process roles from
// the "type" switch, a UI thread of its own (multi-threaded loop) on which every callback
// arrives, asynchronous creation of the browser as a child window, a history with loading-state
// changes, http loads through WinINet and file loads from disk with the runtime's error codes,
// key events and context-menu requests routed to the handlers.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "client/browser/cef_runtime.h"

namespace corvane {

class CStandInBrowser;

class CStandInRuntime final : public CefRuntime {
 public:
  static CStandInRuntime& Instance();

  const char* ApiHash() override { return kCefApiHash; }
  int ExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application) override;
  // multi_threaded_message_loop 1: a UI thread of the runtime's own; 0: the calling thread is
  // the UI thread and runs the callbacks inside cef_run_message_loop.
  bool Initialize(const CefMainArgs& args, const cef_settings_t& settings, CefRefPtr<CefApp> application) override;
  bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                     const CefBrowserSettings& settings) override;
  void RunMessageLoop() override;
  void QuitMessageLoop() override;
  // Closes the browsers still open (their OnBeforeClose runs), ends the UI thread.
  void Shutdown() override;

  // Runs `task` on the UI thread, later; dropped when the runtime is not running.
  void PostTask(std::function<void()> task);
  bool OnUiThread() const { return GetCurrentThreadId() == m_uiThreadId; }
  DWORD UiThreadId() const { return m_uiThreadId; }
  HINSTANCE ModuleInstance() const { return m_instance; }
  const std::wstring& AcceptLanguage() const { return m_acceptLanguage; }
  void Forget(CStandInBrowser* browser);

 private:
  CStandInRuntime() = default;
  static DWORD WINAPI UiThreadMain(void* self);
  static LRESULT CALLBACK TaskWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void CreateTaskWindow();
  void RunTasks();
  void CloseAll();

  std::mutex m_lock;  // m_tasks, m_taskWindow
  std::deque<std::function<void()>> m_tasks;
  HWND m_taskWindow = nullptr;
  HANDLE m_uiThread = nullptr;
  DWORD m_uiThreadId = 0;
  bool m_multiThreaded = false;
  bool m_initialized = false;
  HINSTANCE m_instance = nullptr;
  std::wstring m_acceptLanguage;
  CefRefPtr<CefApp> m_app;
  std::vector<CefRefPtr<CStandInBrowser>> m_browsers;  // UI thread only
  int m_nextBrowserId = 1;
};

// The exit code of a sub-process role of the stand-in: 0 for the runtime's roles, 1 for an
// unknown one.
int StandInRoleExitCode(const std::wstring& processType);

}  // namespace corvane
