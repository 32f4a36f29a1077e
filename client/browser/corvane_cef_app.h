// CorvaneCefApp: the application object handed to the runtime in every process. It answers
// with the defaults; its one active answer is being its own (idle) browser-process handler.
#pragma once

#include "client/browser/cef_handlers.h"

namespace corvane {

// The defaults and the idle handlers ignore their arguments by design.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

class CorvaneCefApp final : public CefApp, public CefBrowserProcessHandler {
 public:
  CorvaneCefApp() = default;

  // CefApp
  void OnBeforeCommandLineProcessing(const CefString& process_type, CefRefPtr<CefCommandLine> command_line) override {}
  void OnRegisterCustomSchemes(CefRefPtr<CefSchemeRegistrar> registrar) override {}
  CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() override { return nullptr; }
  CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() override { return this; }
  CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() override { return nullptr; }

  // CefBrowserProcessHandler: the browser is made by the main window, not here.
  void OnContextInitialized() override {}
  void OnBeforeChildProcessLaunch(CefRefPtr<CefCommandLine> command_line) override {}
  void OnRenderProcessThreadCreated(CefRefPtr<CefListValue> extra_info) override {}
  CefRefPtr<CefPrintHandler> GetPrintHandler() override { return nullptr; }

 private:
  IMPLEMENT_REFCOUNTING(CorvaneCefApp);
};

}  // namespace corvane

#pragma GCC diagnostic pop
