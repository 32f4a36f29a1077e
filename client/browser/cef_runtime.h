// The runtime's process-wide calls, and the backend interface behind them. The program calls the
// cef_* functions; which runtime answers is chosen once at start with SetCefRuntime (the Windows
// stand-in in the program, the scripted runtime in tests). The wrapper checks the runtime's
// interface version before it lets execute-process or initialise through.
#pragma once

#include "client/browser/cef_handlers.h"

// The interface version these headers describe.
extern const char kCefApiHash[];

namespace corvane {

class CefRuntime {
 public:
  // The interface version the runtime implements.
  virtual const char* ApiHash() = 0;
  // A sub-process role's exit code (0 or more), or -1 in the browser process.
  virtual int ExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> application) = 0;
  virtual bool Initialize(const CefMainArgs& args, const cef_settings_t& settings, CefRefPtr<CefApp> application) = 0;
  // Asynchronous: the browser arrives later through the client's OnAfterCreated.
  virtual bool CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                             const CefBrowserSettings& settings) = 0;
  virtual void RunMessageLoop() = 0;
  virtual void QuitMessageLoop() = 0;
  virtual void Shutdown() = 0;

 protected:
  ~CefRuntime() = default;
};

// Chooses the runtime behind the cef_* calls; null means none (every call then fails).
void SetCefRuntime(CefRuntime* runtime);
CefRuntime* GetCefRuntime();

// For backends, on their UI thread once initialised: the application's browser-process handler
// hears that the context is ready.
void NotifyContextInitialized(CefRefPtr<CefApp> application);

}  // namespace corvane

// The runtime's version of its interface for `entry` (0: the platform hash); null with no
// runtime.
const char* cef_api_hash(int entry);

// 0 or more: this process ran one of the runtime's sub-process roles, and that is its exit code.
// -1: the browser process. 0 without running anything when the runtime's interface version
// differs from these headers' (or no runtime is chosen), so the program then ends at once.
int cef_execute_process(const CefMainArgs& args, CefRefPtr<CefApp> application, void* windows_sandbox_info);

// False, without initialising, on an interface-version mismatch.
bool cef_initialize(const CefMainArgs& args, const cef_settings_t& settings, CefRefPtr<CefApp> application,
                    void* windows_sandbox_info);

// Asks for a browser; it arrives through the client's life-span handler (OnAfterCreated).
int cef_browser_host_create_browser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                    const CefBrowserSettings& settings, CefRefPtr<CefRequestContext> request_context);

// The runtime's own message loop on the calling thread (single-threaded mode only), until
// cef_quit_message_loop.
void cef_run_message_loop();
void cef_quit_message_loop();

// Once, after the last browser window is gone.
void cef_shutdown();
