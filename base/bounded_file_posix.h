// Opening a file an attacker may have placed: no final symbolic link followed, a regular file
// only, its size bounded, and then only the descriptor is used.
#pragma once

#include <fcntl.h>

#include <string>

#include "base/unique_fd_posix.h"

namespace corvane {

enum class BoundedOpen { Ok, Missing, NotRegularFile, TooLarge, Failed };

// How such a file is opened: no final link followed, a FIFO or device never blocks the open, a
// terminal never becomes ours.
constexpr int kBoundedOpenFlags = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

// Opens `path` (at `dirFd` when it is relative and dirFd is not AT_FDCWD) with kBoundedOpenFlags
// and checks it as CheckBoundedFile does; a final link is NotRegularFile.
BoundedOpen OpenBoundedFile(int dirFd, const std::string& path, long long maxBytes, UniqueFd& fd, long long& size);

// What a failed open's errno means here.
BoundedOpen BoundedOpenFailure(int error);

// Takes `opened` (opened with kBoundedOpenFlags) into `fd`, with its size, when it is a regular
// file of at most maxBytes.
BoundedOpen CheckBoundedFile(UniqueFd opened, long long maxBytes, UniqueFd& fd, long long& size);

// Reads the whole file of an open descriptor from offset 0, at most maxBytes; false on a read error
// or when it holds more.
bool ReadAllBounded(int fd, long long maxBytes, std::string& out);

}  // namespace corvane
