// The browser policy (CorvaneCefClient) through the real WebKitGTK engine, under Xvfb: pages from
// a loopback server of the test's own, a person's clicks and keys through xdotool, and what the
// page received read back by evaluating JavaScript in the view.
#include <gtest/gtest.h>
#include <libsoup/soup.h>
#include <webkit2/webkit2.h>

#include <gdk-pixbuf/gdk-pixbuf.h>
#include <glib/gstdio.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "base/main_loop_gtk.h"
#include "base/utf8.h"
#include "client/browser/cef_runtime.h"
#include "client/browser/corvane_cef_app.h"
#include "client/browser/corvane_cef_client.h"
#include "client/browser/client_platform_gtk.h"
#include "client/browser/error_page_return.h"
#include "client/browser/error_page_url.h"
#include "client/browser/webkit/webkit_browser_gtk.h"
#include "client/browser/webkit/webkit_runtime_gtk.h"
#include "client/browser/webkit/webkit_zoom_gtk.h"
#include "client/ui/client_settings.h"

namespace corvane {
namespace {

constexpr char kHomePage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>Home</title>
<style>html, body { margin: 0; height: 100%; } a, input { display: block; height: 40px; }</style></head>
<body><a id="next" href="/second">next</a><a id="blank" href="/blank" target="_blank">blank</a>
<input id="field" type="text"><div id="plain" style="height: 400px">plain text</div>
<script>
window.menus = 0; window.keys = 0;
document.addEventListener('contextmenu', function () { window.menus++; });
document.addEventListener('keydown', function () { window.keys++; });
</script></body></html>)";
constexpr char kSecondPage[] = "<!DOCTYPE html><html><head><title>Second</title></head><body>second</body></html>";
// An editor that reads the paste event's HTML itself, as a site's own editor does.
constexpr char kEditorPage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>Editor</title></head>
<body><div id="editor" contenteditable="true" style="height: 300px"></div>
<script>
window.pasted = null; window.pastes = [];
document.getElementById('editor').addEventListener('paste', function (e) {
  window.pasted = e.clipboardData.getData('text/html');
  window.pastes.push(window.pasted);
});
// The pictures in the editor as "media-type hex-bytes", their data: URIs decoded here.
function landed() {
  return Array.prototype.map.call(document.querySelectorAll('#editor img'), function (img) {
    var comma = img.src.indexOf(','), bytes = atob(img.src.slice(comma + 1)), hex = '';
    for (var i = 0; i < bytes.length; i++) hex += ('0' + bytes.charCodeAt(i).toString(16)).slice(-2);
    return img.src.slice(5, img.src.indexOf(';')) + ' ' + hex;
  }).join('|');
}
</script></body></html>)";
constexpr char kErrorPage[] = "<!DOCTYPE html><html><head><title>ErrorPage</title></head><body>offline</body></html>";

// The walk: a teacher's page meets the links, files and responses a browser meets, and stays.
constexpr char kWalkPage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>Walk</title>
<style>html, body { margin: 0; } a { display: block; height: 40px; }</style></head>
<body><a id="mail" href="mailto:teacher@example.org">mail</a><a id="tel" href="tel:+861012345">tel</a>
<a id="file" href="file:///etc/hostname">file</a><a id="odd" href="zoommtg://join">odd</a>
<a id="report" href="/report">report</a><a id="data" href="/data.bin">data</a><a id="endless" href="/endless">endless</a>
<div id="drop" style="height: 100px">drop here</div>
<div id="editor" contenteditable="true"><p id="p1" style="margin: 0; height: 40px">first line</p><p id="p2"
 style="margin: 0; height: 40px">second line</p></div>
<form id="form" method="post" action="/posted"><input name="mark" value="93"></form>
<script>
window.drags = 0; window.clicks = 0; window.inputs = [];
document.addEventListener('dragenter', function () { window.drags++; });
document.addEventListener('click', function () { window.clicks++; });
document.getElementById('editor').addEventListener('input', function (e) { window.inputs.push(e.inputType); });
// Typed work unsaved: leaving asks.
window.addEventListener('beforeunload', function (e) {
  if (document.getElementById('editor').textContent.indexOf('homework') < 0) return;
  e.preventDefault();
  e.returnValue = '';
});
</script></body></html>)";
constexpr char kReport[] = "PK\x03\x04 a report the page cannot show";

// The keys' walk: words to find, and a record of the keys and wheel the page itself received.
constexpr char kKeysPage[] = R"(<!DOCTYPE html><html><head><meta charset="utf-8"><title>Keys</title>
<style>body { margin: 0; height: 3000px; } p { height: 40px; margin: 0; }</style></head>
<body><p id="w1">apple</p><p id="w2">banana apple</p><p id="w3">cherry Apple</p><input id="field">
<script>
window.ctrlKeys = []; window.wheels = 0;
document.addEventListener('keydown', function (e) { if (e.ctrlKey) window.ctrlKeys.push(e.key); });
document.addEventListener('wheel', function () { window.wheels++; });
// The paragraph holding the selection ("" for none).
function selected() {
  var s = window.getSelection();
  if (!s.rangeCount || s.isCollapsed) return '';
  var n = s.getRangeAt(0).startContainer;
  return (n.nodeType === 1 ? n : n.parentElement).id + ':' + s.toString();
}
</script></body></html>)";

// The desktop the client hands links to and saves downloads in, made before anything in this
// process reads XDG's folders (GLib keeps the first answer): a mail and phone handler that
// records what it was given, and a download folder of the test's own.
struct TestDesktop {
  TestDesktop() {
    gchar* made = g_dir_make_tmp("corvane-desktop-XXXXXX", nullptr);
    root = made;
    g_free(made);
    launched = root + "/launched.txt";
    opened = root + "/opened.txt";
    downloads = root + "/下载";
    g_mkdir_with_parents((root + "/share/applications").c_str(), 0700);
    std::string defaults = "[Default Applications]\n";
    // Links to one handler, files and folders to another: each records what it was given.
    const std::pair<std::string, std::vector<std::string>> handlers[] = {
        {"links", {"x-scheme-handler/mailto", "x-scheme-handler/tel"}},
        {"files", {"application/octet-stream", "application/zip", "inode/directory",
                   "application/vnd.openxmlformats-officedocument.wordprocessingml.document"}}};
    for (const auto& [kind, types] : handlers) {
      const std::string script = root + "/open-" + kind + ".sh";
      const std::string record = kind == "links" ? launched : opened;
      g_file_set_contents(script.c_str(), ("#!/bin/sh\necho \"$1\" >> '" + record + "'\n").c_str(), -1, nullptr);
      g_chmod(script.c_str(), 0755);
      std::string mimeTypes;
      for (const std::string& type : types) {
        mimeTypes += type + ";";
        defaults += type + "=corvane-test-" + kind + ".desktop\n";
      }
      const std::string entry = "[Desktop Entry]\nType=Application\nName=Test " + kind + " handler\nExec=" + script +
                                " %u\nMimeType=" + mimeTypes + "\nNoDisplay=true\n";
      g_file_set_contents((root + "/share/applications/corvane-test-" + kind + ".desktop").c_str(), entry.c_str(), -1,
                          nullptr);
    }
    g_mkdir_with_parents((root + "/config").c_str(), 0700);
    g_file_set_contents((root + "/config/mimeapps.list").c_str(), defaults.c_str(), -1, nullptr);
    g_file_set_contents((root + "/config/user-dirs.dirs").c_str(), ("XDG_DOWNLOAD_DIR=\"" + downloads + "\"\n").c_str(),
                        -1, nullptr);
    g_setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), TRUE);
    const char* shared = g_getenv("XDG_DATA_DIRS");
    g_setenv("XDG_DATA_DIRS", (root + "/share:" + (shared && *shared ? shared : "/usr/local/share:/usr/share")).c_str(),
             TRUE);
  }
  std::string root, launched, opened, downloads;
};
const TestDesktop g_desktop;

// A shown top-level window holding one box, which a test gives the runtime as the browser's parent.
GtkWidget* ShowWindowWithBox(GtkWidget** box) {
  GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(window), 800, 600);
  *box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_container_add(GTK_CONTAINER(window), *box);
  gtk_widget_show_all(window);
  return window;
}

// Runs the main loop until done() or a generous bound; the bound only ends a hung wait.
bool RunUntil(const std::function<bool()>& done, int seconds = 30) { return RunMainLoopUntil(done, seconds * 1000); }

// The page's answer to `script`, as text ("" when it failed).
std::string Eval(WebKitWebView* view, const std::string& script) {
  struct Answer {
    bool done = false;
    std::string text;
  } answer;
  webkit_web_view_evaluate_javascript(
      view, script.c_str(), -1, nullptr, nullptr, nullptr,
      [](GObject* source, GAsyncResult* result, gpointer data) {
        auto* out = static_cast<Answer*>(data);
        if (JSCValue* value = webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(source), result, nullptr)) {
          gchar* text = jsc_value_to_string(value);
          out->text = text ? text : "";
          g_free(text);
          g_object_unref(value);
        }
        out->done = true;
      },
      &answer);
  RunUntil([&] { return answer.done; });
  return answer.text;
}

bool TitleIs(WebKitWebView* view, const std::string& title) {
  return RunUntil([&] { return Eval(view, "document.title") == title; });
}

// The test's loopback server: the pages above, and a record of every path and Accept-Language.
class PageServer {
 public:
  PageServer() {
    m_server = soup_server_new(nullptr, nullptr);
    soup_server_add_handler(m_server, nullptr, Serve, this, nullptr);
    Start();
    GSList* uris = soup_server_get_uris(m_server);
    m_port = g_uri_get_port(static_cast<GUri*>(uris->data));
    g_slist_free_full(uris, reinterpret_cast<GDestroyNotify>(g_uri_unref));
  }
  ~PageServer() { g_object_unref(m_server); }

  // The site goes down (connections refused), and comes back on the same port.
  void Stop() { soup_server_disconnect(m_server); }
  void Start() {
    GError* error = nullptr;
    soup_server_listen_local(m_server, m_port, SOUP_SERVER_LISTEN_IPV4_ONLY, &error);
    EXPECT_EQ(error, nullptr) << (error ? error->message : "");
    g_clear_error(&error);
  }

  std::string Url(const std::string& path) const { return "http://127.0.0.1:" + std::to_string(m_port) + path; }
  int Port() const { return m_port; }
  bool Saw(const std::string& path) const { return m_languages.count(path) != 0; }

  std::string LanguageOf(const std::string& path) const {
    auto found = m_languages.find(path);
    return found == m_languages.end() ? "" : found->second;
  }
  std::string CookiesOf(const std::string& path) const {
    auto found = m_cookies.find(path);
    return found == m_cookies.end() ? "" : found->second;
  }

 private:
  static void Serve(SoupServer*, SoupServerMessage* message, const char* path, GHashTable*, gpointer data) {
    auto* self = static_cast<PageServer*>(data);
    SoupMessageHeaders* request = soup_server_message_get_request_headers(message);
    const char* language = soup_message_headers_get_one(request, "Accept-Language");
    self->m_languages[path] = language ? language : "";

    const char* cookies = soup_message_headers_get_one(request, "Cookie");
    self->m_cookies[path] = cookies ? cookies : "";
    if (std::string(path) == "/login") {  // one cookie with an expiry, one for the session only
      SoupMessageHeaders* response = soup_server_message_get_response_headers(message);
      soup_message_headers_append(response, "Set-Cookie", "kept=persistent; Max-Age=86400; Path=/");
      soup_message_headers_append(response, "Set-Cookie", "session=only; Path=/; HttpOnly");
    }
    if (std::string(path) == "/report" || std::string(path) == "/data.bin") {
      const bool report = std::string(path) == "/report";
      SoupMessageHeaders* response = soup_server_message_get_response_headers(message);
      if (report) soup_message_headers_append(response, "Content-Disposition", "attachment; filename=\"../作业.docx\"");
      const std::string body = report ? kReport : "\x01\x02 bytes";
      soup_server_message_set_status(message, 200, nullptr);
      soup_server_message_set_response(message, report ? "text/html" : "application/octet-stream", SOUP_MEMORY_COPY,
                                       body.data(), body.size());
      return;
    }
    if (std::string(path) == "/endless") {  // a first piece, then nothing: a download only a cancel ends
      soup_message_headers_set_encoding(soup_server_message_get_response_headers(message), SOUP_ENCODING_CHUNKED);
      soup_message_headers_set_content_type(soup_server_message_get_response_headers(message),
                                            "application/octet-stream", nullptr);
      soup_server_message_set_status(message, 200, nullptr);
      const std::string piece(8192, 'x');  // past what the engine reads to sniff a type
      soup_message_body_append(soup_server_message_get_response_body(message), SOUP_MEMORY_COPY, piece.data(),
                               piece.size());
      return;
    }
    if (std::string(path) == "/slow") {
      soup_server_message_pause(message);  // never answered: a load that only a stop ends
      return;
    }
    const std::string page = std::string(path) == "/"         ? kHomePage
                             : std::string(path) == "/second" ? kSecondPage
                             : std::string(path) == "/editor" ? kEditorPage
                             : std::string(path) == "/login"  ? kSecondPage
                             : std::string(path) == "/walk"   ? kWalkPage
                             : std::string(path) == "/keys"   ? kKeysPage
                                                              : "";
    soup_server_message_set_status(message, page.empty() ? 404 : 200, nullptr);
    soup_server_message_set_response(message, "text/html; charset=utf-8", SOUP_MEMORY_COPY, page.data(), page.size());
  }

  SoupServer* m_server = nullptr;
  int m_port = 0;
  std::map<std::string, std::string> m_languages;
  std::map<std::string, std::string> m_cookies;
};

// A port on 127.0.0.1 where nothing listens.
int RefusedPort() {
  GSocket* socket = g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, nullptr);
  GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
  GSocketAddress* any = g_inet_socket_address_new(loopback, 0);
  g_socket_bind(socket, any, TRUE, nullptr);
  GSocketAddress* bound = g_socket_get_local_address(socket, nullptr);
  const int port = g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(bound));
  for (gpointer object : {static_cast<gpointer>(bound), static_cast<gpointer>(any), static_cast<gpointer>(loopback),
                          static_cast<gpointer>(socket)}) {
    g_object_unref(object);
  }
  return port;
}

void WriteFile(const std::string& path, const std::string& text) {
  g_mkdir_with_parents(g_path_get_dirname(path.c_str()), 0700);
  std::ofstream(path) << text;
}

// Presses keys or clicks the pointer on the display as a person would.
void XDo(const std::string& arguments) { ASSERT_EQ(std::system(("xdotool " + arguments).c_str()), 0) << arguments; }

// The screen position of (x, y) in `widget`, through its top level (a widget may have a window
// of its own, or share its parent's).
std::string ScreenPoint(GtkWidget* widget, int x, int y) {
  GtkWidget* top = gtk_widget_get_toplevel(widget);
  gint inTopX = x, inTopY = y, originX = 0, originY = 0;
  gtk_widget_translate_coordinates(widget, top, x, y, &inTopX, &inTopY);
  gdk_window_get_origin(gtk_widget_get_window(top), &originX, &originY);
  return std::to_string(originX + inTopX) + " " + std::to_string(originY + inTopY);
}

// Moves the pointer to (x, y) of the widget and clicks `button`.
void ClickAt(GtkWidget* widget, int x, int y, int button) {
  XDo("mousemove --sync " + ScreenPoint(widget, x, y) + " click " + std::to_string(button));
}

// Clicks the middle of a shown control of a skinned strip above the page.
void ClickControl(CBrowserStrip& strip, const wchar_t* name) {
  CControlUI* control = strip.Find(name);
  ASSERT_NE(control, nullptr);
  ASSERT_TRUE(strip.IsShown() && control->IsVisible());
  const UiRect& at = control->GetPos();
  ClickAt(strip.GetHWND(), (at.left + at.right) / 2, (at.top + at.bottom) / 2, 1);
}

// With CORVANE_TEST_SHOTS naming a folder, `window` as it looks now, as "<name>.png" there.
void Shot(GtkWidget* window, const std::string& name) {
  const char* folder = g_getenv("CORVANE_TEST_SHOTS");
  if (!folder || !*folder) return;
  for (int i = 0; i < 20; ++i) g_main_context_iteration(nullptr, FALSE);  // painted first
  GdkWindow* shown = gtk_widget_get_window(window);
  if (GdkPixbuf* picture = gdk_pixbuf_get_from_window(shown, 0, 0, gdk_window_get_width(shown),
                                                     gdk_window_get_height(shown))) {
    gdk_pixbuf_save(picture, (std::string(folder) + "/" + name + ".png").c_str(), "png", nullptr, nullptr);
    g_object_unref(picture);
  }
}

int VisibleMenus() {
  int menus = 0;
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item; item = item->next) {
    GtkWindow* window = GTK_WINDOW(item->data);
    if (gtk_widget_get_visible(GTK_WIDGET(window)) && gtk_window_get_window_type(window) == GTK_WINDOW_POPUP) ++menus;
  }
  g_list_free(windows);
  return menus;
}

int VisibleWindows() {
  int count = 0;
  GList* windows = gtk_window_list_toplevels();
  for (GList* item = windows; item; item = item->next) {
    GtkWindow* window = GTK_WINDOW(item->data);
    if (gtk_widget_get_visible(GTK_WIDGET(window)) && gtk_window_get_window_type(window) == GTK_WINDOW_TOPLEVEL) {
      ++count;
    }
  }
  g_list_free(windows);
  return count;
}

// Records the load errors of a browser of its own, to read the runtime's codes back.
class ErrorRecorder final : public CefClient, public CefLifeSpanHandler, public CefLoadHandler {
 public:
  CefRefPtr<CefLifeSpanHandler> GetLifeSpanHandler() override { return this; }
  CefRefPtr<CefLoadHandler> GetLoadHandler() override { return this; }
  void OnAfterCreated(CefRefPtr<CefBrowser> created) override { browser = created; }
  void OnBeforeClose(CefRefPtr<CefBrowser>) override { browser = nullptr; }
  void OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, cef_errorcode_t code, const CefString&,
                   const CefString&) override {
    codes.push_back(code);
  }
  std::vector<int> codes;
  CefRefPtr<CefBrowser> browser;

 private:
  IMPLEMENT_REFCOUNTING(ErrorRecorder);
};

class WebKitPolicyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    gchar* root = g_dir_make_tmp("corvane-webkit-XXXXXX", nullptr);
    m_root = root;
    g_free(root);
    g_setenv("XDG_CACHE_HOME", (m_root + "/cache").c_str(), TRUE);
    g_setenv("XDG_DATA_HOME", (m_root + "/data").c_str(), TRUE);
    ASSERT_TRUE(gtk_init_check(nullptr, nullptr)) << "no display";
  }
  std::string m_root;
};

TEST_F(WebKitPolicyTest, TheClientsPolicyHoldsInTheRealEngine) {
  PageServer server;
  g_setenv("CORVANE_SERVICE_HOST", ("127.0.0.1:" + std::to_string(server.Port())).c_str(), TRUE);
  // The program folder with a space and Chinese letters: WebKit loads the address unescaped and
  // reports its failure escaped.
  const std::string folder = m_root + "/老师 客户端";
  WriteFile(folder + "/error_page/Error.html", kErrorPage);
  std::wstring errorPage = BuildErrorPageUrl(Utf8ToWide(folder));
  int errorPageAsked = 0, relayouts = 0, pastes = 0;
  bool canGoBack = false, canGoForward = false;
  CorvaneClientPlatform platform;
  platform.convertClipboardForPaste = [&] { ++pastes; };
  platform.postNavState = [&](bool back, bool forward) { canGoBack = back, canGoForward = forward; };
  platform.postRelayout = [&] { ++relayouts; };
  platform.errorPageUrl = [&] {
    ++errorPageAsked;
    return errorPage;
  };
  CefRefPtr<CorvaneCefClient> client = new CorvaneCefClient(platform);
  EXPECT_EQ(client->GetHomeUrl(), server.Url("/"));

  CWebKitRuntime& runtime = CWebKitRuntime::Instance();
  SetCefRuntime(&runtime);
  cef_settings_t settings = {};
  settings.size = sizeof(settings);
  settings.multi_threaded_message_loop = 1;
  const std::wstring language = L"zh-CN";
  cef_string_wide_to_utf16(language.c_str(), language.size(), &settings.accept_language_list);
  CefRefPtr<CorvaneCefApp> app = new CorvaneCefApp();
  ASSERT_TRUE(cef_initialize(CefMainArgs(), settings, app.get(), nullptr));
  ClearSettingsStrings(&settings);

  GtkWidget* box = nullptr;
  GtkWidget* window = ShowWindowWithBox(&box);
  CefWindowInfo info;
  info.parent_window = box;
  ASSERT_TRUE(cef_browser_host_create_browser(info, client.get(), client->GetHomeUrl(), CefBrowserSettings(), nullptr));

  // Created asynchronously, then kept by the client, which asks for a relayout.
  ASSERT_TRUE(RunUntil([&] { return client->GetBrowser() != nullptr; }));
  EXPECT_EQ(relayouts, 1);
  CefRefPtr<CefBrowser> browser = client->GetBrowser();
  auto* view = static_cast<WebKitWebView*>(browser->GetHost()->GetWindowHandle());
  ASSERT_TRUE(WEBKIT_IS_WEB_VIEW(view));

  // The home page renders, asked for in Chinese.
  ASSERT_TRUE(TitleIs(view, "Home"));
  EXPECT_EQ(g_ascii_strncasecmp(server.LanguageOf("/").c_str(), "zh-CN", 5), 0) << server.LanguageOf("/");
  EXPECT_EQ(Eval(view, "navigator.language"), "zh-CN");
  EXPECT_FALSE(canGoBack);

  // A link navigates; back returns, and the toolbar's state follows.
  Eval(view, "document.getElementById('next').click(); 0");
  ASSERT_TRUE(TitleIs(view, "Second"));
  ASSERT_TRUE(RunUntil([&] { return canGoBack && !canGoForward && !browser->IsLoading(); }));
  EXPECT_TRUE(browser->CanGoBack());
  browser->GoBack();
  ASSERT_TRUE(TitleIs(view, "Home"));
  ASSERT_TRUE(RunUntil([&] { return !canGoBack && canGoForward && !browser->IsLoading(); }));
  EXPECT_TRUE(browser->CanGoForward());

  // window.open and a target="_blank" link open nothing, anywhere; a later request proves that
  // each was answered before it.
  for (const std::string path : {"/blank", "/popup"}) {
    const std::string sentinel = "/after" + path;
    Eval(view, (path == "/blank" ? "document.getElementById('blank').click(); " : "window.open('/popup'); ") +
                   ("fetch('" + sentinel + "'); 0"));
    ASSERT_TRUE(RunUntil([&] { return server.Saw(sentinel); })) << path;
    for (int i = 0; i < 5; ++i) Eval(view, "0");  // a load asked for meanwhile would have started
    EXPECT_EQ(webkit_web_view_get_uri(view), server.Url("/")) << path;
    EXPECT_FALSE(server.Saw(path));
    EXPECT_EQ(Eval(view, "document.title"), "Home");
  }
  EXPECT_EQ(VisibleWindows(), 1);

  // A right click reaches the page, and no menu appears, on text or in the field.
  gtk_window_present(GTK_WINDOW(window));
  ASSERT_TRUE(RunUntil([&] { return gtk_window_is_active(GTK_WINDOW(window)); }));
  int rightClicks = 0;
  for (int y : {200, 100}) {  // on text, then in the field
    ClickAt(GTK_WIDGET(view), 20, y, 3);
    const std::string seen = std::to_string(++rightClicks);
    ASSERT_TRUE(RunUntil([&] { return Eval(view, "window.menus") == seen; })) << y;
    for (int i = 0; i < 3; ++i) Eval(view, "0");  // the engine's menu would be up by now
    EXPECT_EQ(VisibleMenus(), 0) << y;
  }
  XDo("key --clearmodifiers Escape");

  // Ctrl+V converts the clipboard only in an editable field: the lock states do not count,
  // Shift (paste as plain text) stops it.
  gtk_widget_grab_focus(GTK_WIDGET(view));
  Eval(view, "document.getElementById('field').focus(); 0");
  ASSERT_EQ(Eval(view, "document.activeElement.id"), "field");
  XDo("key ctrl+v");
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "window.keys") == "3"; })) << Eval(view, "window.keys");
  EXPECT_EQ(pastes, 1);
  XDo("key Caps_Lock ctrl+v Caps_Lock");
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "window.keys") == "7"; })) << Eval(view, "window.keys");
  EXPECT_EQ(pastes, 2) << "with Caps Lock on";
  XDo("key ctrl+shift+v");
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "window.keys") == "10"; })) << Eval(view, "window.keys");
  EXPECT_EQ(pastes, 2) << "Ctrl+Shift+V";
  Eval(view, "document.activeElement.blur(); 0");
  XDo("key ctrl+v");
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "window.keys") == "12"; })) << Eval(view, "window.keys");
  EXPECT_EQ(pastes, 2) << "outside a field";

  // A refused connection shows the local error page.
  const std::string refused = "http://127.0.0.1:" + std::to_string(RefusedPort()) + "/";
  browser->GetMainFrame()->LoadURL(refused);
  ASSERT_TRUE(TitleIs(view, "ErrorPage"));
  EXPECT_EQ(errorPageAsked, 1);

  // With the error page missing, its own failure is left as it is: no second attempt.
  errorPage = BuildErrorPageUrl(Utf8ToWide(m_root + "/缺少 的"));
  browser->GetMainFrame()->LoadURL(refused);
  ASSERT_TRUE(RunUntil([&] { return errorPageAsked == 3 && !browser->IsLoading(); }));
  for (int i = 0; i < 5; ++i) Eval(view, "0");
  EXPECT_EQ(errorPageAsked, 3);
  EXPECT_FALSE(browser->IsLoading());

  // The runtime's codes, read back through a browser of their own.
  CefRefPtr<ErrorRecorder> recorder = new ErrorRecorder();
  GtkWidget* other = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
  gtk_box_pack_start(GTK_BOX(box), other, TRUE, TRUE, 0);
  gtk_widget_show(other);
  info.parent_window = other;
  ASSERT_TRUE(cef_browser_host_create_browser(info, recorder.get(), refused, CefBrowserSettings(), nullptr));
  ASSERT_TRUE(RunUntil([&] { return recorder->codes.size() == 1; }));
  EXPECT_EQ(recorder->codes[0], ERR_CONNECTION_REFUSED);
  CefRefPtr<CefBrowser> recorded = recorder->browser;
  ASSERT_NE(recorded, nullptr);
  // A label longer than DNS allows: the resolver refuses it before sending any query.
  const std::string unresolvable = "http://" + std::string(70, 'x') + ".invalid/";
  const std::pair<std::string, int> failures[] = {{"file://" + m_root + "/missing.html", ERR_FILE_NOT_FOUND},
                                                   {unresolvable, ERR_NAME_NOT_RESOLVED}};
  for (const auto& [url, code] : failures) {
    const size_t before = recorder->codes.size();
    recorded->GetMainFrame()->LoadURL(url);
    ASSERT_TRUE(RunUntil([&] { return recorder->codes.size() == before + 1; })) << url;
    EXPECT_EQ(recorder->codes.back(), code) << url;
  }
  // A stopped load is "aborted", which the client leaves alone.
  recorded->GetMainFrame()->LoadURL(server.Url("/slow"));
  ASSERT_TRUE(RunUntil([&] { return server.Saw("/slow"); }));
  recorded->StopLoad();
  ASSERT_TRUE(RunUntil([&] { return recorder->codes.size() == 4; }));
  EXPECT_EQ(recorder->codes.back(), ERR_ABORTED);

  cef_shutdown();
  EXPECT_EQ(client->GetBrowser(), nullptr);  // OnBeforeClose ran
  gtk_widget_destroy(window);
  SetCefRuntime(nullptr);
}

// Two runs of the runtime on the same data folder, as two starts of the program: the service's
// session cookie comes back as well as the one with an expiry.
TEST_F(WebKitPolicyTest, CookiesOutliveARestartSessionCookiesIncluded) {
  PageServer server;
  g_setenv("CORVANE_SERVICE_HOST", ("127.0.0.1:" + std::to_string(server.Port())).c_str(), TRUE);
  CWebKitRuntime& runtime = CWebKitRuntime::Instance();
  SetCefRuntime(&runtime);
  for (const std::string path : {"/login", "/second"}) {
    cef_settings_t settings = {};
    settings.size = sizeof(settings);
    settings.multi_threaded_message_loop = 1;
    settings.persist_session_cookies = 1;
    ASSERT_TRUE(cef_initialize(CefMainArgs(), settings, nullptr, nullptr)) << path;
    CefRefPtr<ErrorRecorder> recorder = new ErrorRecorder();
    GtkWidget* window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    GtkWidget* box = gtk_box_new(GTK_ORIENTATION_VERTICAL, 0);
    gtk_container_add(GTK_CONTAINER(window), box);
    gtk_widget_show_all(window);
    CefWindowInfo info;
    info.parent_window = box;
    ASSERT_TRUE(cef_browser_host_create_browser(info, recorder.get(), server.Url(path), CefBrowserSettings(), nullptr));
    ASSERT_TRUE(RunUntil([&] { return recorder->browser != nullptr; })) << path;
    auto* view = static_cast<WebKitWebView*>(recorder->browser->GetHost()->GetWindowHandle());
    ASSERT_TRUE(TitleIs(view, "Second")) << path;
    // The kept session cookie is still HttpOnly: out of the page's reach.
    if (path == "/second") {
      EXPECT_EQ(Eval(view, "document.cookie"), "kept=persistent");
    }
    // Ends right after the page arrived, as a teacher closing the client at once would.
    cef_shutdown();
    gtk_widget_destroy(window);
  }
  EXPECT_EQ(server.CookiesOf("/login"), "");
  const std::string sent = server.CookiesOf("/second");
  EXPECT_NE(sent.find("kept=persistent"), std::string::npos) << sent;
  EXPECT_NE(sent.find("session=only"), std::string::npos) << sent;
  SetCefRuntime(nullptr);
}

// Puts `bytes` on the clipboard as `target`, owned by another program (xclip), and waits until
// this program sees it there.
void OfferWithXclip(const std::string& target, const std::string& bytes, const std::string& scratch) {
  const std::string file = scratch + "/offer.bin";
  ASSERT_TRUE(g_file_set_contents(file.c_str(), bytes.data(), static_cast<gssize>(bytes.size()), nullptr));
  gchar* quoted = g_shell_quote(file.c_str());
  const std::string command = "xclip -selection clipboard -t " + target + " -i " + quoted;
  g_free(quoted);
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  const auto offered = [&] {
    GdkAtom* targets = nullptr;
    gint count = 0;
    bool found = false;
    if (gtk_clipboard_wait_for_targets(clipboard, &targets, &count)) {
      for (gint i = 0; i < count; ++i) found = found || targets[i] == gdk_atom_intern(target.c_str(), FALSE);
      g_free(targets);
    }
    return found;
  };
  // Offered again when it does not show: under load the xclip that served the previous offer
  // can still be handing the selection over when this one takes it, and lose the new offer.
  bool seen = false;
  for (int attempt = 0; attempt < 3 && !seen; ++attempt) {
    ASSERT_EQ(std::system(command.c_str()), 0);
    seen = RunUntil(offered, 10);
  }
  ASSERT_TRUE(seen) << target;
}

std::string ReadBytes(const std::string& path) {
  gchar* data = nullptr;
  gsize length = 0;
  EXPECT_TRUE(g_file_get_contents(path.c_str(), &data, &length, nullptr)) << path;
  std::string bytes(data ? data : "", length);
  g_free(data);
  return bytes;
}

std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) out += "0123456789abcdef"[c >> 4], out += "0123456789abcdef"[c & 15];
  return out;
}

std::string Base64(const std::string& bytes) {
  gchar* text = g_base64_encode(reinterpret_cast<const guchar*>(bytes.data()), bytes.size());
  std::string out(text);
  g_free(text);
  return out;
}

// The base64 text of the first data:image/png source in `html` ("" when there is none).
std::string FirstPngDataUri(const std::string& html) {
  const std::string start = "data:image/png;base64,";
  const size_t begin = html.find(start);
  if (begin == std::string::npos) return "";
  const size_t end = html.find('"', begin);
  return html.substr(begin + start.size(), end - begin - start.size());
}

// Every pixel of `picture` as RGBA bytes, row after row.
std::string Pixels(GdkPixbuf* picture) {
  GdkPixbuf* rgba = gdk_pixbuf_get_has_alpha(picture) ? GDK_PIXBUF(g_object_ref(picture))
                                                       : gdk_pixbuf_add_alpha(picture, FALSE, 0, 0, 0);
  std::string out;
  const int width = gdk_pixbuf_get_width(rgba), height = gdk_pixbuf_get_height(rgba);
  for (int y = 0; y < height; ++y) {
    out.append(reinterpret_cast<const char*>(gdk_pixbuf_read_pixels(rgba)) + y * gdk_pixbuf_get_rowstride(rgba),
               static_cast<size_t>(width) * 4);
  }
  g_object_unref(rgba);
  return out;
}

GdkPixbuf* DecodePicture(const std::string& bytes) {
  GdkPixbufLoader* loader = gdk_pixbuf_loader_new();
  gdk_pixbuf_loader_write(loader, reinterpret_cast<const guchar*>(bytes.data()), bytes.size(), nullptr);
  gdk_pixbuf_loader_close(loader, nullptr);
  GdkPixbuf* picture = gdk_pixbuf_loader_get_pixbuf(loader);
  if (picture) g_object_ref(picture);
  g_object_unref(loader);
  return picture;
}

// The runtime started, and `client`'s browser made in a window of its own showing `url`; its
// view, or null when it was not made.
WebKitWebView* StartInWindow(CefRefPtr<CorvaneCefClient> client, const std::string& url, GtkWidget** window) {
  SetCefRuntime(&CWebKitRuntime::Instance());
  cef_settings_t settings = {};
  settings.size = sizeof(settings);
  settings.multi_threaded_message_loop = 1;
  EXPECT_TRUE(cef_initialize(CefMainArgs(), settings, nullptr, nullptr));
  GtkWidget* box = nullptr;
  *window = ShowWindowWithBox(&box);
  CefWindowInfo info;
  info.parent_window = box;
  EXPECT_TRUE(cef_browser_host_create_browser(info, client.get(), url, CefBrowserSettings(), nullptr));
  if (!RunUntil([&] { return client->GetBrowser() != nullptr; })) return nullptr;
  return static_cast<WebKitWebView*>(client->GetBrowser()->GetHost()->GetWindowHandle());
}

TEST_F(WebKitPolicyTest, CtrlVPastesTheGtkClipboardsPicturesInline) {
  PageServer server;
  g_setenv("CORVANE_SERVICE_HOST", ("127.0.0.1:" + std::to_string(server.Port())).c_str(), TRUE);
  CefRefPtr<CorvaneCefClient> client = new CorvaneCefClient(LinuxClientPlatform());
  GtkWidget* window = nullptr;
  WebKitWebView* view = StartInWindow(client, server.Url("/editor"), &window);
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(TitleIs(view, "Editor"));
  gtk_window_present(GTK_WINDOW(window));
  ASSERT_TRUE(RunUntil([&] { return gtk_window_is_active(GTK_WINDOW(window)); }));
  gtk_widget_grab_focus(GTK_WIDGET(view));
  Eval(view, "document.getElementById('editor').focus(); 0");

  // Presses `keys` in the emptied editor; gives what landed there, and what the page's own
  // paste handler read.
  std::string pasted;
  auto paste = [&](const std::string& keys) {
    Eval(view, "document.getElementById('editor').innerHTML = ''; window.pasted = null; 0");
    XDo("key --clearmodifiers " + keys);
    EXPECT_TRUE(RunUntil([&] { return Eval(view, "String(window.pasted !== null)") == "true"; })) << keys;
    pasted = Eval(view, "window.pasted");
    RunUntil([&] { return !Eval(view, "document.getElementById('editor').innerHTML").empty(); }, 5);
    return Eval(view, "document.getElementById('editor').innerHTML");
  };

  // The pictures: in a folder with a space and Chinese letters, and a text file named alike.
  const std::string folder = m_root + "/作业 图片";
  g_mkdir_with_parents(folder.c_str(), 0700);
  GdkPixbuf* screenshot = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 5, 3);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 5; ++x) {
      guchar* pixel = gdk_pixbuf_get_pixels(screenshot) + y * gdk_pixbuf_get_rowstride(screenshot) + x * 3;
      pixel[0] = static_cast<guchar>(40 * x), pixel[1] = static_cast<guchar>(80 * y), pixel[2] = 200;
    }
  }
  const std::string picture = folder + "/截图 一.png", text = folder + "/截图 一.txt";
  ASSERT_TRUE(gdk_pixbuf_save(screenshot, picture.c_str(), "png", nullptr, nullptr));
  WriteFile(text, "not a picture at all");
  const std::string pictureBytes = ReadBytes(picture);
  gchar* pictureUri = g_filename_to_uri(picture.c_str(), nullptr, nullptr);
  gchar* textUri = g_filename_to_uri(text.c_str(), nullptr, nullptr);
  const std::string pictureUrl = pictureUri, textUrl = textUri;
  g_free(pictureUri);
  g_free(textUri);

  // A screenshot with Num Lock on lands as the clipboard's own PNG bytes, never a blob; the
  // page's paste handler reads the rewritten HTML.
  OfferWithXclip("image/png", pictureBytes, m_root);
  std::string html = paste("Num_Lock ctrl+v Num_Lock");
  EXPECT_EQ(html.find("blob:"), std::string::npos) << html;
  EXPECT_EQ(Eval(view, "landed()"), "image/png " + Hex(pictureBytes)) << html;
  EXPECT_EQ(FirstPngDataUri(pasted), Base64(pictureBytes)) << "the page's paste handler: " << pasted;

  // A 4K BMP (no page shows BMP) lands as a PNG of the same pixels. Two quick presses during its
  // conversion paste twice, in order, each through the page's paste handler; the main loop
  // keeps turning meanwhile (the conversion runs in a worker, the clipboard is read async).
  GdkPixbuf* large = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 3840, 2160);
  for (int y = 0; y < 2160; ++y) {
    guchar* row = gdk_pixbuf_get_pixels(large) + y * gdk_pixbuf_get_rowstride(large);
    for (int x = 0; x < 3840; ++x) row[3 * x] = guchar(x), row[3 * x + 1] = guchar(y), row[3 * x + 2] = guchar(x ^ y);
  }
  gchar* bmp = nullptr;
  gsize bmpLength = 0;
  ASSERT_TRUE(gdk_pixbuf_save_to_buffer(large, &bmp, &bmpLength, "bmp", nullptr, nullptr));
  const std::string bmpBytes(bmp, bmpLength);
  g_free(bmp);
  OfferWithXclip("image/bmp", bmpBytes, m_root);
  Eval(view, "document.getElementById('editor').innerHTML = ''; window.pastes = []; 0");
  struct Ticks {
    gint64 last = g_get_monotonic_time(), longest = 0;
  } ticks;
  const guint ticker = g_timeout_add(5, [](gpointer data) -> gboolean {
    auto* t = static_cast<Ticks*>(data);
    const gint64 now = g_get_monotonic_time();
    t->longest = std::max(t->longest, now - t->last);
    t->last = now;
    return G_SOURCE_CONTINUE;
  }, &ticks);
  XDo("key --clearmodifiers ctrl+v ctrl+v");
  ticks.last = g_get_monotonic_time(), ticks.longest = 0;  // from the keys on, not while xdotool ran
  EXPECT_TRUE(RunUntil([&] { return Eval(view, "document.querySelectorAll('#editor img').length") == "2"; }));
  g_source_remove(ticker);
  std::printf("longest main loop pause during the 4K BMP pastes: %lld ms\n", static_cast<long long>(ticks.longest / 1000));
  EXPECT_LT(ticks.longest, 500 * 1000) << "the window stopped answering";
  EXPECT_EQ(Eval(view, "String(window.pastes.length)"), "2");
  const std::string pastedBmp = Eval(view, "window.pastes[1]");
  EXPECT_EQ(FirstPngDataUri(Eval(view, "window.pastes[0]")), FirstPngDataUri(pastedBmp));
  gsize decodedLength = 0;
  guchar* decoded = g_base64_decode(FirstPngDataUri(pastedBmp).c_str(), &decodedLength);
  GdkPixbuf* converted = DecodePicture(std::string(reinterpret_cast<char*>(decoded), decodedLength));
  g_free(decoded);
  ASSERT_NE(converted, nullptr) << pastedBmp.substr(0, 200);
  EXPECT_EQ(Pixels(converted), Pixels(large));
  g_object_unref(converted);
  g_object_unref(large);
  EXPECT_EQ(Eval(view, "var i = document.querySelectorAll('#editor img'); String(i[0].src === i[1].src)"), "true");

  // The focus moves during a conversion: that paste is dropped, and the next press still pastes.
  OfferWithXclip("image/bmp", bmpBytes, m_root);
  Eval(view, "document.getElementById('editor').innerHTML = ''; window.pastes = []; 0");
  XDo("key --clearmodifiers ctrl+v");
  Eval(view, "var e = document.getElementById('editor'); e.blur(); e.focus(); 0");
  GtkClipboard* clipboard = gtk_clipboard_get(GDK_SELECTION_CLIPBOARD);
  EXPECT_TRUE(RunUntil([&] { return gtk_clipboard_wait_is_target_available(clipboard, gdk_atom_intern("text/html", FALSE)); }));
  XDo("key --clearmodifiers ctrl+v");
  EXPECT_TRUE(RunUntil([&] { return Eval(view, "String(window.pastes.length)") != "0"; }));
  RunUntil([] { return false; }, 1);  // a paste not dropped would arrive meanwhile
  EXPECT_EQ(Eval(view, "String(window.pastes.length)"), "1");

  // HTML naming local files: the picture inline byte for byte, the text file not.
  const std::string withFiles = "<p>作业<img src=\"" + pictureUrl + "\"><img src=\"" + textUrl + "\"></p>";
  OfferWithXclip("text/html", withFiles, m_root);
  html = paste("ctrl+v");
  EXPECT_EQ(FirstPngDataUri(html), Base64(pictureBytes)) << html;
  EXPECT_EQ(html.find(Base64("not a picture at all")), std::string::npos) << html;
  EXPECT_EQ(html.find("file:"), std::string::npos) << html;
  EXPECT_EQ(FirstPngDataUri(pasted), Base64(pictureBytes)) << pasted;

  // Ctrl+Shift+V converts nothing: the other program still offers its HTML as it was.
  OfferWithXclip("text/html", withFiles, m_root);
  Eval(view, "document.getElementById('editor').innerHTML = ''; window.pasted = null; 0");
  XDo("key --clearmodifiers ctrl+shift+v");
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "String(window.pasted !== null)") == "true"; }));
  GtkSelectionData* still =
      gtk_clipboard_wait_for_contents(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), gdk_atom_intern("text/html", FALSE));
  ASSERT_NE(still, nullptr);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(gtk_selection_data_get_data(still)),
                        gtk_selection_data_get_length(still)),
            withFiles);
  gtk_selection_data_free(still);
  EXPECT_EQ(Eval(view, "document.getElementById('editor').innerHTML").find("data:"), std::string::npos);

  // Files copied in a file manager: the picture pastes as a picture, the text file not at all.
  OfferWithXclip("x-special/gnome-copied-files", "copy\n" + pictureUrl + "\n" + textUrl, m_root);
  html = paste("ctrl+v");
  EXPECT_EQ(FirstPngDataUri(html), Base64(pictureBytes)) << html;
  EXPECT_EQ(html.find(Base64("not a picture at all")), std::string::npos) << html;

  // Plain text pastes as it is.
  gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "老师 <b>not bold</b> & more", -1);
  paste("ctrl+v");
  EXPECT_EQ(Eval(view, "document.getElementById('editor').textContent"), "老师 <b>not bold</b> & more");

  // This program ends as the owner, so the last xclip ends too.
  gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "", 0);
  g_object_unref(screenshot);
  cef_shutdown();
  gtk_widget_destroy(window);
  SetCefRuntime(nullptr);
}

// The names in `folder`, sorted.
std::vector<std::string> FileNames(const std::string& folder) {
  std::vector<std::string> names;
  if (GDir* dir = g_dir_open(folder.c_str(), 0, nullptr)) {
    while (const char* name = g_dir_read_name(dir)) names.push_back(name);
    g_dir_close(dir);
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += name + "|";
  return text;
}

// Runs xdotool while the main loop goes on: a drag needs this program to answer the drop target.
void XDoWhileRunning(const std::string& arguments) {
  gchar** argv = nullptr;
  ASSERT_TRUE(g_shell_parse_argv(("xdotool " + arguments).c_str(), nullptr, &argv, nullptr));
  GPid pid = 0;
  ASSERT_TRUE(g_spawn_async(nullptr, argv, nullptr, static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD),
                            nullptr, nullptr, &pid, nullptr));
  g_strfreev(argv);
  int status = -1;
  g_child_watch_add(pid, [](GPid child, gint code, gpointer out) {
    *static_cast<int*>(out) = code;
    g_spawn_close_pid(child);
  }, &status);
  ASSERT_TRUE(RunUntil([&] { return status != -1; }));
  EXPECT_EQ(status, 0) << arguments;
}

// Cancels each download at its first bytes, and tells when it finished.
struct CancelPartWay {
  static void Started(WebKitWebContext*, WebKitDownload* download, CancelPartWay* self) {
    g_signal_connect(download, "received-data", G_CALLBACK(Received), self);
    g_signal_connect(download, "finished", G_CALLBACK(Finished), self);
  }
  static void Received(WebKitDownload* download, guint64, CancelPartWay* self) {
    if (!self->wrote) webkit_download_cancel(download);
    self->wrote = true;
  }
  static void Finished(WebKitDownload*, CancelPartWay* self) { self->finished = true; }
  bool finished = false, wrote = false;
};

void GiveUris(GtkWidget*, GdkDragContext*, GtkSelectionData* data, guint, guint, std::vector<std::string>* uris) {
  std::vector<gchar*> list;
  for (std::string& uri : *uris) list.push_back(uri.data());
  list.push_back(nullptr);
  gtk_selection_data_set_uris(data, list.data());
}

// The pid of the web process this test's view runs on: a process this test started (a
// descendant of it, beneath the sandbox's bwrap when there is one) named WebKitWebProcess and
// still running; 0 when there is not exactly one.
int WebProcessOfThisTest() {
  std::vector<int> found, pending = {getpid()};
  while (!pending.empty()) {
    const int parent = pending.back();
    pending.pop_back();
    GDir* tasks = g_dir_open(("/proc/" + std::to_string(parent) + "/task").c_str(), 0, nullptr);
    if (!tasks) continue;
    while (const char* task = g_dir_read_name(tasks)) {
      std::ifstream children("/proc/" + std::to_string(parent) + "/task/" + task + "/children");
      for (int child = 0; children >> child;) {
        pending.push_back(child);
        // Its own name, not its command line: inside the sandbox, bwrap's command names it too.
        std::string name, state;
        std::ifstream("/proc/" + std::to_string(child) + "/comm") >> name;
        std::ifstream("/proc/" + std::to_string(child) + "/stat") >> state >> state >> state;  // pid (comm) state
        if (name.rfind("WebKitWebProc", 0) == 0 && state != "Z") found.push_back(child);
      }
    }
    g_dir_close(tasks);
  }
  return found.size() == 1 ? found[0] : 0;
}

// The desktop's file manager on the test's own session bus: records the items it is asked to show.
class FileManagerRecorder {
 public:
  FileManagerRecorder() {
    m_bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(
        "<node><interface name='org.freedesktop.FileManager1'><method name='ShowItems'>"
        "<arg type='as' direction='in'/><arg type='s' direction='in'/></method></interface></node>",
        nullptr);
    static const GDBusInterfaceVTable calls = {Call, nullptr, nullptr, {}};
    m_object = g_dbus_connection_register_object(m_bus, "/org/freedesktop/FileManager1", node->interfaces[0], &calls,
                                                 this, nullptr, nullptr);
    g_dbus_node_info_unref(node);
    m_name = g_bus_own_name_on_connection(
        m_bus, "org.freedesktop.FileManager1", G_BUS_NAME_OWNER_FLAGS_NONE,
        [](GDBusConnection*, const gchar*, gpointer self) { static_cast<FileManagerRecorder*>(self)->m_owned = true; },
        nullptr, this, nullptr);
  }
  ~FileManagerRecorder() {
    g_bus_unown_name(m_name);
    g_dbus_connection_unregister_object(m_bus, m_object);
    g_object_unref(m_bus);
  }
  bool Owned() const { return m_owned; }
  std::vector<std::string> shown;

 private:
  static void Call(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*, GVariant* parameters,
                   GDBusMethodInvocation* invocation, gpointer data) {
    GVariantIter* items = nullptr;
    const gchar* startup = nullptr;
    g_variant_get(parameters, "(as&s)", &items, &startup);
    for (const gchar* item = nullptr; g_variant_iter_loop(items, "&s", &item);) {
      static_cast<FileManagerRecorder*>(data)->shown.push_back(item);
    }
    g_variant_iter_free(items);
    g_dbus_method_invocation_return_value(invocation, nullptr);
  }
  GDBusConnection* m_bus = nullptr;
  guint m_object = 0, m_name = 0;
  bool m_owned = false;
};

std::string FileText(const std::string& path) {
  gchar* text = nullptr;
  std::string read = g_file_get_contents(path.c_str(), &text, nullptr, nullptr) ? text : "";
  g_free(text);
  return read;
}

TEST_F(WebKitPolicyTest, ATeachersPageStaysWhateverItMeets) {
  PageServer server;
  g_setenv("CORVANE_SERVICE_HOST", ("127.0.0.1:" + std::to_string(server.Port())).c_str(), TRUE);
  const std::string folder = m_root + "/program";
  WriteFile(folder + "/error_page/Error.html", ReadBytes(CORVANE_TEST_ERROR_PAGE));  // the page the program ships
  const std::wstring errorPage = BuildErrorPageUrl(Utf8ToWide(folder));
  CorvaneClientPlatform platform = LinuxClientPlatform();
  platform.errorPageUrl = [&] { return errorPage; };
  std::function<void()> platformLetGo;
  platform.pageLetGo = [&] {
    if (platformLetGo) platformLetGo();
  };
  CefRefPtr<CorvaneCefClient> client = new CorvaneCefClient(platform);
  GtkWidget* window = nullptr;
  WebKitWebView* view = StartInWindow(client, server.Url("/walk"), &window);
  ASSERT_NE(view, nullptr);
  GtkWidget* widget = GTK_WIDGET(view);
  auto* browser = dynamic_cast<CWebKitBrowser*>(client->GetBrowser().get());
  ASSERT_NE(browser, nullptr);
  ASSERT_TRUE(TitleIs(view, "Walk"));
  // The strips above the page stay hidden while they have nothing to say, also when the main
  // window shows its browser box whole.
  gtk_widget_show_all(window);
  ASSERT_TRUE(browser->DownloadNotice() && browser->HangPrompt());
  EXPECT_FALSE(browser->DownloadNotice()->IsShown());
  EXPECT_FALSE(browser->HangPrompt()->IsShown());
  gtk_window_present(GTK_WINDOW(window));
  ASSERT_TRUE(RunUntil([&] { return gtk_window_is_active(GTK_WINDOW(window)); }));
  const std::string walk = server.Url("/walk");
  const auto pageStayed = [&](const std::string& what) {
    for (int i = 0; i < 5; ++i) Eval(view, "0");  // a navigation asked for meanwhile would have started
    EXPECT_EQ(webkit_web_view_get_uri(view), walk) << what;
    EXPECT_EQ(Eval(view, "document.title"), "Walk") << what;
  };

  // Mail and phone links clicked go to the desktop's handlers; the page stays.
  ClickAt(widget, 10, 20, 1);
  ClickAt(widget, 10, 60, 1);
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "window.clicks") == "2"; })) << Eval(view, "window.clicks");
  std::string launched;
  ASSERT_TRUE(RunUntil([&] {
    gchar* text = nullptr;
    launched = g_file_get_contents(g_desktop.launched.c_str(), &text, nullptr, nullptr) ? text : "";
    g_free(text);
    return launched.find("tel:") != std::string::npos && launched.find("mailto:") != std::string::npos;
  })) << launched;
  EXPECT_NE(launched.find("mailto:teacher@example.org"), std::string::npos) << launched;
  pageStayed("mail and phone links");
  // A script alone opens no mail program, and leaves nothing. (The engine counts a script the
  // program runs as a gesture, and a timer within a second of one; this one is later.)
  Eval(view, "setTimeout(function () { location.href = 'mailto:script@example.org'; }, 1500); 0");
  RunUntil([] { return false; }, 3);
  pageStayed("a script's mail link");

  // A file link and an unknown scheme: nothing opens, the page stays.
  ClickAt(widget, 10, 100, 1);
  pageStayed("a file link");
  ClickAt(widget, 10, 140, 1);
  pageStayed("an unknown scheme");

  // An attachment and a type the engine cannot show are saved in the download folder under the
  // server's name made safe, beside a file of that name already there; no part file is left.
  g_mkdir_with_parents(g_desktop.downloads.c_str(), 0700);
  WriteFile(g_desktop.downloads + "/作业.docx", "the teacher's own");
  // The notice under the toolbar follows each: it names the file once whole. (It moves the page
  // down while shown, so the second link is clicked by the page's script.)
  CDownloadNotice* notice = browser->DownloadNotice();
  ASSERT_NE(notice, nullptr);
  ClickAt(widget, 10, 180, 1);
  ASSERT_TRUE(RunUntil([&] { return notice->IsShown() && notice->Line() == "已下载：作业 (1).docx"; }))
      << notice->Line();
  Eval(view, "document.getElementById('data').click(); 0");
  ASSERT_TRUE(RunUntil([&] { return notice->Line() == "已下载：data.bin"; })) << notice->Line();
  const std::vector<std::string> saved = {"data.bin", "作业 (1).docx", "作业.docx"};
  ASSERT_TRUE(RunUntil([&] { return FileNames(g_desktop.downloads) == saved; })) << Joined(FileNames(g_desktop.downloads));
  EXPECT_EQ(ReadBytes(g_desktop.downloads + "/作业 (1).docx"), kReport);
  EXPECT_EQ(ReadBytes(g_desktop.downloads + "/作业.docx"), "the teacher's own");
  EXPECT_EQ(ReadBytes(g_desktop.downloads + "/data.bin"), "\x01\x02 bytes");
  pageStayed("downloads");

  // The notice offers to open the last one and to show it in its folder (the desktop's file
  // manager, over D-Bus); it closes when asked.
  const std::string noticed = notice->SavedPath();
  EXPECT_EQ(noticed, g_desktop.downloads + "/data.bin");
  Shot(window, "download_notice");
  FileManagerRecorder fileManager;
  ASSERT_TRUE(RunUntil([&] { return fileManager.Owned(); }));
  gchar* noticedUri = g_filename_to_uri(noticed.c_str(), nullptr, nullptr);
  ClickControl(*notice, L"button_show_folder");
  ASSERT_TRUE(RunUntil([&] { return fileManager.shown.size() == 1; }));
  EXPECT_EQ(fileManager.shown[0], noticedUri);
  ClickControl(*notice, L"button_open");
  // The desktop hands the handler the file's path or its address.
  EXPECT_TRUE(RunUntil([&] {
    const std::string opened = FileText(g_desktop.opened);
    return opened == noticed + "\n" || opened == std::string(noticedUri) + "\n";
  })) << FileText(g_desktop.opened);
  g_free(noticedUri);
  ClickControl(*notice, L"button_close");
  ASSERT_TRUE(RunUntil([&] { return !notice->IsShown(); }));

  // A download cancelled part way leaves nothing behind.
  CancelPartWay cancelled;
  WebKitWebContext* context = webkit_web_view_get_context(view);
  const gulong started = g_signal_connect(context, "download-started", G_CALLBACK(CancelPartWay::Started), &cancelled);
  ClickAt(widget, 10, 260, 1);
  ASSERT_TRUE(RunUntil([&] { return cancelled.finished; }));
  g_signal_handler_disconnect(context, started);
  EXPECT_TRUE(cancelled.wrote);
  RunUntil([] { return false; }, 1);  // a file written late would show now
  EXPECT_EQ(FileNames(g_desktop.downloads), saved);
  pageStayed("a cancelled download");
  // ... and says so in one line, with nothing to open.
  ASSERT_TRUE(RunUntil([&] { return notice->IsShown() && notice->Line() == "下载已取消：endless"; })) << notice->Line();
  EXPECT_FALSE(notice->Find(L"button_open")->IsVisible());
  EXPECT_FALSE(notice->Find(L"button_show_folder")->IsVisible());
  ClickControl(*notice, L"button_close");
  ASSERT_TRUE(RunUntil([&] { return !notice->IsShown(); }));

  // Files dragged from another program onto the page.
  const std::string notes = m_root + "/notes.txt";
  WriteFile(notes, "notes");
  GdkPixbuf* picture = gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 3, 2);
  gdk_pixbuf_fill(picture, 0x3366ccff);
  const std::string pictureFile = m_root + "/板书.png";
  ASSERT_TRUE(gdk_pixbuf_save(picture, pictureFile.c_str(), "png", nullptr, nullptr));
  g_object_unref(picture);
  const std::string pictureBytes = ReadBytes(pictureFile);
  gtk_clipboard_set_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD), "the teacher's clipboard", -1);
  GtkWidget* source = gtk_window_new(GTK_WINDOW_TOPLEVEL);
  gtk_window_set_default_size(GTK_WINDOW(source), 200, 100);
  gtk_window_move(GTK_WINDOW(source), 1000, 100);
  GtkWidget* handle = gtk_event_box_new();
  gtk_container_add(GTK_CONTAINER(handle), gtk_label_new("files"));
  gtk_container_add(GTK_CONTAINER(source), handle);
  GtkTargetEntry uriList = {const_cast<gchar*>("text/uri-list"), 0, 0};
  gtk_drag_source_set(handle, GDK_BUTTON1_MASK, &uriList, 1, GDK_ACTION_COPY);
  std::vector<std::string> dragged;
  g_signal_connect(handle, "drag-data-get", G_CALLBACK(GiveUris), &dragged);
  gtk_widget_show_all(source);
  ASSERT_TRUE(RunUntil([&] { return gtk_widget_get_mapped(source); }));
  RunUntil([] { return false; }, 1);
  const auto drag = [&](std::vector<std::string> items, int y) {  // files, or addresses as they are
    dragged.clear();
    for (const std::string& item : items) {
      gchar* uri = item[0] == '/' ? g_filename_to_uri(item.c_str(), nullptr, nullptr) : g_strdup(item.c_str());
      dragged.push_back(uri);
      g_free(uri);
    }
    const std::string from = ScreenPoint(handle, 100, 50), to = ScreenPoint(widget, 100, y);
    XDoWhileRunning("mousemove --sync " + from + " mousedown 1 sleep 0.3 mousemove_relative --sync 20 20 sleep 0.3 "
                    "mousemove --sync " + to + " sleep 0.3 mousemove_relative --sync 5 5 sleep 0.5 mouseup 1 sleep 0.5");
  };
  const std::string editor = "document.getElementById('editor')";
  const std::string before = Eval(view, editor + ".innerHTML");
  ASSERT_NE(before.find("second line"), std::string::npos);

  // Onto plain text: the page sees the drag, and stays.
  drag({notes}, 320);
  EXPECT_TRUE(RunUntil([&] { return Eval(view, "String(window.drags > 0)") == "true"; })) << "the drag reached the page";
  pageStayed("a file dropped on text");
  // Nor does a web address dropped there.
  drag({server.Url("/second")}, 320);
  pageStayed("an address dropped on text");
  EXPECT_FALSE(server.Saw("/second"));

  // A picture and a text file onto the editor's second line: the picture arrives inline there,
  // byte for byte, as the editor's own input; the text file does not; the clipboard is untouched.
  drag({pictureFile, notes}, 445);
  ASSERT_TRUE(RunUntil([&] { return Eval(view, editor + ".querySelectorAll('img').length") == "1"; }))
      << Eval(view, editor + ".innerHTML");
  // At the drop point: after the second line's text (its paragraph splits there), not the first's.
  EXPECT_EQ(Eval(view, "var i = " + editor + ".querySelector('img'), p = document.getElementById('p2'); "
                       "String(!!(p.compareDocumentPosition(i) & Node.DOCUMENT_POSITION_FOLLOWING || p.contains(i)))"),
            "true")
      << Eval(view, editor + ".innerHTML");
  const std::string src = Eval(view, editor + ".querySelector('img').src");
  EXPECT_EQ(src, "data:image/png;base64," + Base64(pictureBytes));
  EXPECT_EQ(Eval(view, editor + ".innerHTML").find("notes"), std::string::npos);
  EXPECT_EQ(Eval(view, editor + ".innerHTML").find("file:"), std::string::npos);
  EXPECT_NE(Eval(view, "window.inputs.join()"), "");
  gchar* clipboard = gtk_clipboard_wait_for_text(gtk_clipboard_get(GDK_SELECTION_CLIPBOARD));
  EXPECT_STREQ(clipboard, "the teacher's clipboard");
  g_free(clipboard);
  pageStayed("a picture dropped on the editor");

  // A file that is no picture onto the editor is refused: nothing changes.
  const std::string withPicture = Eval(view, editor + ".innerHTML");
  drag({notes}, 405);
  RunUntil([] { return false; }, 1);  // a conversion would have landed
  EXPECT_EQ(Eval(view, editor + ".innerHTML"), withPicture);
  pageStayed("a text file dropped on the editor");
  gtk_widget_destroy(source);

  // Still, the mail program was asked twice only: the script's link never reached it.
  gchar* text = nullptr;
  ASSERT_TRUE(g_file_get_contents(g_desktop.launched.c_str(), &text, nullptr, nullptr));
  // Two handlers started one after the other may write in either order.
  EXPECT_TRUE(std::string(text) == "mailto:teacher@example.org\ntel:+861012345\n" ||
              std::string(text) == "tel:+861012345\nmailto:teacher@example.org\n")
      << text;
  g_free(text);

  // The page's web process killed (a crash): the page comes back by itself, once; killed again
  // within the minute, the error page shows, and nothing reloads after that.
  Eval(view, "window.before = 1; 0");
  const int firstProcess = WebProcessOfThisTest();
  ASSERT_GT(firstProcess, 0);
  ASSERT_EQ(kill(firstProcess, SIGKILL), 0);
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "typeof window.before") == "undefined"; })) << "a page loaded anew";
  ASSERT_TRUE(TitleIs(view, "Walk"));
  EXPECT_EQ(webkit_web_view_get_uri(view), walk);
  const int secondProcess = WebProcessOfThisTest();
  ASSERT_GT(secondProcess, 0);
  EXPECT_NE(secondProcess, firstProcess);
  ASSERT_EQ(kill(secondProcess, SIGKILL), 0);
  const std::string errorTitle = "页面暂时无法打开";
  ASSERT_TRUE(TitleIs(view, errorTitle));
  // The error page carries the page that failed: its button leads there, its other link to the
  // home page of the host in force, and the toolbar's refresh loads that page.
  EXPECT_EQ(WideToUtf8(FailedUrlOf(Utf8ToWide(webkit_web_view_get_uri(view)))), walk);
  EXPECT_EQ(Eval(view, "document.getElementById('retry').href"), walk);
  EXPECT_EQ(Eval(view, "document.getElementById('home').href"), server.Url("/"));
  Shot(window, "error_page");
  Eval(view, "window.shown = 1; 0");
  RunUntil([] { return false; }, 3);  // a reload or an attempt would have come meanwhile
  EXPECT_EQ(Eval(view, "typeof window.shown"), "number") << "the error page stays as it is";
  EXPECT_EQ(browser->ErrorRetryDelay(), -1) << "a crash is not tried again by itself";
  client->Refresh();
  ASSERT_TRUE(TitleIs(view, "Walk"));

  // The site goes down: the page asked for shows the error page, which tries again by itself,
  // after 2 s, then 4 s...; a client started meanwhile shows it too. Once the site is back, the
  // first comes back by itself, the second by its page's button; either way the page takes the
  // error page's place in the history. A form sent while it is down is never sent again unasked.
  server.Stop();
  Eval(view, "location.reload(); 0");
  ASSERT_TRUE(TitleIs(view, errorTitle));
  ASSERT_TRUE(RunUntil([&] { return browser->ErrorRetryDelay() == 4; })) << browser->ErrorRetryDelay();
  CefRefPtr<CorvaneCefClient> later = new CorvaneCefClient(platform);
  GtkWidget* laterBox = nullptr;
  GtkWidget* laterWindow = ShowWindowWithBox(&laterBox);
  CefWindowInfo laterInfo;
  laterInfo.parent_window = laterBox;
  ASSERT_TRUE(cef_browser_host_create_browser(laterInfo, later.get(), server.Url("/second"), CefBrowserSettings(),
                                              nullptr));
  ASSERT_TRUE(RunUntil([&] { return later->GetBrowser() != nullptr; }));
  auto* laterView = static_cast<WebKitWebView*>(later->GetBrowser()->GetHost()->GetWindowHandle());
  ASSERT_TRUE(TitleIs(laterView, errorTitle));
  server.Start();
  Eval(laterView, "document.getElementById('retry').click(); 0");
  EXPECT_TRUE(TitleIs(view, "Walk"));
  EXPECT_TRUE(TitleIs(laterView, "Second"));
  WebKitBackForwardListItem* back = webkit_back_forward_list_get_back_item(webkit_web_view_get_back_forward_list(view));
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(webkit_back_forward_list_item_get_uri(back), walk);
  EXPECT_FALSE(webkit_web_view_can_go_back(laterView));
  gtk_widget_destroy(laterWindow);
  server.Stop();
  Eval(view, "document.getElementById('form').submit(); 0");
  ASSERT_TRUE(TitleIs(view, errorTitle));
  EXPECT_EQ(browser->ErrorRetryDelay(), -1) << "a form is not sent again";
  server.Start();
  RunUntil([] { return false; }, 3);  // an attempt would have come meanwhile
  EXPECT_FALSE(server.Saw("/posted"));
  EXPECT_EQ(Eval(view, "document.title"), errorTitle);
  client->GetBrowser()->GetMainFrame()->LoadURL(walk);
  ASSERT_TRUE(TitleIs(view, "Walk"));

  // The page stops answering: after 10 s a prompt offers to wait or to reload. The page answering
  // again takes the prompt away; a reload asked for loads the page anew in a new process.
  CHangWatch* hang = browser->HangPrompt();
  ASSERT_NE(hang, nullptr);
  // The engine notices a busy page when it sends it a key press (a click alone is not watched).
  const auto poke = [&] {
    RunUntil([] { return false; }, 1);
    ClickAt(widget, 300, 340, 1);
    XDo("key --clearmodifiers a");
  };
  Eval(view, "setTimeout(function () { var end = Date.now() + 25000; while (Date.now() < end) {} }, 50); 0");
  poke();
  ASSERT_TRUE(RunUntil([&] { return hang->IsShown(); }, 60));
  Shot(window, "hang_prompt");
  EXPECT_TRUE(RunUntil([&] { return !hang->IsShown(); }, 60)) << "the page answered again";
  Eval(view, "window.before = 1; setTimeout(function () { for (;;) {} }, 50); 0");
  poke();
  ASSERT_TRUE(RunUntil([&] { return hang->IsShown(); }, 60));
  ClickControl(*hang, L"button_reload");
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "typeof window.before") == "undefined"; }, 60));
  ASSERT_TRUE(TitleIs(view, "Walk"));
  EXPECT_FALSE(hang->IsShown());

  // Closing asks the page: with typed work, its beforeunload asks the teacher. Staying keeps
  // everything, past the bound on a page's answer; leaving lets the program end.
  int letGo = 0;
  platformLetGo = [&] { ++letGo; };
  // The loads committed from here on, for a failure's message.
  static std::string commits;
  g_signal_connect(view, "load-changed", G_CALLBACK(+[](WebKitWebView* loading, WebKitLoadEvent event, gpointer) {
    if (event == WEBKIT_LOAD_COMMITTED) commits += std::string(webkit_web_view_get_uri(loading)) + "\n";
  }), nullptr);
  const auto typeWork = [&] {
    ASSERT_TRUE(RunUntil([&] { return !webkit_web_view_is_loading(view); }));
    commits += "typing\n";
    gtk_window_present(GTK_WINDOW(window));
    ASSERT_TRUE(RunUntil([&] { return gtk_window_is_active(GTK_WINDOW(window)); }));
    gtk_widget_grab_focus(widget);
    ClickAt(widget, 200, 400, 1);
    ASSERT_TRUE(RunUntil([&] { return Eval(view, "document.activeElement.id") == "editor"; }));
    Eval(view, "window.k = 0; document.addEventListener('keydown', function () { window.k++; }, true); 0");
    XDo("type --delay 30 homework");
    ASSERT_TRUE(RunUntil([&] { return Eval(view, editor + ".textContent").find("homework") != std::string::npos; }))
        << Eval(view, editor + ".textContent") << " | focus " << Eval(view, "String(document.hasFocus())") << " | "
        << G_OBJECT_TYPE_NAME(gtk_window_get_focus(GTK_WINDOW(window))) << " | keys " << Eval(view, "String(window.k)") << "\n" << commits;
  };
  typeWork();
  // The program asks the question itself, in a window of its own, so that it learns the answer.
  const auto question = [] {
    GtkWidget* shown = nullptr;
    GList* tops = gtk_window_list_toplevels();
    for (GList* top = tops; top; top = top->next) {
      if (GTK_IS_MESSAGE_DIALOG(top->data) && gtk_widget_get_visible(GTK_WIDGET(top->data))) shown = GTK_WIDGET(top->data);
    }
    g_list_free(tops);
    return shown;
  };
  const auto answer = [&](const char* key) {
    ASSERT_TRUE(RunUntil([&] { return question() && gtk_window_is_active(GTK_WINDOW(question())); }));
    XDo(std::string("key --clearmodifiers ") + key);
    ASSERT_TRUE(RunUntil([&] { return !question(); }));
  };
  client->GetBrowser()->GetHost()->CloseBrowser(false);
  answer("Escape");
  RunUntil([] { return false; }, 7);  // past the 5 s a page has to answer
  EXPECT_EQ(letGo, 0);
  ASSERT_NE(client->GetBrowser(), nullptr);
  EXPECT_NE(Eval(view, editor + ".textContent").find("homework"), std::string::npos);
  // Having stayed, nothing of that exit is left: the page's process ending does not end the program.
  const int stayedProcess = WebProcessOfThisTest();
  ASSERT_GT(stayedProcess, 0);
  ASSERT_EQ(kill(stayedProcess, SIGKILL), 0);
  ASSERT_TRUE(RunUntil([&] { return WebProcessOfThisTest() != stayedProcess; }));
  // Reloaded by itself, or the error page when the last crash was within the minute.
  ASSERT_TRUE(RunUntil([&] {
    const std::string title = Eval(view, "document.title");
    return !webkit_web_view_is_loading(view) && (title == "Walk" || title == errorTitle);
  }));
  EXPECT_EQ(letGo, 0) << "a crash after staying ended the program";
  if (Eval(view, "document.title") != "Walk") {
    client->GetBrowser()->GetMainFrame()->LoadURL(walk);
    ASSERT_TRUE(TitleIs(view, "Walk"));
  }
  typeWork();
  client->GetBrowser()->GetHost()->CloseBrowser(false);
  answer("Return");
  EXPECT_TRUE(RunUntil([&] { return letGo == 1; }));
  EXPECT_NE(client->GetBrowser(), nullptr) << "the program, not the backend, ends with the page let go";

  // A page that cannot answer (busy for good) holds the exit 5 s at most, and asks nothing.
  Eval(view, "setTimeout(function () { for (;;) {} }, 50); 0");
  RunUntil([] { return false; }, 1);
  const gint64 asked = g_get_monotonic_time();
  client->GetBrowser()->GetHost()->CloseBrowser(false);
  EXPECT_TRUE(RunUntil([&] { return letGo == 2; }, 10));
  EXPECT_LT(g_get_monotonic_time() - asked, 6 * G_USEC_PER_SEC);
  EXPECT_EQ(question(), nullptr);

  cef_shutdown();
  gtk_widget_destroy(window);
  SetCefRuntime(nullptr);
}


// The whole screen into $CORVANE_TEST_SHOTS/<name>.png, when that folder is given (to look at),
// once the windows had a moment to draw.
void Shot(const std::string& name) {
  if (const char* shots = g_getenv("CORVANE_TEST_SHOTS")) {
    RunUntil([] { return false; }, 1);
    std::system(("import -window root '" + std::string(shots) + "/" + name + ".png'").c_str());
  }
}

// GTK's print dialogs shown now; each is answered Cancel at once (from any main loop, the
// dialog's own included).
struct PrintDialogWatch {
  PrintDialogWatch() {
    source = g_timeout_add(50, [](gpointer data) -> gboolean {
      auto* self = static_cast<PrintDialogWatch*>(data);
      bool shown = false;
      GList* windows = gtk_window_list_toplevels();
      for (GList* item = windows; item; item = item->next) {
        GtkWidget* window = GTK_WIDGET(item->data);
        if (g_strcmp0(G_OBJECT_TYPE_NAME(window), "GtkPrintUnixDialog") != 0 || !gtk_widget_get_mapped(window)) continue;
        shown = true;
        if (self->pending) continue;  // answered; going
        ++self->seen;
        self->pending = true;
        Shot("print-dialog");
        gtk_dialog_response(GTK_DIALOG(window), GTK_RESPONSE_CANCEL);
      }
      g_list_free(windows);
      if (!shown) self->pending = false;
      return G_SOURCE_CONTINUE;
    }, this);
  }
  ~PrintDialogWatch() { g_source_remove(source); }
  guint source = 0;
  int seen = 0;
  bool pending = false;  // a dialog answered and not yet gone
};

// The browser's own keys, pressed as a teacher presses them: print, zoom (remembered in the
// settings file) and find all happen before the page, which never sees those keys.
TEST_F(WebKitPolicyTest, PrintZoomAndFindAreTheBrowsersKeys) {
  PageServer server;
  g_setenv("CORVANE_SERVICE_HOST", ("127.0.0.1:" + std::to_string(server.Port())).c_str(), TRUE);
  CefRefPtr<CorvaneCefClient> client = new CorvaneCefClient(LinuxClientPlatform());
  // The settings file of the test's own in place of the program's.
  const std::string ini = m_root + "/CorvaneClient.ini";
  WriteFile(ini, "[setting]\nmin_close=1\nzoom_level=125\n");
  CClientSettings settings(Utf8ToWide(ini));
  SetZoomMemory({[&] { return settings.m_nZoomLevel; },
                 [&](int level) {
                   settings.m_nZoomLevel = level;
                   settings.Save();
                 }});
  const auto remembered = [&] { return CClientSettings(Utf8ToWide(ini)).m_nZoomLevel; };
  GtkWidget* window = nullptr;
  WebKitWebView* view = StartInWindow(client, server.Url("/keys"), &window);
  ASSERT_NE(view, nullptr);
  auto* browser = static_cast<CWebKitBrowser*>(client->GetBrowser().get());
  ASSERT_TRUE(TitleIs(view, "Keys"));
  gtk_window_present(GTK_WINDOW(window));
  ASSERT_TRUE(RunUntil([&] { return gtk_window_is_active(GTK_WINDOW(window)); }));
  gtk_widget_grab_focus(GTK_WIDGET(view));
  const auto zoom = [&] { return ZoomPercent(view); };
  // The remembered level is the view's from its start.
  EXPECT_EQ(zoom(), 125);

  // Ctrl+P and the page's window.print() each open the print dialog.
  PrintDialogWatch dialogs;
  XDo("key --clearmodifiers ctrl+p");
  ASSERT_TRUE(RunUntil([&] { return dialogs.seen == 1 && !dialogs.pending; })) << "Ctrl+P";
  Eval(view, "window.print(); 0");
  ASSERT_TRUE(RunUntil([&] { return dialogs.seen == 2 && !dialogs.pending; })) << "window.print()";
  EXPECT_TRUE(CWebKitRuntime::Instance().SandboxEnabled() || !BubblewrapWorks());

  // Zoom by the keys of "=" and "+" (main and keypad), "-" and "0", and by Ctrl+wheel; every
  // level remembered at once.
  const std::pair<std::string, int> steps[] = {
      {"ctrl+equal", 150}, {"ctrl+plus", 175}, {"ctrl+KP_Add", 200}, {"ctrl+minus", 175}, {"ctrl+0", 100}};
  for (const auto& [keys, level] : steps) {
    XDo("key --clearmodifiers " + keys);
    EXPECT_TRUE(RunUntil([&] { return zoom() == level; })) << keys << ": " << zoom();
    EXPECT_EQ(remembered(), level) << keys;
    if (level == 200) Shot("zoom-200");
  }
  ClickAt(GTK_WIDGET(view), 300, 300, 1);  // the pointer over the page
  XDo("keydown ctrl click 4 click 4 keyup ctrl");
  EXPECT_TRUE(RunUntil([&] { return zoom() == 125; })) << zoom();
  XDo("keydown ctrl click 5 keyup ctrl");
  EXPECT_TRUE(RunUntil([&] { return zoom() == 110; })) << zoom();
  EXPECT_EQ(remembered(), 110);
  EXPECT_EQ(Eval(view, "String(window.scrollY)"), "0") << "the wheel zoomed, not scrolled";
  XDo("click 5");  // without Ctrl the page scrolls as ever
  EXPECT_TRUE(RunUntil([&] { return Eval(view, "String(window.scrollY > 0)") == "true"; }));
  EXPECT_EQ(zoom(), 110);

  // Find: the bar opens with the keyboard in it; typing searches (any case), Enter and
  // Shift+Enter move through the matches; a word not there says so; Esc closes it and gives the
  // page the keyboard back.
  Eval(view, "window.scrollTo(0, 0); 0");
  EXPECT_FALSE(browser->FindBarOpen());
  XDo("key --clearmodifiers ctrl+f");
  ASSERT_TRUE(RunUntil([&] { return browser->FindBarOpen(); }));
  XDo("type --delay 30 apple");
  EXPECT_TRUE(RunUntil([&] { return browser->FindBarState() == L"共 3 处"; })) << WideToUtf8(browser->FindBarState());
  EXPECT_TRUE(RunUntil([&] { return Eval(view, "selected()") == "w1:apple"; })) << Eval(view, "selected()");
  XDo("key --clearmodifiers Return");
  EXPECT_TRUE(RunUntil([&] { return Eval(view, "selected()") == "w2:apple"; })) << Eval(view, "selected()");
  XDo("key --clearmodifiers Return");
  EXPECT_TRUE(RunUntil([&] { return Eval(view, "selected()") == "w3:Apple"; })) << Eval(view, "selected()");
  XDo("key --clearmodifiers shift+Return");
  EXPECT_TRUE(RunUntil([&] { return Eval(view, "selected()") == "w2:apple"; })) << Eval(view, "selected()");
  EXPECT_EQ(browser->FindBarState(), L"共 3 处") << "the count stays while moving";
  Shot("find-bar");
  XDo("key --clearmodifiers ctrl+a type --delay 30 durian");
  EXPECT_TRUE(RunUntil([&] { return browser->FindBarState() == L"未找到"; })) << WideToUtf8(browser->FindBarState());
  XDo("key --clearmodifiers Escape");
  EXPECT_TRUE(RunUntil([&] { return !browser->FindBarOpen(); }));
  EXPECT_TRUE(RunUntil([&] { return gtk_widget_has_focus(GTK_WIDGET(view)); })) << "the page has the keyboard again";
  EXPECT_EQ(browser->FindBarState(), L"");

  // None of those keys reached the page; keys it owns still do.
  XDo("key --clearmodifiers ctrl+b");
  ASSERT_TRUE(RunUntil([&] { return Eval(view, "window.ctrlKeys.join()").find('b') != std::string::npos; }));
  EXPECT_EQ(Eval(view, "window.ctrlKeys.filter(function (k) { return k !== 'Control' && k !== 'Shift'; }).join()"), "b");
  EXPECT_EQ(Eval(view, "String(window.wheels)"), "1") << "only the wheel without Ctrl";

  SetZoomMemory({});
  cef_shutdown();
  gtk_widget_destroy(window);
  SetCefRuntime(nullptr);
}

}  // namespace
}  // namespace corvane
