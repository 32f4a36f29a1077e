// The WebKitGTK runtime: a real browser engine behind the runtime contract. Its UI thread is the
// GTK main thread; every callback arrives there, and the browser operations called from other
// threads are carried out there. It owns the web context (cache, cookie storage, preferred
// languages, the web-process sandbox) and the browsers it made.
#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "client/browser/cef_runtime.h"
#include "client/browser/webkit/webkit_session_cookies_gtk.h"

namespace corvane {

class CWebKitBrowser;

class CWebKitRuntime final : public CefRuntime {
 public:
  static CWebKitRuntime& Instance();

  const char* ApiHash() override { return kCefApiHash; }
  // Always -1 (the browser process): WebKit starts its own helper programs, never this
  // executable, so there is no sub-process role to run.
  int ExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application) override;
  // Needs GTK initialised on the calling thread, which becomes the UI thread. Cache in
  // cache_path (default $XDG_CACHE_HOME/corvane/corvane_cache), cookies in
  // $XDG_DATA_HOME/corvane (session cookies too with persist_session_cookies), accept_language_list
  // as the preferred languages.
  bool Initialize(const CefMainArgs& args, const cef_settings_t& settings, CefRefPtr<CefApp> application) override;
  // windowInfo.parent_window is the GtkContainer that receives the view.
  bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                     const CefBrowserSettings& settings) override;
  void RunMessageLoop() override;
  void QuitMessageLoop() override;
  // Destroys the views still open (their OnBeforeClose runs) and the web context, after the
  // session cookies on their way to the storage are stored.
  void Shutdown() override;

  // Runs `task` on the UI thread: now when called there, otherwise from the main loop.
  static void RunOnUi(std::function<void()> task);
  // Runs `task` from the main loop, later, even when called on the UI thread.
  static void PostToUi(std::function<void()> task);
  void Forget(CWebKitBrowser* browser);
  bool SandboxEnabled() const { return m_sandbox; }

 private:
  CWebKitRuntime() = default;

  bool m_initialized = false;
  bool m_sandbox = false;
  bool m_quit = false;
  WebKitWebContext* m_context = nullptr;
  std::unique_ptr<SessionCookieKeeper> m_sessionCookies;
  CefRefPtr<CefApp> m_app;
  std::vector<CefRefPtr<CWebKitBrowser>> m_browsers;  // UI thread only
  int m_nextBrowserId = 1;
};

// True when bubblewrap can make the namespaces WebKit's web-process sandbox needs here.
bool BubblewrapWorks();

}  // namespace corvane
