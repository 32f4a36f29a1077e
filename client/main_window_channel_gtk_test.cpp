// The Linux channel: notices posted from the main thread and from another thread arrive on the
// main loop, later (never inside Post), in order, with the navigation flags.
#include "client/main_window_channel_gtk.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "base/main_loop_gtk.h"

namespace corvane {
namespace {

TEST(MainWindowChannelGtk, NoticesArriveOnTheMainLoopInOrderFromAnyThread) {
  std::vector<MainNotice> seen;
  std::vector<bool> onMainThread;
  const GThread* mainThread = g_thread_self();
  SetMainWindowHandler([&](const MainNotice& n) {
    seen.push_back(n);
    onMainThread.push_back(g_thread_self() == mainThread);
  });
  PostToMainWindow(MainCommand::ShowSettings);
  EXPECT_TRUE(seen.empty()) << "posted, not sent";
  std::thread worker([] {
    PostNavState(true, false);
    PostToMainWindow(MainCommand::Relayout);
  });
  worker.join();
  RunMainLoopUntil([&] { return seen.size() >= 3; }, 10000);
  ASSERT_EQ(seen.size(), 3u);
  EXPECT_EQ(seen[0].command, MainCommand::ShowSettings);
  EXPECT_EQ(seen[1].command, MainCommand::NavState);
  EXPECT_TRUE(seen[1].canGoBack);
  EXPECT_FALSE(seen[1].canGoForward);
  EXPECT_EQ(seen[2].command, MainCommand::Relayout);
  EXPECT_EQ(onMainThread, (std::vector<bool>{true, true, true}));

  SetMainWindowHandler(nullptr);
  PostToMainWindow(MainCommand::ExitApp);
  while (g_main_context_iteration(nullptr, FALSE)) {
  }
  EXPECT_EQ(seen.size(), 3u) << "no handler: dropped";
}

}  // namespace
}  // namespace corvane
