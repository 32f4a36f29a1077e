// A skinned strip the browser shows above its page, right under the toolbar (a download, a page
// that does not answer): a child of the view's container packed before the view, so it moves the
// page down instead of covering it, and hidden when it has nothing to say.
#pragma once

#include <gtk/gtk.h>

#include <string>

#include "skin/window_impl_base_gtk.h"

namespace corvane {

class CBrowserStrip : public WindowImplBase {
 public:
  explicit CBrowserStrip(const wchar_t* layout) : m_layout(layout) {}
  CDuiString GetSkinFile() override { return m_layout; }

  // Builds the strip in `box` (the view's container), above everything in it, hidden.
  void Place(GtkWidget* box, const wchar_t* name);
  void Show(bool shown);
  bool IsShown() const { return m_hWnd && gtk_widget_get_visible(m_hWnd); }
  // A control of the layout, or null.
  CControlUI* Find(const wchar_t* name) { return m_PaintManager.FindControl(name); }
  // The text of control `name`, from UTF-8.
  void SetText(const wchar_t* name, const std::string& text);

 private:
  const wchar_t* const m_layout;
};

}  // namespace corvane
