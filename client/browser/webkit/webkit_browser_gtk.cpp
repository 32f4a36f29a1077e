// One WebKitWebView as the contract's browser: its operations carried out on the UI thread, its
// signals raised as the client's handler callbacks.
#include "client/browser/webkit/webkit_browser_gtk.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "base/percent_escapes.h"
#include "base/utf8.h"
#include "client/browser/cef_menu_model.h"
#include "client/browser/error_page_return.h"
#include "client/browser/navigation_policy.h"
#include "client/browser/webkit/webkit_drop_gtk.h"
#include "client/browser/webkit/webkit_find_bar_gtk.h"
#include "client/browser/webkit/webkit_leave_prompt_gtk.h"
#include "client/browser/webkit/webkit_print_gtk.h"
#include "client/browser/webkit/webkit_runtime_gtk.h"
#include "client/browser/webkit/webkit_zoom_gtk.h"

namespace corvane {
namespace {

constexpr char kEditableHandler[] = "corvaneEditable";
constexpr char kDropHandler[] = "corvaneDrop";
// Tells the runtime whether the focused element takes typed text: inputs of the text kinds,
// textareas and contenteditable regions (main frame only). Files dropped on such an element are
// kept from the page and WebKit: the caret goes to the drop point and the runtime inserts what
// the files give (webkit_drop_gtk.h).
constexpr char kEditableScript[] = R"JS((function () {
  var textTypes = ['', 'text', 'search', 'url', 'tel', 'email', 'password', 'number'];
  function editable(e) {
    if (!e || e.disabled || e.readOnly) return false;
    if (e.isContentEditable || e.tagName === 'TEXTAREA') return true;
    return e.tagName === 'INPUT' && textTypes.indexOf((e.getAttribute('type') || '').toLowerCase()) >= 0;
  }
  function post(element) {
    window.webkit.messageHandlers.corvaneEditable.postMessage(editable(element));
  }
  document.addEventListener('focusin', function (e) { post(e.target); }, true);
  // At once, not after the focus has moved: a key pressed next must not find the old answer.
  document.addEventListener('focusout', function (e) { post(e.relatedTarget); }, true);
  // WebKitGTK offers another program's files as a URI list, not as "Files", and keeps file:
  // addresses from pages: at the drop, a list that reads empty is files (a web link reads as
  // itself and stays WebKit's). While dragging, nothing is readable.
  function filesOnField(e) {
    var target = e.target && e.target.nodeType === 1 ? e.target : e.target && e.target.parentElement;
    var data = e.dataTransfer;
    if (!data || !editable(target)) return null;
    var types = Array.prototype.slice.call(data.types);
    if (types.indexOf('Files') >= 0) return target;
    if (types.indexOf('text/uri-list') < 0) return null;
    return e.type !== 'drop' || data.getData('text/uri-list') === '' ? target : null;
  }
  window.addEventListener('dragover', function (e) { if (filesOnField(e)) e.preventDefault(); }, true);
  window.addEventListener('drop', function (e) {
    var field = filesOnField(e);
    if (!field) return;
    e.preventDefault();
    e.stopImmediatePropagation();
    field.focus();
    var at = document.caretRangeFromPoint(e.clientX, e.clientY);
    if (at && field.contains(at.startContainer)) {
      var selection = window.getSelection();
      selection.removeAllRanges();
      selection.addRange(at);
    }
    window.webkit.messageHandlers.corvaneDrop.postMessage(true);
  }, true);
})();)JS";

// The menu ids the runtime gives WebKit's stock actions; others get 26500 + the action.
constexpr int kOtherActionBase = 26500;

int MenuIdOfAction(WebKitContextMenuAction action) {
  switch (action) {
    case WEBKIT_CONTEXT_MENU_ACTION_GO_BACK: return MENU_ID_BACK;
    case WEBKIT_CONTEXT_MENU_ACTION_GO_FORWARD: return MENU_ID_FORWARD;
    case WEBKIT_CONTEXT_MENU_ACTION_RELOAD: return MENU_ID_RELOAD;
    case WEBKIT_CONTEXT_MENU_ACTION_STOP: return MENU_ID_STOPLOAD;
    case WEBKIT_CONTEXT_MENU_ACTION_CUT: return MENU_ID_CUT;
    case WEBKIT_CONTEXT_MENU_ACTION_COPY: return MENU_ID_COPY;
    case WEBKIT_CONTEXT_MENU_ACTION_PASTE: return MENU_ID_PASTE;
    case WEBKIT_CONTEXT_MENU_ACTION_SELECT_ALL: return MENU_ID_SELECT_ALL;
    default: return kOtherActionBase + static_cast<int>(action);
  }
}

CefString ActionLabel(WebKitContextMenuAction action) {
  GEnumClass* actions = static_cast<GEnumClass*>(g_type_class_ref(webkit_context_menu_action_get_type()));
  GEnumValue* value = g_enum_get_value(actions, action);
  CefString label(value ? value->value_nick : "");
  g_type_class_unref(actions);
  return label;
}

class CWebKitMenuParams final : public CefContextMenuParams {
 public:
  CWebKitMenuParams(int x, int y, uint32_t flags, std::string pageUrl)
      : m_x(x), m_y(y), m_flags(flags), m_pageUrl(std::move(pageUrl)) {}
  int GetXCoord() override { return m_x; }
  int GetYCoord() override { return m_y; }
  uint32_t GetTypeFlags() override { return m_flags; }
  bool IsEditable() override { return (m_flags & CM_TYPEFLAG_EDITABLE) != 0; }
  CefString GetPageUrl() override { return m_pageUrl; }

 private:
  const int m_x, m_y;
  const uint32_t m_flags;
  const std::string m_pageUrl;
  IMPLEMENT_REFCOUNTING(CWebKitMenuParams);
};

// The main frame: WebKitGTK reports loads of the main frame only.
class CWebKitFrame final : public CefFrame {
 public:
  explicit CWebKitFrame(CefRefPtr<CWebKitBrowser> browser) : m_browser(std::move(browser)) {}
  bool IsValid() override { return m_browser->Alive(); }
  bool IsMain() override { return true; }
  int64_t GetIdentifier() override { return 1; }
  CefString GetName() override { return CefString(); }
  CefString GetURL() override { return m_browser->Url(); }
  void LoadURL(const CefString& url) override {
    CefRefPtr<CWebKitBrowser> browser = m_browser;
    const std::string address = url.ToString();
    // Later, also on the UI thread: a handler may ask for a load from inside a load signal.
    CWebKitRuntime::PostToUi([browser, address] { browser->LoadOnUi(address); });
  }
  CefRefPtr<CefBrowser> GetBrowser() override { return m_browser.get(); }

 private:
  CefRefPtr<CWebKitBrowser> m_browser;
  IMPLEMENT_REFCOUNTING(CWebKitFrame);
};

std::mutex g_urlLock;  // the committed URLs, read from any thread

// How long a page's beforeunload may take before the program closes anyway.
constexpr guint kCloseAnswerSeconds = 5;

// A second end of the web process within this time shows the error page instead of a reload.
constexpr gint64 kCrashReloadWindow = 60 * G_USEC_PER_SEC;

// A navigation WebKit starts for a drop comes this soon after it (the page had its chance).
constexpr gint64 kDropNavigationWindow = 2 * G_USEC_PER_SEC;

// WebKit hands requests escaped; the program's own addresses may not be.
std::string Unescaped(const std::string& uri) {
  gchar* plain = g_uri_unescape_string(uri.c_str(), nullptr);
  std::string text = plain ? plain : uri;
  g_free(plain);
  return text;
}

}  // namespace

CWebKitBrowser::CWebKitBrowser(int id, WebKitWebContext* context, GtkWidget* parent, CefRefPtr<CefClient> client)
    : m_id(id), m_client(std::move(client)) {
  WebKitUserContentManager* content = webkit_user_content_manager_new();
  g_signal_connect(content, (std::string("script-message-received::") + kEditableHandler).c_str(),
                   G_CALLBACK(OnEditableMessage), this);
  webkit_user_content_manager_register_script_message_handler(content, kEditableHandler);
  g_signal_connect(content, (std::string("script-message-received::") + kDropHandler).c_str(),
                   G_CALLBACK(OnDropMessage), this);
  webkit_user_content_manager_register_script_message_handler(content, kDropHandler);
  WebKitUserScript* script = webkit_user_script_new(kEditableScript, WEBKIT_USER_CONTENT_INJECT_TOP_FRAME,
                                                    WEBKIT_USER_SCRIPT_INJECT_AT_DOCUMENT_START, nullptr, nullptr);
  webkit_user_content_manager_add_script(content, script);
  webkit_user_script_unref(script);

  // Every window.open reaches `create`, where the client decides; none is refused unasked.
  // The service's pages are documents and forms: drawing them without compositing spares the
  // GL layer tree and its buffers (with software GL, about 90 MiB of the web process).
  WebKitSettings* settings = webkit_settings_new_with_settings(
      "javascript-can-open-windows-automatically", TRUE, "enable-developer-extras", FALSE,
      "hardware-acceleration-policy", WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER, nullptr);
  m_view = WEBKIT_WEB_VIEW(g_object_new(WEBKIT_TYPE_WEB_VIEW, "web-context", context, "user-content-manager",
                                        content, "settings", settings, nullptr));
  g_object_unref(settings);
  g_object_unref(content);

  g_signal_connect(m_view, "load-changed", G_CALLBACK(OnLoadChanged), this);
  g_signal_connect(m_view, "load-failed", G_CALLBACK(OnLoadFailed), this);
  g_signal_connect(m_view, "load-failed-with-tls-errors", G_CALLBACK(OnTlsFailed), this);
  g_signal_connect(m_view, "create", G_CALLBACK(OnCreate), this);
  g_signal_connect(m_view, "context-menu", G_CALLBACK(OnContextMenu), this);
  g_signal_connect(m_view, "key-press-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(m_view, "key-release-event", G_CALLBACK(OnKeyPress), this);
  g_signal_connect(m_view, "destroy", G_CALLBACK(OnDestroyed), this);
  g_signal_connect(m_view, "focus-out-event", G_CALLBACK(OnFocusOut), this);
  g_signal_connect(m_view, "notify::uri", G_CALLBACK(OnUriChanged), this);
  g_signal_connect(m_view, "decide-policy", G_CALLBACK(OnDecidePolicy), this);
  g_signal_connect(m_view, "close", G_CALLBACK(OnClose), this);
  g_signal_connect(m_view, "script-dialog", G_CALLBACK(OnScriptDialog), this);
  g_signal_connect(m_view, "web-process-terminated", G_CALLBACK(OnWebProcessTerminated), this);
  // Before WebKit's own handler (the class handler runs last), which may navigate to the drop.
  g_signal_connect(m_view, "drag-drop", G_CALLBACK(OnDragDrop), this);
  g_signal_connect(m_view, "drag-data-received", G_CALLBACK(OnDragData), this);
  g_signal_connect(m_view, "print", G_CALLBACK(OnPagePrintRequest), this);
  g_signal_connect(m_view, "scroll-event", G_CALLBACK(OnZoomWheel), this);
  ApplyRememberedZoom(m_view);
  m_keys = std::make_unique<CWebKitKeyQueue>(m_view);
  gtk_container_add(GTK_CONTAINER(parent), GTK_WIDGET(m_view));
  if (GTK_IS_BOX(parent)) gtk_box_set_child_packing(GTK_BOX(parent), GTK_WIDGET(m_view), TRUE, TRUE, 0, GTK_PACK_START);
  gtk_widget_show(GTK_WIDGET(m_view));
  m_downloadNotice = std::make_unique<CDownloadNotice>();
  m_downloadNotice->Place(parent, L"download_notice");
  SetDownloadNotice(m_view, m_downloadNotice.get());
  m_errorRetry = std::make_unique<CErrorPageRetry>([this](const std::string& uri) { LoadOnUi(uri); });
  m_hangWatch = std::make_unique<CHangWatch>();
  m_hangWatch->Watch(m_view, parent);
}

CWebKitBrowser::~CWebKitBrowser() = default;

// From the last loading-state change, so that any thread may ask.
bool CWebKitBrowser::CanGoBack() { return m_canGoBack.load(); }

bool CWebKitBrowser::CanGoForward() { return m_canGoForward.load(); }

void CWebKitBrowser::OnView(void (*operation)(WebKitWebView*)) {
  CefRefPtr<CWebKitBrowser> self = this;
  CWebKitRuntime::RunOnUi([self, operation] {
    if (self->m_view) operation(self->m_view);
  });
}

void CWebKitBrowser::GoBack() { OnView(webkit_web_view_go_back); }
void CWebKitBrowser::GoForward() { OnView(webkit_web_view_go_forward); }
void CWebKitBrowser::Reload() { OnView(webkit_web_view_reload); }
void CWebKitBrowser::ReloadIgnoreCache() { OnView(webkit_web_view_reload_bypass_cache); }
void CWebKitBrowser::StopLoad() { OnView(webkit_web_view_stop_loading); }

CefRefPtr<CefFrame> CWebKitBrowser::GetMainFrame() { return new CWebKitFrame(this); }

void CWebKitBrowser::CloseBrowser(bool force_close) {
  CefRefPtr<CWebKitBrowser> self = this;
  CWebKitRuntime::RunOnUi([self, force_close] {
    if (!self->m_view) return;
    if (force_close) {
      self->Destroy();
    } else {
      self->AskPageToClose();
    }
  });
}

// The page's beforeunload first (WebKit emits "close" when it lets go); a page that cannot answer
// (its web process hung or gone, or no answer in time) does not hold the program.
void CWebKitBrowser::AskPageToClose() {
  if (m_closeBound) return;  // already asking
  m_askingToClose = true;
  if (!webkit_web_view_get_is_web_process_responsive(m_view)) return PageLetGo();
  m_closeBound = g_timeout_add_seconds(kCloseAnswerSeconds, [](gpointer data) -> gboolean {
    auto* self = static_cast<CWebKitBrowser*>(data);
    self->m_closeBound = 0;
    self->PageLetGo();
    return G_SOURCE_REMOVE;
  }, this);
  webkit_web_view_try_close(m_view);
}

void CWebKitBrowser::PageLetGo() {
  if (m_closeBound) g_source_remove(m_closeBound);
  m_closeBound = 0;
  m_askingToClose = false;
  if (!m_view) return;
  CefRefPtr<CefLifeSpanHandler> handler = m_client ? m_client->GetLifeSpanHandler() : nullptr;
  // True from DoClose leaves the closing to the program: the view goes with its window.
  if (handler && handler->DoClose(this)) return;
  GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(m_view));
  if (GTK_IS_WINDOW(top)) {
    gtk_window_close(GTK_WINDOW(top));
  } else {
    Destroy();
  }
}

void CWebKitBrowser::OnClose(WebKitWebView*, CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  if (self->m_askingToClose) self->PageLetGo();  // a page's own window.close() closes nothing
}

gboolean CWebKitBrowser::OnScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, CWebKitBrowser* self) {
  if (webkit_script_dialog_get_dialog_type(dialog) != WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM) {
    return FALSE;  // WebKit shows alerts, confirms and prompts in the view
  }
  // The teacher is asked whether to leave: no bound on that answer.
  if (self->m_closeBound) g_source_remove(self->m_closeBound);
  self->m_closeBound = 0;
  CefRefPtr<CWebKitBrowser> keep = self;
  AskWhetherToLeavePage(GTK_WIDGET(view), dialog, [keep](bool leave) {
    // Staying ends the exit that asked: a later crash or window.close() must not end the program.
    if (!leave) keep->m_askingToClose = false;
  });
  return TRUE;
}

void CWebKitBrowser::OnWebProcessTerminated(WebKitWebView* view, WebKitWebProcessTerminationReason reason,
                                            CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  if (self->m_askingToClose) return self->PageLetGo();  // no page left to ask
  if (reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) return;  // the program ended it
  // A crash: the page once more by itself; a second within the minute shows the error page (a
  // page that kills its process must not reload for ever).
  const gint64 now = g_get_monotonic_time();
  const bool again = self->m_lastCrash != 0 && now - self->m_lastCrash < kCrashReloadWindow;
  self->m_lastCrash = now;
  if (!again) {
    webkit_web_view_reload(view);
    return;
  }
  const char* uri = webkit_web_view_get_uri(view);
  self->RaiseLoadError(ERR_FAILED, "the page's process ended twice", uri);
}

void CWebKitBrowser::LoadOnUi(const std::string& url) {
  if (!m_view) return;
  m_programUrl = url;
  // The page an error page stands for, tried again (an attempt, the toolbar's refresh), takes the
  // error page's place in the history, as the page's own button does: Back then leads to the page
  // before the failure. The address travels percent-escaped, so nothing in it is read as script.
  const char* shown = webkit_web_view_get_uri(m_view);
  if (shown != nullptr && !webkit_web_view_is_loading(m_view) && WideToUtf8(FailedUrlOf(Utf8ToWide(shown))) == url) {
    const std::string replace = "location.replace(decodeURIComponent('" + PercentEncode(url) + "'))";
    webkit_web_view_evaluate_javascript(m_view, replace.c_str(), -1, nullptr, nullptr, nullptr, nullptr, nullptr);
    return;
  }
  webkit_web_view_load_uri(m_view, url.c_str());
}

std::string CWebKitBrowser::Url() {
  std::lock_guard<std::mutex> lock(g_urlLock);
  return m_url;
}

void CWebKitBrowser::Destroy() {
  if (m_view) gtk_widget_destroy(GTK_WIDGET(m_view));
}

void CWebKitBrowser::RaiseLoadingState() {
  m_canGoBack = webkit_web_view_can_go_back(m_view);
  m_canGoForward = webkit_web_view_can_go_forward(m_view);
  if (CefRefPtr<CefLoadHandler> handler = m_client ? m_client->GetLoadHandler() : nullptr) {
    handler->OnLoadingStateChange(this, m_loading, m_canGoBack, m_canGoForward);
  }
}

void CWebKitBrowser::OnLoadChanged(WebKitWebView* view, WebKitLoadEvent event, CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  CefRefPtr<CefLoadHandler> handler = self->m_client ? self->m_client->GetLoadHandler() : nullptr;
  switch (event) {
    case WEBKIT_LOAD_STARTED:
      ++self->m_page;
      self->m_keys->PageChanged();
      self->m_loading = true;
      self->m_editableFocus = false;
      self->RaiseLoadingState();
      if (handler) handler->OnLoadStart(self, self->GetMainFrame(), TT_EXPLICIT);
      break;
    case WEBKIT_LOAD_COMMITTED: {
      const char* uri = webkit_web_view_get_uri(view);
      {
        std::lock_guard<std::mutex> lock(g_urlLock);
        self->m_url = uri ? uri : "";
      }
      if (self->m_errorRetry) self->m_errorRetry->Committed(uri ? uri : "");
      self->RaiseLoadingState();
      break;
    }
    case WEBKIT_LOAD_FINISHED:
      self->m_loading = false;
      self->RaiseLoadingState();
      if (handler) handler->OnLoadEnd(self, self->GetMainFrame(), 200);
      break;
    default:
      break;
  }
}

void CWebKitBrowser::RaiseLoadError(cef_errorcode_t code, const char* text, const char* uri) {
  if (CefRefPtr<CefLoadHandler> handler = m_client ? m_client->GetLoadHandler() : nullptr) {
    handler->OnLoadError(this, GetMainFrame(), code, CefString(text ? text : ""), CefString(uri ? uri : ""));
  }
}

gboolean CWebKitBrowser::OnLoadFailed(WebKitWebView*, WebKitLoadEvent, const char* uri, GError* error,
                                      CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  if (self->m_errorRetry) self->m_errorRetry->Failed(uri ? uri : "", WebKitLoadErrorCode(error));
  self->RaiseLoadError(WebKitLoadErrorCode(error), error ? error->message : "", uri);
  return TRUE;  // never WebKit's own error page: the handler decides what shows
}

gboolean CWebKitBrowser::OnTlsFailed(WebKitWebView*, const char* uri, GTlsCertificate*, GTlsCertificateFlags,
                                     CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  self->RaiseLoadError(ERR_CERT_INVALID, "certificate not accepted", uri);
  return TRUE;
}

GtkWidget* CWebKitBrowser::OnCreate(WebKitWebView*, WebKitNavigationAction* action, CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  WebKitURIRequest* request = webkit_navigation_action_get_request(action);
  const std::string target = webkit_uri_request_get_uri(request) ? webkit_uri_request_get_uri(request) : "";
  const char* frameName = webkit_navigation_action_get_frame_name(action);
  const cef_window_open_disposition_t disposition =
      webkit_navigation_action_get_navigation_type(action) == WEBKIT_NAVIGATION_TYPE_LINK_CLICKED
          ? WOD_NEW_FOREGROUND_TAB
          : WOD_NEW_POPUP;
  CefRefPtr<CefLifeSpanHandler> handler = self->m_client ? self->m_client->GetLifeSpanHandler() : nullptr;
  bool cancelled = false;
  if (handler) {
    CefWindowInfo info;
    CefRefPtr<CefClient> client = self->m_client;
    CefBrowserSettings settings;
    bool noScriptAccess = false;
    cancelled = handler->OnBeforePopup(self, self->GetMainFrame(), target, frameName ? frameName : "", disposition,
                                       webkit_navigation_action_is_user_gesture(action), CefPopupFeatures(), info,
                                       client, settings, &noScriptAccess);
  }
  // This runtime makes no second window: an allowed pop-up opens in this view instead.
  if (!cancelled && !target.empty()) {
    CefRefPtr<CWebKitBrowser> browser = self;
    CWebKitRuntime::PostToUi([browser, target] { browser->LoadOnUi(target); });
  }
  return nullptr;
}

gboolean CWebKitBrowser::OnContextMenu(WebKitWebView* view, WebKitContextMenu* menu, GdkEvent* event,
                                       WebKitHitTestResult* hit, CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  CefRefPtr<CefContextMenuHandler> handler = self->m_client ? self->m_client->GetContextMenuHandler() : nullptr;
  if (!handler) return FALSE;
  CefRefPtr<CefMenuModel> model = new CMenuModel();
  for (GList* item = webkit_context_menu_get_items(menu); item; item = item->next) {
    auto* entry = static_cast<WebKitContextMenuItem*>(item->data);
    if (webkit_context_menu_item_is_separator(entry)) {
      model->AddSeparator();
    } else {
      const WebKitContextMenuAction action = webkit_context_menu_item_get_stock_action(entry);
      model->AddItem(MenuIdOfAction(action), ActionLabel(action));
    }
  }
  uint32_t flags = CM_TYPEFLAG_PAGE;
  if (webkit_hit_test_result_context_is_link(hit)) flags |= CM_TYPEFLAG_LINK;
  if (webkit_hit_test_result_context_is_image(hit) || webkit_hit_test_result_context_is_media(hit)) {
    flags |= CM_TYPEFLAG_MEDIA;
  }
  if (webkit_hit_test_result_context_is_selection(hit)) flags |= CM_TYPEFLAG_SELECTION;
  if (webkit_hit_test_result_context_is_editable(hit)) flags |= CM_TYPEFLAG_EDITABLE;
  gdouble x = 0, y = 0;
  if (event) gdk_event_get_coords(event, &x, &y);
  const char* uri = webkit_web_view_get_uri(view);
  handler->OnBeforeContextMenu(self, self->GetMainFrame(),
                               new CWebKitMenuParams(static_cast<int>(x), static_cast<int>(y), flags, uri ? uri : ""),
                               model);
  if (model->GetCount() == 0) return TRUE;  // nothing left: no menu at all
  // Keep WebKit's items the handler kept; items it added have no action here.
  GList* items = g_list_copy(webkit_context_menu_get_items(menu));
  for (GList* item = items; item; item = item->next) {
    auto* entry = static_cast<WebKitContextMenuItem*>(item->data);
    if (webkit_context_menu_item_is_separator(entry)) continue;
    const int id = MenuIdOfAction(webkit_context_menu_item_get_stock_action(entry));
    bool kept = false;
    for (size_t i = 0; i < model->GetCount() && !kept; ++i) kept = model->GetCommandIdAt(i) == id;
    if (!kept) webkit_context_menu_remove(menu, entry);
  }
  g_list_free(items);
  return FALSE;
}

gboolean CWebKitBrowser::OnKeyPress(GtkWidget*, GdkEventKey* event, CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  CefRefPtr<CefKeyboardHandler> handler = self->m_client ? self->m_client->GetKeyboardHandler() : nullptr;
  CefKeyEvent key;
  key.type = event->type == GDK_KEY_RELEASE ? KEYEVENT_KEYUP : KEYEVENT_RAWKEYDOWN;
  key.modifiers = KeyEventFlags(event->state);
  key.windows_key_code = WindowsKeyCode(event->keyval);
  key.native_key_code = event->hardware_keycode;
  key.is_system_key = (event->state & GDK_MOD1_MASK) != 0;
  const gunichar character = gdk_keyval_to_unicode(event->keyval);
  key.character = character <= 0xFFFF ? static_cast<char16_t>(character) : 0;
  const gunichar plain = gdk_keyval_to_unicode(gdk_keyval_to_lower(event->keyval));
  key.unmodified_character = plain <= 0xFFFF ? static_cast<char16_t>(plain) : 0;
  key.focus_on_editable_field = self->m_editableFocus;
  bool shortcut = false;
  auto handOut = [&] {
    return handler && handler->OnPreKeyEvent(self, key, reinterpret_cast<CefEventHandle>(event), &shortcut);
  };
  if (event->type != GDK_KEY_PRESS || !self->m_keys) return handOut() ? TRUE : FALSE;
  // The handler first (it may take the press, as the paste conversion does), then the browser's
  // own keys, both before the page.
  if (HandOutKeyPress(*self->m_keys, handOut)) return TRUE;
  const BrowserKey command = BrowserKeyOf(key.windows_key_code, key.modifiers, key.focus_on_editable_field,
                                          KeyPlace::kPage, self->FindBarOpen());
  return self->ConsumeKey(command) ? TRUE : FALSE;
}

bool CWebKitBrowser::ConsumeKey(BrowserKey key) {
  if (!m_view || !m_keys) return false;
  CefRefPtr<CWebKitBrowser> self = this;
  ViewAction action;
  switch (key) {
    case BrowserKey::kPrint:
      action = PrintPage;
      break;
    case BrowserKey::kZoomIn:
    case BrowserKey::kZoomOut:
    case BrowserKey::kZoomReset:
      action = [key](WebKitWebView* view) { StepZoom(view, key); };
      break;
    case BrowserKey::kFind:
    case BrowserKey::kFindNext:
    case BrowserKey::kFindPrevious:
    case BrowserKey::kCloseFind:
      if (key != BrowserKey::kFind && !FindBarOpen()) return false;
      action = [self, key](WebKitWebView* view) {
        // The bar is this browser's and goes before it: its keys may name the browser plainly.
        CWebKitBrowser* browser = self.get();
        if (!browser->m_findBar) {
          browser->m_findBar = std::make_unique<CWebKitFindBar>(
              view, [browser](BrowserKey typed) { return browser->ConsumeKey(typed); });
        }
        browser->m_findBar->Do(key);
      };
      break;
    default:
      return false;  // the paste is the handler's to take; without it, WebKit pastes
  }
  m_keys->Push([action](KeyFinish finish) { finish(action); });
  return true;
}

bool CWebKitBrowser::FindBarOpen() const { return m_findBar && m_findBar->IsOpen(); }

std::wstring CWebKitBrowser::FindBarState() const { return m_findBar ? m_findBar->StateText() : L""; }

void CWebKitBrowser::OnEditableMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                       CWebKitBrowser* self) {
  self->m_editableFocus = jsc_value_to_boolean(webkit_javascript_result_get_js_value(result));
  if (self->m_keys) self->m_keys->FocusChanged();
}

gboolean CWebKitBrowser::OnFocusOut(GtkWidget*, GdkEvent*, CWebKitBrowser* self) {
  if (self->m_keys) self->m_keys->FocusChanged();
  return FALSE;
}

void CWebKitBrowser::OnUriChanged(GObject*, GParamSpec*, CWebKitBrowser* self) {
  if (self->m_keys) self->m_keys->PageChanged();  // also a new address without a load (history, fragment)
}

gboolean CWebKitBrowser::OnDragDrop(GtkWidget*, GdkDragContext*, gint, gint, guint, CWebKitBrowser* self) {
  self->m_droppedAt = g_get_monotonic_time();
  self->m_droppedUris = self->m_draggedUris;
  return FALSE;  // the page still receives its drop
}

bool CWebKitBrowser::IsDropped(const std::string& uri) const {
  gchar** lines = g_uri_list_extract_uris(m_droppedUris.c_str());
  bool found = false;
  for (gchar** line = lines; line && *line && !found; ++line) found = Unescaped(*line) == Unescaped(uri);
  g_strfreev(lines);
  return found;
}

void CWebKitBrowser::OnDragData(GtkWidget*, GdkDragContext*, gint, gint, GtkSelectionData* data, guint, guint,
                                CWebKitBrowser* self) {
  gchar* target = gdk_atom_name(gtk_selection_data_get_target(data));
  // WebKit asks for the drag's data as it enters; the page's drop only says "Files".
  if (g_strcmp0(target, "text/uri-list") == 0 && gtk_selection_data_get_length(data) >= 0) {
    self->m_draggedUris.assign(reinterpret_cast<const char*>(gtk_selection_data_get_data(data)),
                               gtk_selection_data_get_length(data));
  }
  g_free(target);
}

void CWebKitBrowser::OnDropMessage(WebKitUserContentManager*, WebKitJavascriptResult*, CWebKitBrowser* self) {
  const DroppedFilesConversion& conversion = DroppedFilesConversionInUse();
  if (!conversion || self->m_draggedUris.empty()) return;
  struct Drop {
    CefRefPtr<CWebKitBrowser> browser;
    DroppedFilesConversion conversion;
    std::string uris, html;
    unsigned page;
  };
  auto* drop = new Drop{self, conversion, std::move(self->m_draggedUris), "", self->m_page};
  self->m_draggedUris.clear();
  // Reading and encoding the pictures takes too long for the UI thread.
  GTask* task = g_task_new(nullptr, nullptr, [](GObject*, GAsyncResult* result, gpointer) {
    auto* done = static_cast<Drop*>(g_task_get_task_data(G_TASK(result)));
    CWebKitBrowser* browser = done->browser.get();
    if (browser->m_view && browser->m_page == done->page && !done->html.empty()) {
      webkit_web_view_execute_editing_command_with_argument(browser->m_view, "InsertHTML", done->html.c_str());
    }
  }, nullptr);
  g_task_set_task_data(task, drop, [](gpointer data) { delete static_cast<Drop*>(data); });
  g_task_run_in_thread(task, [](GTask* running, gpointer, gpointer data, GCancellable*) {
    auto* work = static_cast<Drop*>(data);
    work->html = work->conversion(work->uris);
    g_task_return_boolean(running, TRUE);
  });
  g_object_unref(task);
}

void CWebKitBrowser::DecideNavigation(WebKitNavigationPolicyDecision* decision) {
  WebKitPolicyDecision* policy = WEBKIT_POLICY_DECISION(decision);
  WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(decision);
  const char* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  const std::string target = uri ? uri : "";
  const WebKitNavigationType type = webkit_navigation_action_get_navigation_type(action);
  if (m_errorRetry) {
    const char* method = webkit_uri_request_get_http_method(webkit_navigation_action_get_request(action));
    const bool form = type == WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED || type == WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED;
    m_errorRetry->Navigating(target, method ? method : "", form);
  }
  // A drop the page left to WebKit becomes a navigation of the "other" kind to a dropped
  // address: never the page's end. The page's own navigations go on.
  if (type == WEBKIT_NAVIGATION_TYPE_OTHER && g_get_monotonic_time() - m_droppedAt < kDropNavigationWindow &&
      IsDropped(target)) {
    webkit_policy_decision_ignore(policy);
    return;
  }
  // Reloading or going back to a page already shown (the error page included) is not a new page.
  const bool shownBefore = type == WEBKIT_NAVIGATION_TYPE_RELOAD || type == WEBKIT_NAVIGATION_TYPE_BACK_FORWARD;
  const bool programAsked = shownBefore || (!m_programUrl.empty() && Unescaped(target) == Unescaped(m_programUrl));
  switch (corvane::DecideNavigation(target, webkit_navigation_action_is_user_gesture(action), programAsked)) {
    case NavigationVerdict::kAllow:
      webkit_policy_decision_use(policy);
      return;
    case NavigationVerdict::kDesktop: {
      GtkWidget* top = gtk_widget_get_toplevel(GTK_WIDGET(m_view));
      GError* error = nullptr;
      if (!gtk_show_uri_on_window(GTK_IS_WINDOW(top) ? GTK_WINDOW(top) : nullptr, target.c_str(), GDK_CURRENT_TIME,
                                  &error)) {
        std::fprintf(stderr, "corvane: no program opens %s: %s\n", target.c_str(), error ? error->message : "");
        g_clear_error(&error);
      }
      webkit_policy_decision_ignore(policy);
      return;
    }
    case NavigationVerdict::kRefuse:
      webkit_policy_decision_ignore(policy);
      return;
  }
}

gboolean CWebKitBrowser::OnDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision, WebKitPolicyDecisionType type,
                                        CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION:
      self->DecideNavigation(WEBKIT_NAVIGATION_POLICY_DECISION(decision));
      return TRUE;
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE: {
      auto* response = WEBKIT_RESPONSE_POLICY_DECISION(decision);
      SoupMessageHeaders* headers =
          webkit_uri_response_get_http_headers(webkit_response_policy_decision_get_response(response));
      const char* disposition = headers ? soup_message_headers_get_one(headers, "Content-Disposition") : nullptr;
      if (ResponseIsDownload(webkit_response_policy_decision_is_mime_type_supported(response),
                             disposition ? disposition : "")) {
        webkit_policy_decision_download(decision);  // saved by webkit_download_gtk.h; the page stays
      } else {
        webkit_policy_decision_use(decision);
      }
      return TRUE;
    }
    default:
      return FALSE;  // a new window: `create` decides, as before
  }
}

void CWebKitBrowser::OnDestroyed(GtkWidget* widget, CWebKitBrowser* self) {
  CefRefPtr<CWebKitBrowser> keep = self;
  if (self->m_closeBound) g_source_remove(self->m_closeBound);
  self->m_closeBound = 0;
  // Nothing of the view or its content manager, which may outlive this browser by a moment (a
  // script message or a signal still queued), reaches it after this.
  g_signal_handlers_disconnect_by_data(widget, self);
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_user_content_manager(WEBKIT_WEB_VIEW(widget)), self);
  self->m_findBar.reset();
  SetDownloadNotice(self->m_view, nullptr);
  self->m_view = nullptr;
  self->m_keys.reset();
  self->m_downloadNotice.reset();
  self->m_errorRetry.reset();
  self->m_hangWatch.reset();
  CWebKitRuntime::Instance().Forget(self);
  if (CefRefPtr<CefLifeSpanHandler> handler = self->m_client ? self->m_client->GetLifeSpanHandler() : nullptr) {
    handler->OnBeforeClose(self);
  }
}

}  // namespace corvane
