// Whether the package's own apt source brings this machine its updates. Where it does, the Linux
// client leaves installing to apt: its update prompt says so in one line and runs no installation
// of its own (its check still tells the service the installed version). The file is the one the
// package's postinst writes, read with apt's own deb822 parser so that "Enabled:" means here
// exactly what it means to apt.
#pragma once

#include <string>

namespace corvane {

// Where the package's postinst writes its source; fixed, as apt reads it from there.
constexpr char kAptSourcePath[] = "/etc/apt/sources.list.d/corvane-client.sources";

// True when `path` is a readable deb822 file with a stanza apt uses: one without "Enabled:", or
// whose "Enabled:" apt reads as true. A missing or unreadable file, or one whose every stanza is
// disabled, is false.
bool AptSourceEnabled(const std::string& path);

// The update prompt's line while the apt source brings the updates (UTF-8).
const char* SystemUpdatesLine();

}  // namespace corvane
