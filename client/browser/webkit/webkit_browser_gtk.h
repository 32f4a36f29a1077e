// One WebKitWebView behind the contract's browser, host and main frame, with its signals raised
// as the client's handler callbacks: load-changed as the loading state, load-failed as load
// errors in the runtime's codes, create as the pop-up question (never a second window),
// context-menu as the menu question, decide-policy as the navigation and response rule of
// navigation_policy.h (mail and phone links to the desktop, downloads saved by
// webkit_download_gtk.h), drops kept from replacing the page (pictures dropped on a field are
// inlined, webkit_drop_gtk.h), CloseBrowser(false) as the page's beforeunload (try-close, then
// "close"; at most 5 s unless the teacher is being asked, at once when the web process is hung
// or gone) before DoClose, web-process-terminated as one reload by itself (a second end within
// a minute: a load error, so the client's error page), key presses as pre-key events (a handler may take a key
// press to answer it later through the view's key queue, see webkit_key_queue_gtk.h), then the
// browser's own keys (print, zoom, find; browser_keys.h) before the page, through the same queue;
// print as the print dialog (webkit_print_gtk.h), Ctrl+wheel as zoom (webkit_zoom_gtk.h).
#pragma once

#include <webkit2/webkit2.h>

#include <atomic>
#include <memory>
#include <string>

#include "client/browser/browser_keys.h"
#include "client/browser/cef_handlers.h"
#include "client/browser/webkit/webkit_codes_gtk.h"
#include "client/browser/webkit/webkit_key_queue_gtk.h"

namespace corvane {

class CWebKitFindBar;

class CWebKitBrowser final : public CefBrowser, public CefBrowserHost {
 public:
  // Makes the view inside `parent` (a GtkContainer); UI thread.
  CWebKitBrowser(int id, WebKitWebContext* context, GtkWidget* parent, CefRefPtr<CefClient> client);

  // CefBrowser
  CefRefPtr<CefBrowserHost> GetHost() override { return this; }
  bool CanGoBack() override;
  void GoBack() override;
  bool CanGoForward() override;
  void GoForward() override;
  bool IsLoading() override { return m_loading.load(); }
  void Reload() override;
  void ReloadIgnoreCache() override;
  void StopLoad() override;
  int GetIdentifier() override { return m_id; }
  bool IsSame(CefRefPtr<CefBrowser> that) override { return that.get() == this; }
  bool IsPopup() override { return false; }
  CefRefPtr<CefFrame> GetMainFrame() override;

  // CefBrowserHost
  CefRefPtr<CefBrowser> GetBrowser() override { return this; }
  void CloseBrowser(bool force_close) override;
  cef_window_handle_t GetWindowHandle() override { return m_view; }
  CefRefPtr<CefClient> GetClient() override { return m_client; }

  // UI thread.
  void LoadOnUi(const std::string& url);
  std::string Url();
  bool Alive() const { return m_view != nullptr; }
  // Destroys the view; OnBeforeClose follows.
  void Destroy();
  // The browser's own command for a key the client consumes (browser_keys.h), carried out in
  // turn with the keys taken before it (the view's key queue); false for a key it leaves to
  // the page.
  bool ConsumeKey(BrowserKey key);
  // What the find bar shows of its search ("" while it was never opened).
  std::wstring FindBarState() const;
  bool FindBarOpen() const;

 private:
  ~CWebKitBrowser();
  // Runs `operation` on the view, on the UI thread, while the view exists.
  void OnView(void (*operation)(WebKitWebView*));
  static void OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, CWebKitBrowser* self);
  static gboolean OnLoadFailed(WebKitWebView* view, WebKitLoadEvent event, const char* uri, GError* error,
                               CWebKitBrowser* self);
  static gboolean OnTlsFailed(WebKitWebView* view, const char* uri, GTlsCertificate* certificate,
                              GTlsCertificateFlags errors, CWebKitBrowser* self);
  static GtkWidget* OnCreate(WebKitWebView* view, WebKitNavigationAction* action, CWebKitBrowser* self);
  static gboolean OnContextMenu(WebKitWebView* view, WebKitContextMenu* menu, GdkEvent* event,
                                WebKitHitTestResult* hit, CWebKitBrowser* self);
  static gboolean OnKeyPress(GtkWidget* widget, GdkEventKey* event, CWebKitBrowser* self);
  static void OnEditableMessage(WebKitUserContentManager* manager, WebKitJavascriptResult* result,
                                CWebKitBrowser* self);
  static void OnDestroyed(GtkWidget* widget, CWebKitBrowser* self);
  static gboolean OnFocusOut(GtkWidget* widget, GdkEvent* event, CWebKitBrowser* self);
  static void OnUriChanged(GObject* view, GParamSpec* property, CWebKitBrowser* self);
  static gboolean OnDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                 CWebKitBrowser* self);
  static gboolean OnDragDrop(GtkWidget* widget, GdkDragContext* context, gint x, gint y, guint time,
                             CWebKitBrowser* self);
  static void OnDragData(GtkWidget* widget, GdkDragContext* context, gint x, gint y, GtkSelectionData* data,
                         guint info, guint time, CWebKitBrowser* self);
  static void OnDropMessage(WebKitUserContentManager* manager, WebKitJavascriptResult* result, CWebKitBrowser* self);
  void DecideNavigation(WebKitNavigationPolicyDecision* decision);
  bool IsDropped(const std::string& uri) const;
  void AskPageToClose();
  void PageLetGo();
  static void OnClose(WebKitWebView* view, CWebKitBrowser* self);
  static gboolean OnScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, CWebKitBrowser* self);
  static void OnWebProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                                     CWebKitBrowser* self);
  void RaiseLoadError(cef_errorcode_t code, const char* text, const char* uri);
  void RaiseLoadingState();

  const int m_id;
  CefRefPtr<CefClient> m_client;
  WebKitWebView* m_view = nullptr;  // owned by its parent container
  std::atomic<bool> m_loading{false};
  std::atomic<bool> m_canGoBack{false};
  std::atomic<bool> m_canGoForward{false};
  std::string m_url;  // the committed address, under the URL lock
  std::string m_programUrl;  // the last address the program loaded itself
  gint64 m_droppedAt = 0;     // monotonic time of the last drop on the view
  std::string m_draggedUris;  // the URI list of the drag over the view, as WebKit received it
  std::string m_droppedUris;  // that of the last drop
  bool m_askingToClose = false;  // CloseBrowser(false) waits for the page's answer
  guint m_closeBound = 0;        // the timer that ends that wait
  gint64 m_lastCrash = 0;        // monotonic time the web process last ended by itself
  unsigned m_page = 0;        // counts loads: a drop's conversion lands only on its own page
  bool m_editableFocus = false;  // the page's focused element takes text (from the page script)
  std::unique_ptr<CWebKitKeyQueue> m_keys;  // keys taken from WebKit, answered in turn
  std::unique_ptr<CWebKitFindBar> m_findBar;  // made at the first Ctrl+F
  IMPLEMENT_REFCOUNTING(CWebKitBrowser);
};

}  // namespace corvane
