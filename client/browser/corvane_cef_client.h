// CorvaneCefClient: the client object the main window gives the runtime. It keeps the one
// browser (under a lock, since the main thread reads it too), supplies the home URL and carries
// the browser policy: no pop-ups, no context menu, the local error page on load errors,
// navigation state and relayout notices for the main window, and the clipboard rewrite before
// Ctrl+V in an editable field.
#pragma once

#include <functional>
#include <mutex>
#include <string>

#include "client/browser/cef_handlers.h"

namespace corvane {

// What the callbacks reach outside the runtime. The program's defaults post to g_hMainWnd, run
// the real paste conversion and name the error page beside the executable; tests give their own.
struct CorvaneClientPlatform {
  std::function<void()> convertClipboardForPaste;
  std::function<void(bool canGoBack, bool canGoForward)> postNavState;  // WM_NAVSTATE
  std::function<void()> postRelayout;                                   // WM_RELAYOUT
  std::function<std::wstring()> errorPageUrl;
  // CloseBrowser(false) came through: the page let go (or could not answer). The program ends.
  std::function<void()> pageLetGo;
};

class CorvaneCefClient final : public CefClient,
                               public CefLifeSpanHandler,
                               public CefKeyboardHandler,
                               public CefContextMenuHandler,
                               public CefLoadHandler {
 public:
  // The program's platform (Windows: see corvane_cef_client_default_win.cpp).
  CorvaneCefClient();
  explicit CorvaneCefClient(CorvaneClientPlatform platform);

  // For the main window (main thread).
  std::string GetHomeUrl() const { return m_homeUrl; }
  CefRefPtr<CefBrowser> GetBrowser();

  // CefClient
  CefRefPtr<CefContextMenuHandler> GetContextMenuHandler() override { return this; }
  CefRefPtr<CefKeyboardHandler> GetKeyboardHandler() override { return this; }
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  bool OnProcessMessageReceived(CefRefPtr<CefBrowser>, cef_process_id_t, CefRefPtr<CefProcessMessage>) override {
    return false;
  }

  // CefLifeSpanHandler
  bool OnBeforePopup(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, const CefString& target_url,
                     const CefString& target_frame_name, cef_window_open_disposition_t target_disposition,
                     bool user_gesture, const CefPopupFeatures& popupFeatures, CefWindowInfo& windowInfo,
                     CefRefPtr<CefClient>& client, CefBrowserSettings& settings, bool* no_javascript_access) override;
  void OnAfterCreated(CefRefPtr<CefBrowser> browser) override;
  bool RunModal(CefRefPtr<CefBrowser>) override { return false; }
  bool DoClose(CefRefPtr<CefBrowser> browser) override;
  void OnBeforeClose(CefRefPtr<CefBrowser> browser) override;

  // CefKeyboardHandler
  bool OnPreKeyEvent(CefRefPtr<CefBrowser> browser, const CefKeyEvent& event, CefEventHandle os_event,
                     bool* is_keyboard_shortcut) override;
  bool OnKeyEvent(CefRefPtr<CefBrowser>, const CefKeyEvent&, CefEventHandle) override { return false; }

  // CefContextMenuHandler
  void OnBeforeContextMenu(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame,
                           CefRefPtr<CefContextMenuParams> params, CefRefPtr<CefMenuModel> model) override;
  bool OnContextMenuCommand(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefContextMenuParams>, int,
                            uint32_t) override {
    return false;
  }
  void OnContextMenuDismissed(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>) override {}

  // CefLoadHandler
  void OnLoadingStateChange(CefRefPtr<CefBrowser> browser, bool isLoading, bool canGoBack, bool canGoForward) override;
  void OnLoadStart(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, cef_transition_type_t) override {}
  void OnLoadEnd(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, int) override {}
  void OnLoadError(CefRefPtr<CefBrowser> browser, CefRefPtr<CefFrame> frame, cef_errorcode_t errorCode,
                   const CefString& errorText, const CefString& failedUrl) override;

 private:
  ~CorvaneCefClient() = default;

  const CorvaneClientPlatform m_platform;
  const std::string m_homeUrl;  // "http://" + service host + "/", in the ANSI code page
  std::mutex m_lock;            // guards m_browser
  CefRefPtr<CefBrowser> m_browser;
  IMPLEMENT_REFCOUNTING(CorvaneCefClient);
};

// The key that runs the paste conversion: the browser key table's paste (browser_keys.h), Ctrl+V
// or Shift+Insert with no other flag besides the Caps Lock and Num Lock states, in an editable
// field.
bool IsPasteIntoEditableField(const CefKeyEvent& event);

}  // namespace corvane
