// The StatusNotifier icon and its menu.
#include "client/tray_gtk.h"

#include <libayatana-appindicator/app-indicator.h>

#include <string>

#include "client/main_window_channel.h"

namespace corvane {
namespace {

void AddItem(GtkWidget* menu, const char* text, GCallback callback, gpointer data) {
  GtkWidget* item = gtk_menu_item_new_with_label(text);
  g_signal_connect(item, "activate", callback, data);
  gtk_menu_shell_append(GTK_MENU_SHELL(menu), item);
}

template <MainCommand C>
void PostCommand(GtkMenuItem*, gpointer) {
  PostToMainWindow(C);
}

}  // namespace

CTrayIcon::~CTrayIcon() {
  if (m_indicator) g_object_unref(m_indicator);
  if (m_menu) g_object_unref(m_menu);
}

void CTrayIcon::Create(const std::string& iconPath, std::function<void()> showWindow, std::function<void()> exit) {
  if (m_indicator) return;
  m_showWindow = std::move(showWindow);
  m_exit = std::move(exit);
  m_menu = gtk_menu_new();
  g_object_ref_sink(m_menu);
  AddItem(m_menu, "显示主窗口", G_CALLBACK(+[](GtkMenuItem*, gpointer self) {
            if (auto& show = static_cast<CTrayIcon*>(self)->m_showWindow) show();
          }), this);
  AddItem(m_menu, "设置", G_CALLBACK(&PostCommand<MainCommand::ShowSettings>), nullptr);
  AddItem(m_menu, "帮助", G_CALLBACK(&PostCommand<MainCommand::ShowHelp>), nullptr);
  AddItem(m_menu, "关于Drovessa", G_CALLBACK(&PostCommand<MainCommand::ShowAbout>), nullptr);
  AddItem(m_menu, "退出", G_CALLBACK(+[](GtkMenuItem*, gpointer self) {
            if (auto& exit = static_cast<CTrayIcon*>(self)->m_exit) exit();
          }), this);
  gtk_widget_show_all(m_menu);
  AppIndicator* indicator =
      app_indicator_new("corvane-client", iconPath.c_str(), APP_INDICATOR_CATEGORY_APPLICATION_STATUS);
  app_indicator_set_title(indicator, "Drovessa老师端");
  app_indicator_set_menu(indicator, GTK_MENU(m_menu));
  app_indicator_set_status(indicator, APP_INDICATOR_STATUS_ACTIVE);
  m_indicator = G_OBJECT(indicator);
}

}  // namespace corvane
