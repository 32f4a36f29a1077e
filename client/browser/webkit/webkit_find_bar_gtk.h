// The find bar under the page (Ctrl+F): a GTK text entry (typing, input methods and the
// clipboard are GTK's; a skinned control has none of them) beside a skinned strip of the skin's
// "find_bar.xml" with the match count or "未找到", previous, next and close. Typing searches
// as the teacher types (WebKitFindController: any case, wrapping round); Enter, Shift+Enter, F3
// and the buttons move through the matches; Esc and close end the search and give the page
// the keyboard back. Keys typed in the entry go through the browser's key table first.
#pragma once

#include <webkit2/webkit2.h>

#include <functional>
#include <memory>
#include <string>

#include "client/browser/browser_keys.h"

namespace corvane {

class CFindBarStrip;

class CWebKitFindBar {
 public:
  // Made hidden, packed under `view` in its parent box. `consume` is the browser's key
  // mechanism: a command for a key typed in the entry; true when it took the key.
  CWebKitFindBar(WebKitWebView* view, std::function<bool(BrowserKey)> consume);
  ~CWebKitFindBar();
  CWebKitFindBar(const CWebKitFindBar&) = delete;
  CWebKitFindBar& operator=(const CWebKitFindBar&) = delete;

  // kFind opens (or selects the entry's text again), kFindNext/kFindPrevious move, kCloseFind
  // closes.
  void Do(BrowserKey key);
  bool IsOpen() const;
  // What the strip shows of the search: "共 N 处", "未找到" or "".
  std::wstring StateText() const;

 private:
  void Search();
  void ShowState(const std::wstring& text);
  static void OnChanged(GtkEditable* entry, CWebKitFindBar* self);
  static gboolean OnEntryKey(GtkWidget* entry, GdkEventKey* event, CWebKitFindBar* self);
  static void OnCounted(WebKitFindController* finder, guint count, CWebKitFindBar* self);
  static void OnNotFound(WebKitFindController* finder, CWebKitFindBar* self);

  WebKitWebView* m_view;
  WebKitFindController* m_finder;
  std::function<bool(BrowserKey)> m_consume;
  GtkWidget* m_row = nullptr;
  GtkWidget* m_entry = nullptr;
  std::unique_ptr<CFindBarStrip> m_strip;
};

}  // namespace corvane
