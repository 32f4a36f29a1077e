// OpenBoundedFile and ReadAllBounded over open(2), fstat(2) and pread(2).
#include "base/bounded_file_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace corvane {

BoundedOpen OpenBoundedFile(int dirFd, const std::string& path, long long maxBytes, UniqueFd& fd, long long& size) {
  UniqueFd opened(::openat(dirFd, path.c_str(), kBoundedOpenFlags));
  if (!opened.Valid()) return BoundedOpenFailure(errno);
  return CheckBoundedFile(std::move(opened), maxBytes, fd, size);
}

BoundedOpen BoundedOpenFailure(int error) {
  if (error == ENOENT) return BoundedOpen::Missing;
  return error == ELOOP ? BoundedOpen::NotRegularFile : BoundedOpen::Failed;
}

BoundedOpen CheckBoundedFile(UniqueFd opened, long long maxBytes, UniqueFd& fd, long long& size) {
  struct stat st {};
  if (::fstat(opened.Get(), &st) != 0) return BoundedOpen::Failed;
  if (!S_ISREG(st.st_mode)) return BoundedOpen::NotRegularFile;
  if (st.st_size > maxBytes) return BoundedOpen::TooLarge;
  size = st.st_size;
  fd = std::move(opened);
  return BoundedOpen::Ok;
}

bool ReadAllBounded(int fd, long long maxBytes, std::string& out) {
  out.clear();
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t got = ::pread(fd, buffer, sizeof(buffer), static_cast<off_t>(out.size()));
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    if (static_cast<long long>(out.size()) + got > maxBytes) return false;
    out.append(buffer, static_cast<size_t>(got));
  }
}

}  // namespace corvane
