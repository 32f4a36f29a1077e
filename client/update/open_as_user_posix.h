// Opening a path with a user's rights from a root process: a child that has become the user
// opens it and hands the descriptor back, so root's rights never reach a path the user names.
// (setfsuid would keep root's supplementary groups.)
#pragma once

#include <sys/types.h>

#include <string>

#include "base/unique_fd_posix.h"

namespace corvane {

struct UserIdentity {
  uid_t uid;
  gid_t gid;  // the user's primary group, the only group the open has
};

// Opens `path` with `flags` in a child that keeps no descriptor but the socket it answers on and
// has taken `user`'s uid and primary group (no other group, and no way back) before the open.
// Invalid, with `error` the open's errno (EIO when the child ended without answering), otherwise.
// It waits for the child: one the user stops holds up only the caller who named the path.
UniqueFd OpenAsUser(const UserIdentity& user, const std::string& path, int flags, int& error);

}  // namespace corvane
