// paste_replay on POSIX: recorded samples only, until a desktop clipboard session exists here.
#include "tools/paste_replay/replay_platform.h"

namespace corvane {

bool ConvertLiveClipboard(std::string&, std::string& error, int& exitCode) {
  error = "--live needs the Windows build; convert a recorded entry file instead";
  exitCode = 1;
  return false;
}

void UseBinaryStandardOutput() {}

}  // namespace corvane
