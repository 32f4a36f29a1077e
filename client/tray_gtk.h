// The tray on Linux: a StatusNotifier icon (libayatana-appindicator3) with the tray menu's
// entries — settings, help, about, exit — and one that shows the main window, since
// StatusNotifier hosts give no left click. With no tray host the icon is simply not shown;
// the main window is never hidden, so nothing is lost.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace corvane {

class CTrayIcon {
 public:
  CTrayIcon() = default;
  ~CTrayIcon();
  CTrayIcon(const CTrayIcon&) = delete;
  CTrayIcon& operator=(const CTrayIcon&) = delete;

  // `iconPath`: the product icon; `showWindow` and `exit` carry out those entries (the others
  // are posted through the main-window channel).
  void Create(const std::string& iconPath, std::function<void()> showWindow, std::function<void()> exit);
  // The icon's menu (null before Create), whose items the host shows.
  GtkWidget* GetMenu() const { return m_menu; }

 private:
  GObject* m_indicator = nullptr;
  GtkWidget* m_menu = nullptr;
  std::function<void()> m_showWindow;
  std::function<void()> m_exit;
};

}  // namespace corvane
