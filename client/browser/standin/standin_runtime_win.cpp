// The stand-in runtime: process roles, the UI thread and its task window, browser creation and
// shut-down.
#include "client/browser/standin/standin_runtime_win.h"

#include <algorithm>

#include "client/browser/standin/standin_browser_win.h"

namespace corvane {
namespace {

constexpr wchar_t kTaskClass[] = L"CorvaneStandInTasks";
constexpr UINT WM_RUNTASKS = WM_APP + 1;

}  // namespace

int StandInRoleExitCode(const std::wstring& processType) {
  static const wchar_t* const kRoles[] = {L"renderer", L"gpu-process", L"utility", L"ppapi", L"crashpad-handler"};
  for (const wchar_t* role : kRoles) {
    if (processType == role) return 0;  // the stand-in's roles have nothing to do: it renders nothing
  }
  return 1;
}

CStandInRuntime& CStandInRuntime::Instance() {
  static CStandInRuntime* runtime = new CStandInRuntime();  // lives as long as the process
  return *runtime;
}

int CStandInRuntime::ExecuteProcess(const CefMainArgs&, CefRefPtr<CefApp> application) {
  CefRefPtr<CefCommandLine> line = cef_command_line_create();
  line->InitFromString(GetCommandLineW());
  const std::wstring type = line->GetSwitchValue(L"type").ToWString();
  if (type.empty()) return -1;
  if (application) application->OnBeforeCommandLineProcessing(type, line);
  return StandInRoleExitCode(type);
}

bool CStandInRuntime::Initialize(const CefMainArgs& args, const cef_settings_t& settings, CefRefPtr<CefApp> application) {
  if (m_initialized) return false;
  m_instance = args.instance ? static_cast<HINSTANCE>(args.instance) : GetModuleHandleW(nullptr);
  m_multiThreaded = settings.multi_threaded_message_loop != 0;
  m_acceptLanguage = CefStringFrom(settings.accept_language_list).ToWString();
  m_app = application;
  if (application) {
    CefRefPtr<CefCommandLine> line = cef_command_line_create();
    line->InitFromString(GetCommandLineW());
    application->OnBeforeCommandLineProcessing(CefString(), line);
  }
  if (m_multiThreaded) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    struct Start {
      CStandInRuntime* runtime;
      HANDLE ready;
    } start = {this, ready};
    m_uiThread = CreateThread(nullptr, 0, UiThreadMain, &start, 0, &m_uiThreadId);
    if (m_uiThread == nullptr) {
      CloseHandle(ready);
      return false;
    }
    WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
  } else {
    m_uiThreadId = GetCurrentThreadId();
    CreateTaskWindow();
  }
  m_initialized = true;
  CefRefPtr<CefApp> app = m_app;
  PostTask([app] { NotifyContextInitialized(app); });
  return true;
}

DWORD WINAPI CStandInRuntime::UiThreadMain(void* param) {
  struct Start {
    CStandInRuntime* runtime;
    HANDLE ready;
  };
  Start* start = static_cast<Start*>(param);
  CStandInRuntime* self = start->runtime;
  self->CreateTaskWindow();
  SetEvent(start->ready);  // `start` is gone after this
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

void CStandInRuntime::CreateTaskWindow() {
  WNDCLASSEXW wc = {sizeof(wc)};
  if (!GetClassInfoExW(m_instance, kTaskClass, &wc)) {
    wc.lpfnWndProc = TaskWindowProc;
    wc.hInstance = m_instance;
    wc.lpszClassName = kTaskClass;
    RegisterClassExW(&wc);
  }
  HWND window = CreateWindowExW(0, kTaskClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, m_instance, nullptr);
  std::lock_guard<std::mutex> lock(m_lock);
  m_taskWindow = window;
}

LRESULT CALLBACK CStandInRuntime::TaskWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_RUNTASKS) {
    Instance().RunTasks();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void CStandInRuntime::PostTask(std::function<void()> task) {
  std::unique_lock<std::mutex> lock(m_lock);
  if (m_taskWindow == nullptr) return;  // not running: the task is dropped
  const bool wake = m_tasks.empty();
  m_tasks.push_back(std::move(task));
  HWND window = m_taskWindow;
  lock.unlock();
  if (wake) PostMessageW(window, WM_RUNTASKS, 0, 0);
}

void CStandInRuntime::RunTasks() {
  while (true) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      if (m_tasks.empty()) return;
      task = std::move(m_tasks.front());
      m_tasks.pop_front();
    }
    task();
  }
}

bool CStandInRuntime::CreateBrowser(const CefWindowInfo& windowInfo, CefRefPtr<CefClient> client, const CefString& url,
                                    const CefBrowserSettings&) {
  if (!m_initialized || !client) return false;
  const std::wstring address = url.ToWString();
  PostTask([this, windowInfo, client, address] {
    CefRefPtr<CStandInBrowser> browser = new CStandInBrowser(*this, m_nextBrowserId++, client);
    m_browsers.push_back(browser);
    if (!browser->Create(windowInfo, address)) Forget(browser.get());
  });
  return true;
}

void CStandInRuntime::Forget(CStandInBrowser* browser) {
  m_browsers.erase(std::remove_if(m_browsers.begin(), m_browsers.end(),
                                  [browser](const CefRefPtr<CStandInBrowser>& b) { return b.get() == browser; }),
                   m_browsers.end());
}

void CStandInRuntime::RunMessageLoop() {
  if (m_multiThreaded || !OnUiThread()) return;
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

void CStandInRuntime::QuitMessageLoop() {
  if (!m_multiThreaded) PostTask([] { PostQuitMessage(0); });
}

void CStandInRuntime::CloseAll() {
  const std::vector<CefRefPtr<CStandInBrowser>> open = m_browsers;
  for (const auto& browser : open) browser->DestroyView();
  m_browsers.clear();
  RunTasks();
  HWND window;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    window = m_taskWindow;
    m_taskWindow = nullptr;
    m_tasks.clear();
  }
  if (window) DestroyWindow(window);
}

void CStandInRuntime::Shutdown() {
  if (!m_initialized) return;
  if (m_multiThreaded) {
    PostTask([this] {
      CloseAll();
      PostQuitMessage(0);
    });
    // Closing views may send messages to windows of this thread (their parents): keep pumping.
    while (MsgWaitForMultipleObjects(1, &m_uiThread, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
      }
    }
    CloseHandle(m_uiThread);
    m_uiThread = nullptr;
  } else {
    CloseAll();
  }
  m_uiThreadId = 0;
  m_app = nullptr;
  m_initialized = false;
}

}  // namespace corvane
