// The scripted runtime's thread, browsers and callbacks.
#include "client/browser/scripted/scripted_runtime.h"

#include "client/browser/cef_menu_model.h"

namespace corvane {

CScriptedFrame::CScriptedFrame(CScriptedBrowser* browser, int64_t id, bool isMain, CefString url)
    : m_browser(browser), m_id(id), m_isMain(isMain), m_url(std::move(url)) {}

CefString CScriptedFrame::GetURL() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_url;
}

void CScriptedFrame::LoadURL(const CefString& url) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_url = url;
  m_loaded.push_back(url);
}

CefRefPtr<CefBrowser> CScriptedFrame::GetBrowser() { return m_browser; }

std::vector<CefString> CScriptedFrame::LoadedUrls() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_loaded;
}

CScriptedBrowser::CScriptedBrowser(int id, CefRefPtr<CefClient> client, cef_window_handle_t window)
    : m_id(id), m_client(std::move(client)), m_window(window), m_mainFrame(new CScriptedFrame(this, 1, true, CefString())) {}

CScriptedBrowser::~CScriptedBrowser() = default;

bool CScriptedBrowser::CanGoBack() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_calls.push_back("CanGoBack");
  return m_canGoBack;
}

bool CScriptedBrowser::CanGoForward() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_calls.push_back("CanGoForward");
  return m_canGoForward;
}

bool CScriptedBrowser::IsLoading() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_calls.push_back("IsLoading");
  return m_isLoading;
}

void CScriptedBrowser::SetNavigationState(bool canGoBack, bool canGoForward, bool isLoading) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_canGoBack = canGoBack;
  m_canGoForward = canGoForward;
  m_isLoading = isLoading;
}

CefRefPtr<CScriptedFrame> CScriptedBrowser::AddSubFrame(const CefString& url) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_subFrames.push_back(new CScriptedFrame(this, static_cast<int64_t>(m_subFrames.size()) + 2, false, url));
  return m_subFrames.back();
}

std::vector<std::string> CScriptedBrowser::Calls() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_calls;
}

void CScriptedBrowser::Detach() {
  std::lock_guard<std::mutex> lock(m_lock);
  m_client = nullptr;
}

void CScriptedBrowser::Record(const std::string& call) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_calls.push_back(call);
}

CScriptedRuntime::CScriptedRuntime() : m_thread([this] { ThreadMain(); }) {}

CScriptedRuntime::~CScriptedRuntime() {
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_stopping = true;
  }
  m_wake.notify_all();
  m_thread.join();
  for (auto& browser : m_browsers) browser->Detach();
  if (GetCefRuntime() == this) SetCefRuntime(nullptr);
}

void CScriptedRuntime::ThreadMain() {
  while (true) {
    std::function<void()> task;
    {
      std::unique_lock<std::mutex> lock(m_lock);
      m_wake.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
      if (m_tasks.empty()) return;
      task = std::move(m_tasks.front());
      m_tasks.pop_front();
    }
    task();
  }
}

void CScriptedRuntime::Run(const std::function<void()>& task) {
  std::mutex doneLock;
  std::condition_variable doneWake;
  bool done = false;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_tasks.push_back([&] {
      task();
      std::lock_guard<std::mutex> inner(doneLock);
      done = true;
      doneWake.notify_all();
    });
  }
  m_wake.notify_all();
  std::unique_lock<std::mutex> wait(doneLock);
  doneWake.wait(wait, [&] { return done; });
}

std::vector<CScriptedRuntime::BrowserRequest> CScriptedRuntime::Requests() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_requests;
}

CefRefPtr<CScriptedBrowser> CScriptedRuntime::DeliverBrowser(CefRefPtr<CefClient> client, cef_window_handle_t window) {
  CefRefPtr<CScriptedBrowser> browser = new CScriptedBrowser(m_nextBrowserId++, client, window);
  m_browsers.push_back(browser);
  Run([&] {
    if (CefRefPtr<CefLifeSpanHandler> handler = client->GetLifeSpanHandler()) handler->OnAfterCreated(browser);
  });
  return browser;
}

bool CScriptedRuntime::FireBeforePopup(CefRefPtr<CScriptedBrowser> browser, const CefString& targetUrl) {
  bool cancelled = false;
  Run([&] {
    CefRefPtr<CefLifeSpanHandler> handler = browser->GetClient()->GetLifeSpanHandler();
    if (!handler) return;
    CefWindowInfo windowInfo;
    CefRefPtr<CefClient> client = browser->GetClient();
    CefBrowserSettings settings;
    bool noScriptAccess = false;
    cancelled = handler->OnBeforePopup(browser, browser->GetMainFrame(), targetUrl, L"_blank", WOD_NEW_FOREGROUND_TAB,
                                       true, CefPopupFeatures(), windowInfo, client, settings, &noScriptAccess);
  });
  return cancelled;
}

bool CScriptedRuntime::FirePreKeyEvent(CefRefPtr<CScriptedBrowser> browser, const CefKeyEvent& event) {
  bool consumed = false;
  Run([&] {
    if (CefRefPtr<CefKeyboardHandler> handler = browser->GetClient()->GetKeyboardHandler()) {
      bool isShortcut = false;
      consumed = handler->OnPreKeyEvent(browser, event, nullptr, &isShortcut);
    }
  });
  return consumed;
}

CefRefPtr<CefMenuModel> CScriptedRuntime::FireBeforeContextMenu(CefRefPtr<CScriptedBrowser> browser, bool editable) {
  CefRefPtr<CefMenuModel> model = CreateDefaultContextMenu(editable);
  Run([&] {
    if (CefRefPtr<CefContextMenuHandler> handler = browser->GetClient()->GetContextMenuHandler()) {
      handler->OnBeforeContextMenu(browser, browser->GetMainFrame(), nullptr, model);
    }
  });
  return model;
}

void CScriptedRuntime::FireLoadingStateChange(CefRefPtr<CScriptedBrowser> browser, bool isLoading, bool canGoBack,
                                              bool canGoForward) {
  browser->SetNavigationState(canGoBack, canGoForward, isLoading);
  Run([&] {
    if (CefRefPtr<CefLoadHandler> handler = browser->GetClient()->GetLoadHandler()) {
      handler->OnLoadingStateChange(browser, isLoading, canGoBack, canGoForward);
    }
  });
}

void CScriptedRuntime::FireLoadError(CefRefPtr<CScriptedBrowser> browser, CefRefPtr<CefFrame> frame,
                                     cef_errorcode_t code, const CefString& failedUrl) {
  Run([&] {
    if (CefRefPtr<CefLoadHandler> handler = browser->GetClient()->GetLoadHandler()) {
      handler->OnLoadError(browser, frame, code, ErrorCodeName(code), failedUrl);
    }
  });
}

bool CScriptedRuntime::FireDoClose(CefRefPtr<CScriptedBrowser> browser) {
  bool result = false;
  Run([&] {
    if (CefRefPtr<CefLifeSpanHandler> handler = browser->GetClient()->GetLifeSpanHandler()) result = handler->DoClose(browser);
  });
  return result;
}

void CScriptedRuntime::FireBeforeClose(CefRefPtr<CScriptedBrowser> browser) {
  Run([&] {
    if (CefRefPtr<CefLifeSpanHandler> handler = browser->GetClient()->GetLifeSpanHandler()) handler->OnBeforeClose(browser);
  });
}

int CScriptedRuntime::ExecuteProcess(const CefMainArgs&, CefRefPtr<CefApp>) {
  ++m_executeCalls;
  return m_processResult;
}

bool CScriptedRuntime::Initialize(const CefMainArgs&, const cef_settings_t& settings, CefRefPtr<CefApp> application) {
  ++m_initializeCalls;
  m_app = application;
  m_settings.no_sandbox = settings.no_sandbox;
  m_settings.multi_threaded_message_loop = settings.multi_threaded_message_loop;
  m_settings.windowless_rendering_enabled = settings.windowless_rendering_enabled;
  m_settings.persist_session_cookies = settings.persist_session_cookies;
  m_settings.cache_path = CefStringFrom(settings.cache_path);
  m_settings.accept_language_list = CefStringFrom(settings.accept_language_list);
  m_settings.locale = CefStringFrom(settings.locale);
  m_settings.user_agent = CefStringFrom(settings.user_agent);
  return true;
}

bool CScriptedRuntime::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                     const CefBrowserSettings&) {
  std::lock_guard<std::mutex> lock(m_lock);
  m_requests.push_back({windowInfo, client, url});
  return true;
}

void CScriptedRuntime::Shutdown() {
  ++m_shutdownCalls;
  m_app = nullptr;
}

}  // namespace corvane
