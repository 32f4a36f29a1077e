// A runtime for tests: a thread of its own on which a test fires any callback, in any order,
// against browsers and frames that record what the program asks of them.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "client/browser/cef_runtime.h"

namespace corvane {

class CScriptedBrowser;

// A frame that records the URLs loaded into it.
class CScriptedFrame final : public CefFrame {
 public:
  CScriptedFrame(CScriptedBrowser* browser, int64_t id, bool isMain, CefString url);
  bool IsValid() override { return true; }
  bool IsMain() override { return m_isMain; }
  int64_t GetIdentifier() override { return m_id; }
  CefString GetName() override { return m_isMain ? CefString() : CefString(L"sub"); }
  CefString GetURL() override;
  void LoadURL(const CefString& url) override;
  CefRefPtr<CefBrowser> GetBrowser() override;
  std::vector<CefString> LoadedUrls();

 private:
  CScriptedBrowser* const m_browser;  // the browser owns its frames
  const int64_t m_id;
  const bool m_isMain;
  std::mutex m_lock;
  CefString m_url;
  std::vector<CefString> m_loaded;
  IMPLEMENT_REFCOUNTING(CScriptedFrame);
};

// A browser whose navigation state the test sets and whose operations are recorded by name.
class CScriptedBrowser final : public CefBrowser, public CefBrowserHost {
 public:
  CScriptedBrowser(int id, CefRefPtr<CefClient> client, cef_window_handle_t window);
  ~CScriptedBrowser();

  // CefBrowser
  CefRefPtr<CefBrowserHost> GetHost() override { return this; }
  bool CanGoBack() override;
  void GoBack() override { Record("GoBack"); }
  bool CanGoForward() override;
  void GoForward() override { Record("GoForward"); }
  bool IsLoading() override;
  void Reload() override { Record("Reload"); }
  void ReloadIgnoreCache() override { Record("ReloadIgnoreCache"); }
  void StopLoad() override { Record("StopLoad"); }
  int GetIdentifier() override { return m_id; }
  bool IsSame(CefRefPtr<CefBrowser> that) override { return that.get() == static_cast<CefBrowser*>(this); }
  bool IsPopup() override { return false; }
  CefRefPtr<CefFrame> GetMainFrame() override { return m_mainFrame; }

  // CefBrowserHost
  CefRefPtr<CefBrowser> GetBrowser() override { return this; }
  void CloseBrowser(bool force_close) override { Record(force_close ? "CloseBrowser(true)" : "CloseBrowser(false)"); }
  cef_window_handle_t GetWindowHandle() override { return m_window; }
  CefRefPtr<CefClient> GetClient() override { return m_client; }

  void SetNavigationState(bool canGoBack, bool canGoForward, bool isLoading);
  CefRefPtr<CScriptedFrame> MainFrame() { return m_mainFrame; }
  CefRefPtr<CScriptedFrame> AddSubFrame(const CefString& url);
  std::vector<std::string> Calls();
  // Drops the frames' and client's references (frames point back at the browser).
  void Detach();

 private:
  void Record(const std::string& call);

  const int m_id;
  CefRefPtr<CefClient> m_client;
  const cef_window_handle_t m_window;
  CefRefPtr<CScriptedFrame> m_mainFrame;
  std::vector<CefRefPtr<CScriptedFrame>> m_subFrames;
  std::mutex m_lock;
  bool m_canGoBack = false, m_canGoForward = false, m_isLoading = false;
  std::vector<std::string> m_calls;
  IMPLEMENT_REFCOUNTING(CScriptedBrowser);
};

class CScriptedRuntime final : public CefRuntime {
 public:
  CScriptedRuntime();
  ~CScriptedRuntime();
  CScriptedRuntime(const CScriptedRuntime&) = delete;
  CScriptedRuntime& operator=(const CScriptedRuntime&) = delete;

  // Script
  void SetApiHash(std::string hash) { m_apiHash = std::move(hash); }
  void SetProcessResult(int result) { m_processResult = result; }
  // Runs `task` on the runtime's thread and waits until it has run.
  void Run(const std::function<void()>& task);
  std::thread::id ThreadId() const { return m_thread.get_id(); }

  // What the program asked of the runtime.
  struct BrowserRequest {
    CefWindowInfo windowInfo;
    CefRefPtr<CefClient> client;
    CefString url;
  };
  std::vector<BrowserRequest> Requests();
  int ExecuteProcessCalls() const { return m_executeCalls; }
  int InitializeCalls() const { return m_initializeCalls; }
  int ShutdownCalls() const { return m_shutdownCalls; }
  int RunMessageLoopCalls() const { return m_runLoopCalls; }
  // The settings' fields as last handed to Initialize.
  struct SettingsCopy {
    int no_sandbox = 0, multi_threaded_message_loop = 0, windowless_rendering_enabled = 0, persist_session_cookies = 0;
    CefString cache_path, accept_language_list, locale, user_agent;
  };
  SettingsCopy Settings() const { return m_settings; }

  // Callbacks, each fired on the runtime's thread; the call returns when the handler has.
  CefRefPtr<CScriptedBrowser> DeliverBrowser(CefRefPtr<CefClient> client, cef_window_handle_t window = nullptr);
  bool FireBeforePopup(CefRefPtr<CScriptedBrowser> browser, const CefString& targetUrl);
  bool FirePreKeyEvent(CefRefPtr<CScriptedBrowser> browser, const CefKeyEvent& event);
  // The model as the handler left it; it started with the runtime's default items.
  CefRefPtr<CefMenuModel> FireBeforeContextMenu(CefRefPtr<CScriptedBrowser> browser, bool editable);
  void FireLoadingStateChange(CefRefPtr<CScriptedBrowser> browser, bool isLoading, bool canGoBack, bool canGoForward);
  void FireLoadError(CefRefPtr<CScriptedBrowser> browser, CefRefPtr<CefFrame> frame, cef_errorcode_t code,
                     const CefString& failedUrl);
  bool FireDoClose(CefRefPtr<CScriptedBrowser> browser);
  void FireBeforeClose(CefRefPtr<CScriptedBrowser> browser);

  // CefRuntime
  const char* ApiHash() override { return m_apiHash.c_str(); }
  int ExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application) override;
  bool Initialize(const CefMainArgs& args, const cef_settings_t& settings, CefRefPtr<CefApp> application) override;
  bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                     const CefBrowserSettings& settings) override;
  void RunMessageLoop() override { ++m_runLoopCalls; }
  void QuitMessageLoop() override {}
  void Shutdown() override;

 private:
  void ThreadMain();

  std::string m_apiHash = kCefApiHash;
  int m_processResult = -1;
  int m_executeCalls = 0, m_initializeCalls = 0, m_shutdownCalls = 0, m_runLoopCalls = 0;
  int m_nextBrowserId = 1;
  SettingsCopy m_settings;
  CefRefPtr<CefApp> m_app;
  std::vector<BrowserRequest> m_requests;
  std::vector<CefRefPtr<CScriptedBrowser>> m_browsers;

  std::mutex m_lock;
  std::condition_variable m_wake;
  std::deque<std::function<void()>> m_tasks;
  bool m_stopping = false;
  std::thread m_thread;
};

}  // namespace corvane
