// The browser policy of CorvaneCefClient.
#include "client/browser/corvane_cef_client.h"

#include "base/ansi.h"
#include "base/service_host.h"
#include "client/browser/browser_keys.h"
#include "client/browser/error_page_url.h"

namespace corvane {

bool IsPasteIntoEditableField(const CefKeyEvent& event) {
  // The browser's key table: Ctrl+V or Shift+Insert and no other key held (the lock states are
  // states, not keys; Ctrl+Shift+V is the browser's paste as plain text), in an editable field.
  return BrowserKeyOf(event.windows_key_code, event.modifiers, event.focus_on_editable_field, KeyPlace::kPage) ==
         BrowserKey::kPaste;
}

CorvaneCefClient::CorvaneCefClient(CorvaneClientPlatform platform)
    : m_platform(std::move(platform)), m_homeUrl(WideToAnsi(ServiceUrl(L"/"))) {}

CefRefPtr<CefBrowser> CorvaneCefClient::GetBrowser() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_browser;
}

bool CorvaneCefClient::OnBeforePopup(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, const CefString&, const CefString&,
                                     cef_window_open_disposition_t, bool, const CefPopupFeatures&, CefWindowInfo&,
                                     CefRefPtr<CefClient>&, CefBrowserSettings&, bool*) {
  return true;  // no pop-up windows, and the target is not opened anywhere else either
}

void CorvaneCefClient::OnAfterCreated(CefRefPtr<CefBrowser> browser) {
  if (!GetBrowser()) {
    CefRefPtr<CefBrowser> previous;
    {
      std::lock_guard<std::mutex> lock(m_lock);
      previous = m_browser;
      m_browser = browser;
    }
    // `previous` is released here, outside the lock.
  }
  if (m_platform.postRelayout) m_platform.postRelayout();
}

bool CorvaneCefClient::DoClose(CefRefPtr<CefBrowser>) {
  if (m_platform.pageLetGo) m_platform.pageLetGo();
  return static_cast<bool>(GetBrowser());
}

void CorvaneCefClient::OnBeforeClose(CefRefPtr<CefBrowser>) {
  CefRefPtr<CefBrowser> released;
  {
    std::lock_guard<std::mutex> lock(m_lock);
    released = m_browser;
    m_browser = nullptr;
  }
}

bool CorvaneCefClient::OnPreKeyEvent(CefRefPtr<CefBrowser>, const CefKeyEvent& event, CefEventHandle, bool*) {
  if (IsPasteIntoEditableField(event) && m_platform.convertClipboardForPaste) m_platform.convertClipboardForPaste();
  return false;  // the browser handles the key and pastes what is now on the clipboard
}

void CorvaneCefClient::OnBeforeContextMenu(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame>, CefRefPtr<CefContextMenuParams>,
                                           CefRefPtr<CefMenuModel> model) {
  if (model) model->Clear();
}

void CorvaneCefClient::OnLoadingStateChange(CefRefPtr<CefBrowser>, bool, bool canGoBack, bool canGoForward) {
  if (m_platform.postNavState) m_platform.postNavState(canGoBack, canGoForward);
}

void CorvaneCefClient::OnLoadError(CefRefPtr<CefBrowser>, CefRefPtr<CefFrame> frame, cef_errorcode_t errorCode,
                                   const CefString&, const CefString& failedUrl) {
  if (errorCode == ERR_ABORTED || !frame || !m_platform.errorPageUrl) return;
  const std::wstring errorPage = m_platform.errorPageUrl();
  // The error page failing itself is left as it is: loading it again would fail again, forever.
  if (IsErrorPageUrl(failedUrl.ToWString(), errorPage)) return;
  frame->LoadURL(errorPage);
}

}  // namespace corvane
