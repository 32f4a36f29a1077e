// The handler interfaces the program implements. Every operation has the runtime's default
// (no handler, false, nothing done), so an implementation overrides only what it changes.
#pragma once

#include "client/browser/cef_browser.h"
#include "client/browser/cef_command_line.h"

// The defaults and the idle handlers ignore their arguments by design.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

class CefBrowserProcessHandler;
class CefRenderProcessHandler;
class CefResourceBundleHandler;
class CefPrintHandler;
class CefContextMenuHandler;
class CefDialogHandler;
class CefDisplayHandler;
class CefDownloadHandler;
class CefDragHandler;
class CefFocusHandler;
class CefJSDialogHandler;
class CefKeyboardHandler;
class CefLifeSpanHandler;
class CefLoadHandler;
class CefRenderHandler;
class CefRequestHandler;

class CefApp : public virtual CefBaseRefCounted {
 public:
  virtual void OnBeforeCommandLineProcessing(const CefString& process_type, CefRefPtr<CefCommandLine> command_line) {}
  virtual void OnRegisterCustomSchemes(CefRefPtr<CefSchemeRegistrar> registrar) {}
  virtual CefRefPtr<CefResourceBundleHandler> GetResourceBundleHandler() { return nullptr; }
  virtual CefRefPtr<CefBrowserProcessHandler> GetBrowserProcessHandler() { return nullptr; }
  virtual CefRefPtr<CefRenderProcessHandler> GetRenderProcessHandler() { return nullptr; }
};

class CefBrowserProcessHandler : public virtual CefBaseRefCounted {
 public:
  virtual void OnContextInitialized() {}
  virtual void OnBeforeChildProcessLaunch(CefRefPtr<CefCommandLine> command_line) {}
  virtual void OnRenderProcessThreadCreated(CefRefPtr<CefListValue> extra_info) {}
  virtual CefRefPtr<CefPrintHandler> GetPrintHandler() { return nullptr; }
};

// Handlers the program never supplies; declared so that the getters can be typed.
class CefRenderProcessHandler : public virtual CefBaseRefCounted {};
class CefResourceBundleHandler : public virtual CefBaseRefCounted {};
class CefPrintHandler : public virtual CefBaseRefCounted {};
class CefDialogHandler : public virtual CefBaseRefCounted {};
class CefDisplayHandler : public virtual CefBaseRefCounted {};
class CefDownloadHandler : public virtual CefBaseRefCounted {};
class CefDragHandler : public virtual CefBaseRefCounted {};
class CefFocusHandler : public virtual CefBaseRefCounted {};
class CefJSDialogHandler : public virtual CefBaseRefCounted {};
class CefRenderHandler : public virtual CefBaseRefCounted {};
class CefRequestHandler : public virtual CefBaseRefCounted {};

class CefClient : public virtual CefBaseRefCounted {
 public:
  virtual CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() { return nullptr; }
  virtual CefRefPtr<CefDialogHandler> GetDialogHandler() { return nullptr; }
  virtual CefRefPtr<CefDisplayHandler> GetDisplayHandler() { return nullptr; }
  virtual CefRefPtr<CefDownloadHandler> GetDownloadHandler() { return nullptr; }
  virtual CefRefPtr<CefDragHandler> GetDragHandler() { return nullptr; }
  virtual CefRefPtr<CefFocusHandler> GetFocusHandler() { return nullptr; }
  virtual CefRefPtr<CefJSDialogHandler> GetJSDialogHandler() { return nullptr; }
  virtual CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() { return nullptr; }
  virtual CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() { return nullptr; }
  virtual CefRefPtr<CefLoadHandler> GetLoadHandler() { return nullptr; }
  virtual CefRefPtr<CefRenderHandler> GetRenderHandler() { return nullptr; }
  virtual CefRefPtr<CefRequestHandler> GetRequestHandler() { return nullptr; }
  virtual bool OnProcessMessageReceived(CefRefPtr<CefBrowser> browser, cef_process_id_t source_process,
                                        CefRefPtr<CefProcessMessage> message) {
    return false;
  }
};

class CefLifeSpanHandler : public virtual CefBaseRefCounted {
 public:
  // True cancels the pop-up.
  virtual bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                             const CefString& target_frame_name, cef_window_open_disposition_t target_disposition,
                             bool user_gesture, const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                             CefRefPtr<CefClient>& client, CefBrowserSettings& settings, bool* no_javascript_access) {
    return false;
  }
  virtual void OnAfterCreated(CefRefPtr<CefBrowser> browser) {}
  virtual bool RunModal(CefRefPtr<CefBrowser> browser) { return false; }
  // False lets the runtime close the browser's top-level window; true means the program does.
  virtual bool DoClose(CefRefPtr<CefBrowser> browser) { return false; }
  virtual void OnBeforeClose(CefRefPtr<CefBrowser> browser) {}
};

class CefKeyboardHandler : public virtual CefBaseRefCounted {
 public:
  // Before the page sees the key; true consumes it.
  virtual bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle os_event,
                             bool* is_keyboard_shortcut) {
    return false;
  }
  virtual bool OnKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle os_event) {
    return false;
  }
};

class CefContextMenuHandler : public virtual CefBaseRefCounted {
 public:
  // The menu is shown only when `model` still has items afterwards.
  virtual void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                   CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) {}
  virtual bool OnContextMenuCommand(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                                    CefRefPtr<CefContextMenuParams> params, int command_id, uint32_t event_flags) {
    return false;
  }
  virtual void OnContextMenuDismissed(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame) {}
};

class CefLoadHandler : public virtual CefBaseRefCounted {
 public:
  virtual void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack, bool canGoForward) {}
  virtual void OnLoadStart(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, cef_transition_type_t transition_type) {}
  virtual void OnLoadEnd(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, int httpStatusCode) {}
  virtual void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, cef_errorcode_t errorCode,
                           const CefString& errorText, const CefString& failedUrl) {}
};

#pragma GCC diagnostic pop
