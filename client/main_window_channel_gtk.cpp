// Posting onto the GTK main loop (PostToMainLoop): always deferred, from any thread, like a
// posted message.
#include "client/main_window_channel_gtk.h"

#include <atomic>
#include <memory>
#include <mutex>

#include "base/main_loop_gtk.h"

namespace corvane {
namespace {

std::mutex g_handlerLock;
std::function<void(const MainNotice&)> g_handler;

class CMainLoopChannel : public IMainWindowChannel {
 public:
  void Post(const MainNotice& notice) override { PostToMainLoop([notice] { Deliver(notice); }); }

 private:
  static void Deliver(const MainNotice& notice) {
    std::function<void(const MainNotice&)> handler;
    {
      std::lock_guard<std::mutex> lock(g_handlerLock);
      handler = g_handler;
    }
    if (handler) handler(notice);
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
