// CToolBarMenu (GTK): badge and placement at creation, click routing, closing and self-deletion.
#include "client/ui/tool_bar_menu_gtk.h"

#include "client/main_window_channel_gtk.h"
#include "client/ui/tool_bar_menu_rules.h"

namespace corvane {

bool CToolBarMenu::HandleEvent(GdkEvent* event) {
  if (event->type == GDK_FOCUS_CHANGE && !event->focus_change.in) {
    Close(1);
    return true;
  }
  return WindowImplBase::HandleEvent(event);
}

void CToolBarMenu::OnFinalMessage(GtkWidget* window) {
  WindowImplBase::OnFinalMessage(window);
  delete this;
}

void CToolBarMenu::InitWindow() {
  if (m_bUpdatePending) ShowUpdateBadge(m_PaintManager);
  const UiSize size = m_PaintManager.GetClientSize();
  if (g_mainWindow) {
    int x = 0, y = 0, w = 0, h = 0;
    gtk_window_get_position(GTK_WINDOW(g_mainWindow), &x, &y);
    gtk_window_get_size(GTK_WINDOW(g_mainWindow), &w, &h);
    const UiPoint at = MenuPlacement(UiRect{x, y, x + w, y + h}, size.cx);
    gtk_window_move(GTK_WINDOW(m_hWnd), at.x, at.y);
  }
  // Its layout has no title to speak: a reader names it as the button that opened it.
  atk_object_set_name(gtk_widget_get_accessible(m_hWnd), "\u83DC\u5355");  // 菜单
  gtk_window_present(GTK_WINDOW(m_hWnd));
}

void CToolBarMenu::OnClick(TNotifyUI& msg) {
  PostRoutedCommand(msg.pSender->GetName(), kMenuRoutes);
  Close(1);  // after any click, on a named button or not
}

}  // namespace corvane
