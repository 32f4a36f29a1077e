// One client per user session on Linux. Where a session bus exists the client is a
// GtkApplication: a second start finds the first registered and activates it (which brings its
// window to the front). Without a bus, a lock file in $XDG_RUNTIME_DIR decides and a Unix socket
// beside it carries the request to come to the front.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>

namespace corvane {

class CSingleInstance {
 public:
  CSingleInstance() = default;
  ~CSingleInstance();
  CSingleInstance(const CSingleInstance&) = delete;
  CSingleInstance& operator=(const CSingleInstance&) = delete;

  // True: this process is the one instance, and `onRaise` runs on the main loop whenever a later
  // start asks for the window. False: another instance runs and has been asked to come forward.
  bool Acquire(std::function<void()> onRaise);
  // The session bus was reached (so a tray host may listen there).
  bool OnSessionBus() const { return m_onBus; }

 private:
  bool AcquireOnBus();
  bool AcquireLockFile();
  static void OnActivate(GApplication*, gpointer self);
  static gboolean OnIncoming(GSocketService*, GSocketConnection*, GObject*, gpointer self);

  std::function<void()> m_onRaise;
  GtkApplication* m_app = nullptr;
  bool m_onBus = false;
  int m_lockFd = -1;
  GSocketService* m_service = nullptr;
  std::string m_socketPath;
};

}  // namespace corvane
