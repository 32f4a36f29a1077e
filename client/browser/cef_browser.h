// The runtime's browser, its host and frames, and the context-menu model and parameters: the
// objects the runtime hands the program.
#pragma once

#include <cstdint>

#include "client/browser/cef_base.h"
#include "client/browser/cef_string.h"
#include "client/browser/cef_types.h"

class CefBrowser;
class CefClient;

class CefFrame : public virtual CefBaseRefCounted {
 public:
  virtual bool IsValid() = 0;
  virtual bool IsMain() = 0;
  virtual int64_t GetIdentifier() = 0;
  virtual CefString GetName() = 0;
  virtual CefString GetURL() = 0;
  // Starts a load of `url` in this frame; callable from any thread.
  virtual void LoadURL(const CefString& url) = 0;
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
};

class CefBrowserHost : public virtual CefBaseRefCounted {
 public:
  virtual CefRefPtr<CefBrowser> GetBrowser() = 0;
  // Asks the life-span handler's DoClose first unless `force_close`; callable from any thread.
  virtual void CloseBrowser(bool force_close) = 0;
  // The browser's own window; null for a windowless browser.
  virtual cef_window_handle_t GetWindowHandle() = 0;
  virtual CefRefPtr<CefClient> GetClient() = 0;
};

// The browser's operations are callable from any thread; they take effect on the runtime's UI
// thread.
class CefBrowser : public virtual CefBaseRefCounted {
 public:
  virtual CefRefPtr<CefBrowserHost> GetHost() = 0;
  virtual bool CanGoBack() = 0;
  virtual void GoBack() = 0;
  virtual bool CanGoForward() = 0;
  virtual void GoForward() = 0;
  virtual bool IsLoading() = 0;
  virtual void Reload() = 0;
  virtual void ReloadIgnoreCache() = 0;
  virtual void StopLoad() = 0;
  virtual int GetIdentifier() = 0;
  virtual bool IsSame(CefRefPtr<CefBrowser> that) = 0;
  virtual bool IsPopup() = 0;
  virtual CefRefPtr<CefFrame> GetMainFrame() = 0;
};

// The items of a context menu, which the handler may change before the menu is shown.
class CefMenuModel : public virtual CefBaseRefCounted {
 public:
  virtual bool Clear() = 0;
  virtual size_t GetCount() = 0;
  virtual bool AddItem(int command_id, const CefString& label) = 0;
  virtual bool AddSeparator() = 0;
  virtual int GetCommandIdAt(size_t index) = 0;
  virtual CefString GetLabelAt(size_t index) = 0;
  virtual bool Remove(int command_id) = 0;
};

enum cef_context_menu_type_flags_t : uint32_t {
  CM_TYPEFLAG_NONE = 0,
  CM_TYPEFLAG_PAGE = 1 << 0,
  CM_TYPEFLAG_FRAME = 1 << 1,
  CM_TYPEFLAG_LINK = 1 << 2,
  CM_TYPEFLAG_MEDIA = 1 << 3,
  CM_TYPEFLAG_SELECTION = 1 << 4,
  CM_TYPEFLAG_EDITABLE = 1 << 5,
};

// Menu command ids the runtime knows.
enum cef_menu_id_t {
  MENU_ID_BACK = 100,
  MENU_ID_FORWARD = 101,
  MENU_ID_RELOAD = 102,
  MENU_ID_STOPLOAD = 104,
  MENU_ID_UNDO = 110,
  MENU_ID_CUT = 112,
  MENU_ID_COPY = 113,
  MENU_ID_PASTE = 114,
  MENU_ID_SELECT_ALL = 117,
  MENU_ID_SEPARATOR = -1,
};

class CefContextMenuParams : public virtual CefBaseRefCounted {
 public:
  virtual int GetXCoord() = 0;
  virtual int GetYCoord() = 0;
  virtual uint32_t GetTypeFlags() = 0;
  virtual bool IsEditable() = 0;
  virtual CefString GetPageUrl() = 0;
};

// Interfaces the program receives or passes but never uses.
class CefRequestContext : public virtual CefBaseRefCounted {};
class CefProcessMessage : public virtual CefBaseRefCounted {};
class CefSchemeRegistrar : public virtual CefBaseRefCounted {};
class CefListValue : public virtual CefBaseRefCounted {};
class CefDictionaryValue : public virtual CefBaseRefCounted {};

enum cef_process_id_t { PID_BROWSER = 0, PID_RENDERER };
