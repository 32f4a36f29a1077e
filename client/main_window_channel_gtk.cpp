// Posting onto the GTK main loop with g_idle_add: always deferred, from any thread, like a
// posted message.
#include "client/main_window_channel_gtk.h"

#include <glib.h>

#include <atomic>
#include <memory>
#include <mutex>

namespace corvane {
namespace {

std::mutex g_handlerLock;
std::function<void(const MainNotice&)> g_handler;

class CMainLoopChannel : public IMainWindowChannel {
 public:
  void Post(const MainNotice& notice) override {
    g_idle_add_full(G_PRIORITY_DEFAULT, &Deliver, new MainNotice(notice),
                    [](gpointer data) { delete static_cast<MainNotice*>(data); });
  }

 private:
  static gboolean Deliver(gpointer data) {
    std::function<void(const MainNotice&)> handler;
    {
      std::lock_guard<std::mutex> lock(g_handlerLock);
      handler = g_handler;
    }
    if (handler) handler(*static_cast<MainNotice*>(data));
    return G_SOURCE_REMOVE;
  }
};

CMainLoopChannel g_mainLoop;
std::atomic<IMainWindowChannel*> g_channel{nullptr};

}  // namespace

GtkWidget* g_mainWindow = nullptr;

void SetMainWindowHandler(std::function<void(const MainNotice&)> handler) {
  std::lock_guard<std::mutex> lock(g_handlerLock);
  g_handler = std::move(handler);
}

IMainWindowChannel& MainWindowChannel() {
  IMainWindowChannel* c = g_channel.load();
  return c ? *c : g_mainLoop;
}

void SetMainWindowChannel(IMainWindowChannel* channel) { g_channel.store(channel); }

}  // namespace corvane
