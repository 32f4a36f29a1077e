// The cef_* calls: an interface-version check, then the chosen runtime.
#include "client/browser/cef_runtime.h"

#include <atomic>
#include <cstring>

const char kCefApiHash[] = "corvane-cef-contract-1";

namespace corvane {
namespace {

std::atomic<CefRuntime*> g_runtime{nullptr};

// The runtime, when its interface version is ours.
CefRuntime* MatchingRuntime() {
  CefRuntime* runtime = g_runtime.load();
  if (runtime == nullptr) return nullptr;
  const char* hash = runtime->ApiHash();
  return (hash != nullptr && std::strcmp(hash, kCefApiHash) == 0) ? runtime : nullptr;
}

}  // namespace

void SetCefRuntime(CefRuntime* runtime) { g_runtime.store(runtime); }
CefRuntime* GetCefRuntime() { return g_runtime.load(); }

void NotifyContextInitialized(CefRefPtr<CefApp> application) {
  if (CefRefPtr<CefBrowserProcessHandler> handler = application ? application->GetBrowserProcessHandler() : nullptr) {
    handler->OnContextInitialized();
  }
}

}  // namespace corvane

const char* cef_api_hash(int entry) {
  corvane::CefRuntime* runtime = corvane::GetCefRuntime();
  return (runtime != nullptr && entry == 0) ? runtime->ApiHash() : nullptr;
}

int cef_execute_process(const CefMainArgs& args, CefRefPtr<CefApp> application, void*) {
  corvane::CefRuntime* runtime = corvane::MatchingRuntime();
  return runtime != nullptr ? runtime->ExecuteProcess(args, application) : 0;
}

bool cef_initialize(const CefMainArgs& args, const cef_settings_t& settings, CefRefPtr<CefApp> application, void*) {
  corvane::CefRuntime* runtime = corvane::MatchingRuntime();
  return runtime != nullptr && runtime->Initialize(args, settings, application);
}

int cef_browser_host_create_browser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                    const CefBrowserSettings& settings, CefRefPtr<CefRequestContext>) {
  corvane::CefRuntime* runtime = corvane::MatchingRuntime();
  return (runtime != nullptr && runtime->CreateBrowser(windowInfo, client, url, settings)) ? 1 : 0;
}

void cef_run_message_loop() {
  if (corvane::CefRuntime* runtime = corvane::MatchingRuntime()) runtime->RunMessageLoop();
}

void cef_quit_message_loop() {
  if (corvane::CefRuntime* runtime = corvane::MatchingRuntime()) runtime->QuitMessageLoop();
}

void cef_shutdown() {
  if (corvane::CefRuntime* runtime = corvane::MatchingRuntime()) runtime->Shutdown();
}
