// The stand-in browser's view and loads. Every callback to the client runs here on the UI
// thread; window messages of the view arrive on that thread too, since it made the windows.
#include "client/browser/standin/standin_browser_win.h"

#include <commctrl.h>

#include <memory>
#include <thread>

#include "base/unique_handle_win.h"

#include "client/browser/cef_menu_model.h"
#include "client/browser/standin/standin_loader_win.h"
#include "client/browser/standin/standin_runtime_win.h"

namespace corvane {
namespace {

constexpr wchar_t kViewClass[] = L"CorvaneStandInView";
constexpr int kBar = 24;  // height of the address and title lines
enum ControlId : UINT_PTR { kAddressId = 1, kTextId, kLinksId, kFieldId };

class CStandInMenuParams final : public CefContextMenuParams {
 public:
  CStandInMenuParams(int x, int y, bool editable, CefString url) : m_x(x), m_y(y), m_editable(editable), m_url(url) {}
  int GetXCoord() override { return m_x; }
  int GetYCoord() override { return m_y; }
  uint32_t GetTypeFlags() override { return CM_TYPEFLAG_PAGE | (m_editable ? static_cast<uint32_t>(CM_TYPEFLAG_EDITABLE) : 0u); }
  bool IsEditable() override { return m_editable; }
  CefString GetPageUrl() override { return m_url; }

 private:
  const int m_x, m_y;
  const bool m_editable;
  const CefString m_url;
  IMPLEMENT_REFCOUNTING(CStandInMenuParams);
};

uint32_t KeyboardModifiers() {
  uint32_t flags = EVENTFLAG_NONE;
  if (GetKeyState(VK_SHIFT) < 0) flags |= EVENTFLAG_SHIFT_DOWN;
  if (GetKeyState(VK_CONTROL) < 0) flags |= EVENTFLAG_CONTROL_DOWN;
  if (GetKeyState(VK_MENU) < 0) flags |= EVENTFLAG_ALT_DOWN;
  if (GetKeyState(VK_CAPITAL) & 1) flags |= EVENTFLAG_CAPS_LOCK_ON;
  if (GetKeyState(VK_NUMLOCK) & 1) flags |= EVENTFLAG_NUM_LOCK_ON;
  return flags;
}

void RegisterViewClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW wc = {sizeof(wc)};
  if (GetClassInfoExW(instance, kViewClass, &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kViewClass;
  RegisterClassExW(&wc);
}

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(GetWindowTextW(window, &text[0], static_cast<int>(text.size())));
  return text;
}

// Text for an edit control: its line breaks are CR LF.
std::wstring EditText(const std::wstring& text) {
  std::wstring out;
  for (wchar_t c : text) {
    if (c == L'\n') out += L"\r\n";
    else out.push_back(c);
  }
  return out;
}

}  // namespace

CefRefPtr<CStandInBrowser> CStandInFrame::Browser() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_browser;
}

void CStandInFrame::Detach() {
  CefRefPtr<CStandInBrowser> gone;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    gone = std::move(m_browser);
  }
  // `gone` is released here, outside the lock: it may be the browser's last reference.
}

bool CStandInFrame::IsValid() {
  CefRefPtr<CStandInBrowser> browser = Browser();
  return browser && browser->Alive();
}

CefString CStandInFrame::GetURL() {
  CefRefPtr<CStandInBrowser> browser = Browser();
  return browser ? CefString(browser->Url()) : CefString();
}

void CStandInFrame::LoadURL(const CefString& url) {
  if (CefRefPtr<CStandInBrowser> browser = Browser()) browser->Navigate(url.ToWString(), CNavigationHistory::Kind::New);
}

CefRefPtr<CefBrowser> CStandInFrame::GetBrowser() { return Browser().get(); }

CStandInBrowser::CStandInBrowser(CStandInRuntime& runtime, int id, CefRefPtr<CefClient> client)
    : m_runtime(runtime), m_id(id), m_client(std::move(client)) {
  // Here, not among the initialisers: the frame counts a reference to this browser, and the
  // count is a member initialised after m_frame.
  m_frame = new CStandInFrame(this);
}

bool CStandInBrowser::Create(const CefWindowInfo& info, const std::wstring& url) {
  RegisterViewClass(m_runtime.ModuleInstance(), ViewProc);
  HWND parent = static_cast<HWND>(info.parent_window);
  DWORD style = info.style;
  if (style == 0) style = parent ? (WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VISIBLE) : (WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  const bool topLevel = parent == nullptr || (style & WS_CHILD) == 0;
  const int width = info.width > 0 ? info.width : (topLevel ? CW_USEDEFAULT : 0);
  const int height = info.height > 0 ? info.height : (topLevel ? CW_USEDEFAULT : 0);
  // No parent notification: the parent's thread may be busy, and a sent notice would wait for it.
  HWND window = CreateWindowExW(info.ex_style | WS_EX_NOPARENTNOTIFY, kViewClass, info.window_name.ToWString().c_str(),
                                style, topLevel && info.width <= 0 ? CW_USEDEFAULT : info.x, info.y, width, height,
                                parent, nullptr, m_runtime.ModuleInstance(), this);
  if (window == nullptr) {
    m_frame->Detach();  // this browser never lives
    return false;
  }
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_window = window;
  }
  if (CefRefPtr<CefLifeSpanHandler> handler = GetClient() ? GetClient()->GetLifeSpanHandler() : nullptr) {
    handler->OnAfterCreated(this);
  }
  if (!url.empty()) StartLoad(url, CNavigationHistory::Kind::New);
  return true;
}

bool CStandInBrowser::Alive() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_window != nullptr;
}

std::wstring CStandInBrowser::Url() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_url;
}

bool CStandInBrowser::CanGoBack() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_history.CanGoBack();
}

bool CStandInBrowser::CanGoForward() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_history.CanGoForward();
}

bool CStandInBrowser::IsLoading() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_loading;
}

cef_window_handle_t CStandInBrowser::GetWindowHandle() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_window;
}

CefRefPtr<CefClient> CStandInBrowser::GetClient() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_client;
}

void CStandInBrowser::GoBack() { LoadHistoryEntry(&CNavigationHistory::BackUrl, CNavigationHistory::Kind::Back); }

void CStandInBrowser::GoForward() {
  LoadHistoryEntry(&CNavigationHistory::ForwardUrl, CNavigationHistory::Kind::Forward);
}

void CStandInBrowser::Reload() { LoadHistoryEntry(&CNavigationHistory::CurrentUrl, CNavigationHistory::Kind::Reload); }

void CStandInBrowser::LoadHistoryEntry(std::wstring (CNavigationHistory::*entry)() const, CNavigationHistory::Kind kind) {
  CefRefPtr<CStandInBrowser> self(this);
  m_runtime.PostTask([self, entry, kind] {
    std::wstring url;
    {
      std::lock_guard<std::mutex> lock(self->m_lock);
      url = (self->m_history.*entry)();
    }
    if (!url.empty()) self->StartLoad(url, kind);  // nothing there: nothing happens
  });
}

void CStandInBrowser::StopLoad() {
  CefRefPtr<CStandInBrowser> self(this);
  m_runtime.PostTask([self] {
    if (!self->IsLoading()) return;
    self->AbortLoad();
    {
      std::lock_guard<std::mutex> lock(self->m_lock);
      self->m_loading = false;
      self->m_url = self->m_history.CurrentUrl();
    }
    self->FireLoadingState();
  });
}

void CStandInBrowser::Navigate(const std::wstring& url, CNavigationHistory::Kind kind) {
  CefRefPtr<CStandInBrowser> self(this);
  m_runtime.PostTask([self, url, kind] { self->StartLoad(url, kind); });
}

void CStandInBrowser::CloseBrowser(bool force) {
  CefRefPtr<CStandInBrowser> self(this);
  m_runtime.PostTask([self, force] {
    HWND window = static_cast<HWND>(self->GetWindowHandle());
    if (window == nullptr) return;
    if (!force) {
      CefRefPtr<CefClient> client = self->GetClient();
      CefRefPtr<CefLifeSpanHandler> handler = client ? client->GetLifeSpanHandler() : nullptr;
      // True: the program closes its window itself, and the view goes with it.
      if (handler && handler->DoClose(self)) return;
      HWND root = GetAncestor(window, GA_ROOT);
      if (root != nullptr && root != window) {
        PostMessageW(root, WM_CLOSE, 0, 0);
        return;
      }
    }
    DestroyWindow(window);
  });
}

void CStandInBrowser::DestroyView() {
  HWND window = static_cast<HWND>(GetWindowHandle());
  if (window != nullptr) DestroyWindow(window);
}

// A load in progress is given up: the runtime's "aborted".
void CStandInBrowser::AbortLoad() {
  ++m_loadId;
  CefRefPtr<CefClient> client = GetClient();
  if (CefRefPtr<CefLoadHandler> handler = client ? client->GetLoadHandler() : nullptr) {
    handler->OnLoadError(this, m_frame, ERR_ABORTED, ErrorCodeName(ERR_ABORTED), m_pendingUrl);
  }
}

void CStandInBrowser::StartLoad(const std::wstring& url, CNavigationHistory::Kind kind) {
  if (!Alive()) return;
  const bool wasLoading = IsLoading();
  if (wasLoading) AbortLoad();
  const int loadId = ++m_loadId;
  m_pendingUrl = url;
  m_pendingKind = kind;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_loading = true;
    m_url = url;
  }
  SetWindowTextW(m_address, url.c_str());
  SetWindowTextW(m_title, L"正在加载…");
  if (!wasLoading) FireLoadingState();
  CefRefPtr<CStandInBrowser> self(this);
  CStandInRuntime* runtime = &m_runtime;
  const std::wstring language = m_runtime.AcceptLanguage();
  std::thread([self, runtime, url, language, loadId] {
    auto result = std::make_shared<LoadResult>(LoadUrl(url, language));
    runtime->PostTask([self, loadId, result] { self->FinishLoad(loadId, *result); });
  }).detach();
}

void CStandInBrowser::FinishLoad(int loadId, const LoadResult& result) {
  if (loadId != m_loadId || !Alive()) return;  // replaced or stopped meanwhile
  CefRefPtr<CefClient> client = GetClient();
  CefRefPtr<CefLoadHandler> handler = client ? client->GetLoadHandler() : nullptr;
  if (result.error == ERR_NONE) {
    {
      std::lock_guard<std::mutex> lock(m_lock);
      m_history.Commit(m_pendingKind, m_pendingUrl);
      m_loading = false;
      m_url = m_pendingUrl;
    }
    m_page = ExtractPageText(result.body);
    m_pageUrl = m_pendingUrl;
    if (handler) handler->OnLoadStart(this, m_frame, m_pendingKind == CNavigationHistory::Kind::Reload ? TT_RELOAD : TT_EXPLICIT);
    ShowPage();
    if (handler) handler->OnLoadEnd(this, m_frame, result.httpStatus);
  } else {
    {
      std::lock_guard<std::mutex> lock(m_lock);
      m_loading = false;
    }
    const std::wstring name = CefString(ErrorCodeName(result.error)).ToWString();
    ShowMessage(L"无法打开此页面", m_pendingUrl + L"\n" + name);
    if (handler) handler->OnLoadError(this, m_frame, result.error, name, m_pendingUrl);
  }
  FireLoadingState();
}

void CStandInBrowser::FireLoadingState() {
  bool loading, back, forward;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    loading = m_loading;
    back = m_history.CanGoBack();
    forward = m_history.CanGoForward();
  }
  CefRefPtr<CefClient> client = GetClient();
  if (CefRefPtr<CefLoadHandler> handler = client ? client->GetLoadHandler() : nullptr) {
    handler->OnLoadingStateChange(this, loading, back, forward);
  }
}

void CStandInBrowser::ShowPage() {
  SetWindowTextW(m_address, m_pageUrl.c_str());
  SetWindowTextW(m_title, m_page.title.c_str());
  SetWindowTextW(m_text, EditText(m_page.text).c_str());
  SendMessageW(m_links, LB_RESETCONTENT, 0, 0);
  for (const PageLink& link : m_page.links) {
    const std::wstring line = (link.text.empty() ? link.href : link.text) + L"  <" + link.href + L">" +
                              (OpensNewWindow(link.target) ? L"  [新窗口]" : L"");
    SendMessageW(m_links, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  }
}

void CStandInBrowser::ShowMessage(const std::wstring& title, const std::wstring& text) {
  m_page = PageText();
  SetWindowTextW(m_title, title.c_str());
  SetWindowTextW(m_text, EditText(text).c_str());
  SendMessageW(m_links, LB_RESETCONTENT, 0, 0);
}

void CStandInBrowser::OpenLink(int index) {
  if (index < 0 || index >= static_cast<int>(m_page.links.size())) return;
  const PageLink link = m_page.links[index];
  const std::wstring url = ResolveUrl(m_pageUrl, link.href);
  if (OpensNewWindow(link.target)) {
    CefRefPtr<CefClient> client = GetClient();
    if (CefRefPtr<CefLifeSpanHandler> handler = client ? client->GetLifeSpanHandler() : nullptr) {
      CefWindowInfo windowInfo;
      CefBrowserSettings settings;
      bool noScriptAccess = false;
      if (handler->OnBeforePopup(this, m_frame, url, link.target, WOD_NEW_FOREGROUND_TAB, true, CefPopupFeatures(),
                                 windowInfo, client, settings, &noScriptAccess)) {
        return;  // cancelled
      }
    }
    // The stand-in makes no pop-up windows: an allowed pop-up opens here.
  }
  StartLoad(url, CNavigationHistory::Kind::New);
}

// Pre-key hook for the page's controls; true when the handler consumed the key.
bool CStandInBrowser::OnKey(HWND, UINT message, WPARAM wParam, LPARAM lParam, bool editable) {
  CefRefPtr<CefClient> client = GetClient();
  CefRefPtr<CefKeyboardHandler> handler = client ? client->GetKeyboardHandler() : nullptr;
  if (!handler) return false;
  CefKeyEvent event;
  event.type = (message == WM_KEYUP || message == WM_SYSKEYUP) ? KEYEVENT_KEYUP : KEYEVENT_RAWKEYDOWN;
  event.modifiers = KeyboardModifiers();
  event.windows_key_code = static_cast<int>(wParam);
  event.native_key_code = static_cast<int>(HIWORD(lParam));
  event.is_system_key = message == WM_SYSKEYDOWN || message == WM_SYSKEYUP;
  event.focus_on_editable_field = editable;
  MSG native = {nullptr, message, wParam, lParam};
  bool isShortcut = false;
  return handler->OnPreKeyEvent(this, event, &native, &isShortcut);
}

// The HTML a paste brings lands in the field as its markup, so that what the page would receive
// can be read; plain text when the clipboard has no HTML.
void CStandInBrowser::PasteIntoField() {
  const UINT htmlFormat = RegisterClipboardFormatW(L"HTML Format");
  std::wstring text;
  if (OpenClipboard(m_field)) {
    if (HANDLE data = GetClipboardData(htmlFormat)) {
      CGlobalLock lock(data);
      if (lock.Data() != nullptr) {
        const char* bytes = static_cast<const char*>(lock.Data());
        text = ClipboardHtmlFragment(std::string(bytes, strnlen(bytes, lock.Size())));
      }
    }
    if (text.empty()) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        CGlobalLock lock(data);
        if (lock.Data() != nullptr) {
          const wchar_t* chars = static_cast<const wchar_t*>(lock.Data());
          text.assign(chars, wcsnlen(chars, lock.Size() / sizeof(wchar_t)));
        }
      }
    }
    CloseClipboard();
  }
  SendMessageW(m_field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(EditText(text).c_str()));
}

void CStandInBrowser::OnContextMenu(HWND control, LPARAM position, bool editable) {
  CefRefPtr<CefClient> client = GetClient();
  CefRefPtr<CefContextMenuHandler> handler = client ? client->GetContextMenuHandler() : nullptr;
  POINT screen = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  if (position == static_cast<LPARAM>(-1)) GetCursorPos(&screen);  // from the keyboard
  POINT inView = screen;
  ScreenToClient(static_cast<HWND>(GetWindowHandle()), &inView);
  CefRefPtr<CefMenuModel> model = CreateDefaultContextMenu(editable);
  CefRefPtr<CefContextMenuParams> params = new CStandInMenuParams(inView.x, inView.y, editable, Url());
  if (handler) handler->OnBeforeContextMenu(this, m_frame, params, model);
  if (model->GetCount() == 0) return;  // nothing left to offer: no menu
  UniqueMenu menu(CreatePopupMenu());
  for (size_t i = 0; i < model->GetCount(); ++i) {
    const int id = model->GetCommandIdAt(i);
    if (id == MENU_ID_SEPARATOR) AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    else AppendMenuW(menu.Get(), MF_STRING, static_cast<UINT_PTR>(id), model->GetLabelAt(i).ToWString().c_str());
  }
  const int command = static_cast<int>(TrackPopupMenu(menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y,
                                                      0, control, nullptr));
  if (command != 0 && !(handler && handler->OnContextMenuCommand(this, m_frame, params, command, EVENTFLAG_NONE))) {
    switch (command) {
      case MENU_ID_BACK: GoBack(); break;
      case MENU_ID_FORWARD: GoForward(); break;
      case MENU_ID_RELOAD: Reload(); break;
      case MENU_ID_UNDO: SendMessageW(control, EM_UNDO, 0, 0); break;
      case MENU_ID_CUT: SendMessageW(control, WM_CUT, 0, 0); break;
      case MENU_ID_COPY: SendMessageW(control, WM_COPY, 0, 0); break;
      case MENU_ID_PASTE: SendMessageW(control, WM_PASTE, 0, 0); break;
      case MENU_ID_SELECT_ALL: SendMessageW(control, EM_SETSEL, 0, -1); break;
      default: break;
    }
  }
  if (handler) handler->OnContextMenuDismissed(this, m_frame);
}

void CStandInBrowser::LayoutView() {
  RECT r;
  GetClientRect(static_cast<HWND>(GetWindowHandle()), &r);
  const int w = r.right, h = r.bottom;
  const int fieldHeight = h / 4 > 60 ? h / 4 : 60;
  const int linksWidth = w / 3;
  const int bodyTop = 2 * kBar;
  const int bodyHeight = h - bodyTop - fieldHeight > 0 ? h - bodyTop - fieldHeight : 0;
  MoveWindow(m_address, 0, 0, w, kBar, TRUE);
  MoveWindow(m_title, 4, kBar, w - 8, kBar, TRUE);
  MoveWindow(m_text, 0, bodyTop, w - linksWidth, bodyHeight, TRUE);
  MoveWindow(m_links, w - linksWidth, bodyTop, linksWidth, bodyHeight, TRUE);
  MoveWindow(m_field, 0, h - fieldHeight, w, fieldHeight, TRUE);
}

void CStandInBrowser::OnViewDestroyed() {
  ++m_loadId;  // a load still under way is dropped without a callback
  if (m_font) DeleteObject(m_font);
  m_font = nullptr;
  CefRefPtr<CefClient> client;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_window = nullptr;
    m_loading = false;
    client = m_client;
  }
  if (CefRefPtr<CefLifeSpanHandler> handler = client ? client->GetLifeSpanHandler() : nullptr) {
    handler->OnBeforeClose(this);
  }
  {
    std::lock_guard<std::mutex> lock(m_lock);
    m_client = nullptr;
  }
  m_frame->Detach();
  m_runtime.Forget(this);
}

LRESULT CALLBACK CStandInBrowser::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                              DWORD_PTR selfData) {
  CStandInBrowser* self = reinterpret_cast<CStandInBrowser*>(selfData);
  const bool editable = id == kFieldId || id == kAddressId;
  switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // The address line belongs to the stand-in, not to the page: no page key events there.
      if (id != kAddressId && self->OnKey(window, message, wParam, lParam, id == kFieldId)) return 0;
      if (id == kAddressId && message == WM_KEYDOWN && wParam == VK_RETURN) {
        self->StartLoad(WindowText(window), CNavigationHistory::Kind::New);
        return 0;
      }
      if (id == kLinksId && message == WM_KEYDOWN && wParam == VK_RETURN) {
        self->OpenLink(static_cast<int>(SendMessageW(window, LB_GETCURSEL, 0, 0)));
        return 0;
      }
      break;
    case WM_CHAR:
      if (id == kAddressId && wParam == L'\r') return 0;  // no beep
      break;
    case WM_PASTE:
      if (id == kFieldId) {
        self->PasteIntoField();
        return 0;
      }
      break;
    case WM_CONTEXTMENU:
      if (id != kAddressId) {
        self->OnContextMenu(window, lParam, editable);
        return 0;
      }
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(window, ControlProc, id);
      break;
    default:
      break;
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

LRESULT CALLBACK CStandInBrowser::ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<CStandInBrowser*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  switch (message) {
    case WM_CREATE: {
      HINSTANCE instance = self->m_runtime.ModuleInstance();
      const DWORD child = WS_CHILD | WS_VISIBLE;
      self->m_address = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", child | ES_AUTOHSCROLL, 0, 0, 0, 0, window,
                                        reinterpret_cast<HMENU>(kAddressId), instance, nullptr);
      self->m_title = CreateWindowExW(0, L"STATIC", L"", child | SS_LEFTNOWORDWRAP, 0, 0, 0, 0, window, nullptr,
                                      instance, nullptr);
      self->m_text = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                     child | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 0, 0,
                                     window, reinterpret_cast<HMENU>(kTextId), instance, nullptr);
      self->m_links = CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"", child | WS_VSCROLL | LBS_NOTIFY, 0, 0, 0, 0,
                                      window, reinterpret_cast<HMENU>(kLinksId), instance, nullptr);
      self->m_field = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                      child | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                                      0, 0, 0, 0, window, reinterpret_cast<HMENU>(kFieldId), instance, nullptr);
      NONCLIENTMETRICSW metrics = {sizeof(metrics)};
      SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
      self->m_font = CreateFontIndirectW(&metrics.lfMessageFont);
      const std::pair<HWND, UINT_PTR> controls[] = {{self->m_address, kAddressId}, {self->m_title, 0},
                                                    {self->m_text, kTextId}, {self->m_links, kLinksId},
                                                    {self->m_field, kFieldId}};
      for (const auto& [control, id] : controls) {
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(self->m_font), FALSE);
        if (id != 0) SetWindowSubclass(control, ControlProc, id, reinterpret_cast<DWORD_PTR>(self));
      }
      return 0;
    }
    case WM_SIZE:
      self->LayoutView();
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kLinksId && HIWORD(wParam) == LBN_DBLCLK) {
        self->OpenLink(static_cast<int>(SendMessageW(self->m_links, LB_GETCURSEL, 0, 0)));
      }
      return 0;
    case WM_CONTEXTMENU:
      self->OnContextMenu(window, lParam, false);
      return 0;
    case WM_SETFOCUS:
      SetFocus(self->m_field);
      return 0;
    case WM_DESTROY: {
      // The runtime lets go of the browser here; later messages of this window find no object.
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      CefRefPtr<CStandInBrowser> keep(self);
      self->OnViewDestroyed();
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace corvane
