// CBrowserStrip: placing a skinned strip above the page and showing it.
#include "client/browser/webkit/webkit_strip_gtk.h"

#include "base/utf8.h"

namespace corvane {
namespace {
constexpr int kStripHeight = 34;  // logical pixels, as the layouts are drawn
}  // namespace

void CBrowserStrip::Place(GtkWidget* box, const wchar_t* name) {
  if (m_hWnd || !GTK_IS_BOX(box)) return;
  // Width 1 requested: the box gives it the page's width, whatever the window's.
  Create(box, name, UI_WS_CHILD, 0, 0, 0, 1, kStripHeight);
  if (!m_hWnd) return;
  gtk_box_set_child_packing(GTK_BOX(box), m_hWnd, FALSE, FALSE, 0, GTK_PACK_START);
  gtk_box_reorder_child(GTK_BOX(box), m_hWnd, 0);
  gtk_widget_set_no_show_all(m_hWnd, TRUE);  // the main window shows its browser box whole
  gtk_widget_hide(m_hWnd);
}

void CBrowserStrip::Show(bool shown) {
  if (!m_hWnd) return;
  if (shown) {
    gtk_widget_show(m_hWnd);
  } else {
    gtk_widget_hide(m_hWnd);
  }
}

void CBrowserStrip::SetText(const wchar_t* name, const std::string& text) {
  if (CControlUI* control = Find(name)) control->SetText(Utf8ToWide(text));
}

}  // namespace corvane
