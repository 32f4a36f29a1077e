// The root helper's (corvane-update-helper) exit codes, shared with the client that starts it
// through pkexec and tells the user what happened.
#pragma once

#include <string>

#include "client/update/linux_update_verify.h"

namespace corvane {

enum class HelperExit : int {
  Installed = 0,
  Usage = 1,             // not exactly one absolute path, or PKEXEC_UID names no user
  NotRoot = 2,           // not started as root
  UnsafeFolder = 3,      // the root-only folder or lock file is a link, not root's, or open to others
  CopyFailed = 4,        // the given file or its .sig: missing, a link, not a regular file, too large,
                         // not the caller's to read; or the copy could not be written
  InstalledUnknown = 5,  // dpkg-query could not name the installed version
  AptFailed = 6,         // apt-get install ran and failed
  Busy = 7,              // another run held the lock for all of the wait
  // 10 + PackageRefusal: the copy was refused.
  RefusedBase = 10,
};

inline int HelperExitForRefusal(PackageRefusal refusal) {
  return static_cast<int>(HelperExit::RefusedBase) + static_cast<int>(refusal);
}

// One line in Chinese (UTF-8) for the user about the helper's exit code (pkexec's own 126, the
// user dismissed the password dialog, and 127, not authorized, included).
std::string DescribeHelperExit(int code);

}  // namespace corvane
