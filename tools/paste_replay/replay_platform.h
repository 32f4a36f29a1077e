// What paste_replay does differently per platform: the live clipboard and binary output.
#pragma once

#include <string>

namespace corvane {

// Runs the client's conversion on the system clipboard and gives the "HTML Format" entry it
// leaves there; false with a one-line reason and an exit code when that is not possible.
bool ConvertLiveClipboard(std::string& entry, std::string& error, int& exitCode);

// Standard output carries the entry's bytes unchanged (no CR LF translation).
void UseBinaryStandardOutput();

}  // namespace corvane
