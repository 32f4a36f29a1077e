// paste_replay on POSIX: recorded samples only, (the Linux tree's GTK clipboard is replay_platform_gtk.cpp).
#include "tools/paste_replay/replay_platform.h"

namespace corvane {

bool ConvertLiveClipboard(std::string&, std::string& error, int& exitCode) {
  error = "--live needs the Windows build or the Linux tree; convert a recorded entry file instead";
  exitCode = 1;
  return false;
}

void UseBinaryStandardOutput() {}

}  // namespace corvane
