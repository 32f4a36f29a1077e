// The stand-in's browser: its host and main frame, its view window (address, title, text,
// links and the editable field) and its loads, all driven on the runtime's UI thread. The
// operations of CefBrowser, CefBrowserHost and CefFrame may be called from any thread; they
// post their work to the UI thread.
#pragma once

#include <windows.h>

#include <mutex>

#include "client/browser/cef_runtime.h"
#include "client/browser/navigation_history.h"
#include "client/browser/standin/standin_page.h"

namespace corvane {

class CStandInRuntime;
class CStandInBrowser;
struct LoadResult;

// A program may keep a frame longer than its browser lives (a callback's argument, say). The
// frame holds its browser by a counted reference until the browser's view goes; from then on it
// is not valid, has no URL and no browser, and loads nothing.
class CStandInFrame final : public CefFrame {
 public:
  explicit CStandInFrame(CefRefPtr<CStandInBrowser> browser) : m_browser(std::move(browser)) {}
  bool IsValid() override;
  bool IsMain() override { return true; }
  int64_t GetIdentifier() override { return 1; }
  CefString GetName() override { return CefString(); }
  CefString GetURL() override;
  void LoadURL(const CefString& url) override;
  CefRefPtr<CefBrowser> GetBrowser() override;

  // The browser is gone: drop the link, which also ends the cycle of references between them.
  void Detach();

 private:
  CefRefPtr<CStandInBrowser> Browser();

  std::mutex m_lock;  // guards m_browser
  CefRefPtr<CStandInBrowser> m_browser;
  IMPLEMENT_REFCOUNTING(CStandInFrame);
};

class CStandInBrowser final : public CefBrowser, public CefBrowserHost {
 public:
  CStandInBrowser(CStandInRuntime& runtime, int id, CefRefPtr<CefClient> client);

  // UI thread: makes the view window and starts the first load; false when the window cannot
  // be made.
  bool Create(const CefWindowInfo& windowInfo, const std::wstring& url);

  // CefBrowser
  CefRefPtr<CefBrowserHost> GetHost() override { return this; }
  bool CanGoBack() override;
  void GoBack() override;
  bool CanGoForward() override;
  void GoForward() override;
  bool IsLoading() override;
  void Reload() override;
  void ReloadIgnoreCache() override { Reload(); }
  void StopLoad() override;
  int GetIdentifier() override { return m_id; }
  bool IsSame(CefRefPtr<CefBrowser> that) override { return that.get() == static_cast<CefBrowser*>(this); }
  bool IsPopup() override { return false; }
  CefRefPtr<CefFrame> GetMainFrame() override { return m_frame; }

  // CefBrowserHost
  CefRefPtr<CefBrowser> GetBrowser() override { return this; }
  void CloseBrowser(bool force_close) override;
  cef_window_handle_t GetWindowHandle() override;
  CefRefPtr<CefClient> GetClient() override;

  std::wstring Url();
  bool Alive();
  void Navigate(const std::wstring& url, CNavigationHistory::Kind kind);  // any thread
  void DestroyView();                                                     // UI thread

 private:
  ~CStandInBrowser() = default;
  static LRESULT CALLBACK ViewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR self);
  void LoadHistoryEntry(std::wstring (CNavigationHistory::*entry)() const, CNavigationHistory::Kind kind);
  void StartLoad(const std::wstring& url, CNavigationHistory::Kind kind);
  void FinishLoad(int loadId, const LoadResult& result);
  void AbortLoad();
  void ShowPage();
  void ShowMessage(const std::wstring& title, const std::wstring& text);
  void LayoutView();
  void FireLoadingState();
  bool OnKey(HWND control, UINT message, WPARAM wParam, LPARAM lParam, bool editable);
  void OnContextMenu(HWND control, LPARAM position, bool editable);
  void OpenLink(int index);
  void PasteIntoField();
  void OnViewDestroyed();

  CStandInRuntime& m_runtime;
  const int m_id;
  CefRefPtr<CStandInFrame> m_frame;

  std::mutex m_lock;  // what other threads read: the fields below up to the view's handles
  CefRefPtr<CefClient> m_client;
  CNavigationHistory m_history;
  bool m_loading = false;
  std::wstring m_url;  // the address shown: the pending load's, else the current entry's
  HWND m_window = nullptr;

  // UI thread only.
  HWND m_address = nullptr, m_title = nullptr, m_text = nullptr, m_links = nullptr, m_field = nullptr;
  HFONT m_font = nullptr;
  int m_loadId = 0;
  std::wstring m_pendingUrl;
  CNavigationHistory::Kind m_pendingKind = CNavigationHistory::Kind::New;
  PageText m_page;
  std::wstring m_pageUrl;
  IMPLEMENT_REFCOUNTING(CStandInBrowser);
};

}  // namespace corvane
