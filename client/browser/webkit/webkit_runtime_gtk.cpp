// The WebKitGTK runtime: the web context and its settings, the sandbox trial, browser creation,
// the GTK main loop and shut-down.
#include "client/browser/webkit/webkit_runtime_gtk.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <sstream>

#include "base/main_loop_gtk.h"
#include "client/browser/webkit/webkit_browser_gtk.h"
#include "client/browser/webkit/webkit_download_gtk.h"

namespace corvane {
namespace {

std::string XdgFolder(const char* variable, const char* fallbackBelowHome) {
  const char* value = g_getenv(variable);
  if (value && *value && g_path_is_absolute(value)) return value;
  return std::string(g_get_home_dir()) + "/" + fallbackBelowHome;
}

std::vector<std::string> SplitLanguages(const std::string& list) {
  std::vector<std::string> languages;
  std::istringstream stream(list);
  for (std::string item; std::getline(stream, item, ',');) {
    item.erase(0, item.find_first_not_of(' '));
    item = item.substr(0, item.find(';'));  // a quality value does not belong in the list
    if (!item.empty()) languages.push_back(item);
  }
  return languages;
}

std::atomic<GThread*> g_uiThread{nullptr};

}  // namespace

bool BubblewrapWorks() {
  gchar* bwrap = g_find_program_in_path("bwrap");
  if (!bwrap) return false;
  // The namespaces WebKit asks for; failing here means WebKit would abort at its first page.
  const gchar* argv[] = {bwrap,      "--ro-bind", "/", "/", "--unshare-all", "--die-with-parent",
                         "/bin/true", nullptr};
  gint status = -1;
  const gboolean ran = g_spawn_sync(nullptr, const_cast<gchar**>(argv), nullptr,
                                    static_cast<GSpawnFlags>(G_SPAWN_STDOUT_TO_DEV_NULL | G_SPAWN_STDERR_TO_DEV_NULL),
                                    nullptr, nullptr, nullptr, nullptr, &status, nullptr);
  g_free(bwrap);
  return ran && g_spawn_check_wait_status(status, nullptr);
}

CWebKitRuntime& CWebKitRuntime::Instance() {
  static CWebKitRuntime* runtime = new CWebKitRuntime();  // lives as long as the process
  return *runtime;
}

int CWebKitRuntime::ExecuteProcess(const CefMainArgs&, CefRefPtr<CefApp>) { return -1; }

bool CWebKitRuntime::Initialize(const CefMainArgs&, const cef_settings_t& settings, CefRefPtr<CefApp> application) {
  if (m_initialized) return false;
  m_app = application;
  g_uiThread = g_thread_self();
  if (application) application->OnBeforeCommandLineProcessing(CefString(), cef_command_line_create());

  // Pages are drawn without compositing (see the view's settings), so the DMA-BUF renderer
  // would never carry a frame; without its probe the UI process starts about 4 MiB smaller.
  // A value set by whoever started us is kept.
  g_setenv("WEBKIT_DISABLE_DMABUF_RENDERER", "1", FALSE);

  std::string cache = CefStringFrom(settings.cache_path).ToString();
  if (cache.empty()) cache = XdgFolder("XDG_CACHE_HOME", ".cache") + "/corvane/corvane_cache";
  const std::string data = XdgFolder("XDG_DATA_HOME", ".local/share") + "/corvane";
  g_mkdir_with_parents(data.c_str(), 0700);
  WebKitWebsiteDataManager* manager = webkit_website_data_manager_new(
      "base-data-directory", data.c_str(), "base-cache-directory", cache.c_str(), nullptr);
  m_context = webkit_web_context_new_with_website_data_manager(manager);
  // The client shows one site: one web process, the document cache model.
  webkit_web_context_set_cache_model(m_context, WEBKIT_CACHE_MODEL_DOCUMENT_BROWSER);
  g_signal_connect(m_context, "download-started", G_CALLBACK(SaveDownload), nullptr);
  WebKitCookieManager* cookies = webkit_website_data_manager_get_cookie_manager(manager);
  webkit_cookie_manager_set_persistent_storage(cookies, (data + "/cookies.sqlite").c_str(),
                                               WEBKIT_COOKIE_PERSISTENT_STORAGE_SQLITE);
  if (settings.persist_session_cookies) m_sessionCookies = std::make_unique<SessionCookieKeeper>(cookies);
  g_object_unref(manager);

  std::vector<std::string> languages = SplitLanguages(CefStringFrom(settings.accept_language_list).ToString());
  if (!languages.empty()) {
    std::vector<const gchar*> list;
    for (const std::string& language : languages) list.push_back(language.c_str());
    list.push_back(nullptr);
    webkit_web_context_set_preferred_languages(m_context, list.data());
  }

  // WebKit aborts when its sandbox is on and cannot start, so it is on only after a trial.
  m_sandbox = BubblewrapWorks();
  if (!m_sandbox) std::fprintf(stderr, "corvane: bubblewrap cannot run here; web-process sandbox off\n");
  webkit_web_context_set_sandbox_enabled(m_context, m_sandbox);

  m_initialized = true;
  m_quit = false;
  CefRefPtr<CefApp> app = m_app;
  PostToUi([app] { NotifyContextInitialized(app); });
  return true;
}

bool CWebKitRuntime::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                   const CefBrowserSettings&) {
  if (!m_initialized || !windowInfo.parent_window || !GTK_IS_CONTAINER(windowInfo.parent_window)) return false;
  GtkWidget* parent = static_cast<GtkWidget*>(windowInfo.parent_window);
  g_object_ref(parent);
  const std::string address = url.ToString();
  const int id = m_nextBrowserId++;
  // Asynchronous, as the contract has it: the browser arrives through OnAfterCreated.
  PostToUi([this, parent, client, address, id] {
    CefRefPtr<CWebKitBrowser> browser = new CWebKitBrowser(id, m_context, parent, client);
    g_object_unref(parent);
    m_browsers.push_back(browser);
    if (CefRefPtr<CefLifeSpanHandler> handler = client ? client->GetLifeSpanHandler() : nullptr) {
      handler->OnAfterCreated(browser.get());
    }
    if (!address.empty()) browser->LoadOnUi(address);
  });
  return true;
}

void CWebKitRuntime::RunMessageLoop() {
  if (!m_initialized) return;
  m_quit = false;
  RunMainLoopUntil([this] { return m_quit; });
}

void CWebKitRuntime::QuitMessageLoop() {
  RunOnUi([this] { m_quit = true; });
  g_main_context_wakeup(nullptr);
}

void CWebKitRuntime::Shutdown() {
  if (!m_initialized) return;
  std::vector<CefRefPtr<CWebKitBrowser>> browsers = m_browsers;
  for (const CefRefPtr<CWebKitBrowser>& browser : browsers) browser->Destroy();
  m_browsers.clear();
  m_sessionCookies.reset();
  g_clear_object(&m_context);
  m_app = nullptr;
  m_initialized = false;
}

void CWebKitRuntime::Forget(CWebKitBrowser* browser) {
  m_browsers.erase(std::remove_if(m_browsers.begin(), m_browsers.end(),
                                  [browser](const CefRefPtr<CWebKitBrowser>& b) { return b.get() == browser; }),
                   m_browsers.end());
}

void CWebKitRuntime::RunOnUi(std::function<void()> task) {
  if (g_thread_self() == g_uiThread.load()) {
    task();
    return;
  }
  PostToUi(std::move(task));
}

void CWebKitRuntime::PostToUi(std::function<void()> task) {
  PostToMainLoop(std::move(task));
}

}  // namespace corvane
