// Opening a file an attacker may have placed: no final symbolic link followed, a regular file
// only, its size bounded, and then only the descriptor is used.
#pragma once

#include <string>

#include "base/unique_fd_posix.h"

namespace corvane {

enum class BoundedOpen { Ok, Missing, NotRegularFile, TooLarge, Failed };

// Opens `path` (at `dirFd` when it is relative and dirFd is not AT_FDCWD) with
// O_RDONLY|O_NOFOLLOW|O_CLOEXEC|O_NONBLOCK; a final link is NotRegularFile.
BoundedOpen OpenBoundedFile(int dirFd, const std::string& path, long long maxBytes, UniqueFd& fd, long long& size);

// Reads the whole file of an open descriptor from offset 0, at most maxBytes; false on a read error
// or when it holds more.
bool ReadAllBounded(int fd, long long maxBytes, std::string& out);

}  // namespace corvane
