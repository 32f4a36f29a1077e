// POSIX: names go to the file system as their bytes; the active code page is UTF-8 here.
// Pasted HTML comes from any program and names any path: only regular files are read. A FIFO
// would hold open() (and the paste) until someone writes to it, and a device or /proc file is
// no picture; O_NONBLOCK keeps the open itself from waiting, O_NOCTTY a terminal from becoming
// ours.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "client/paste/local_file.h"

namespace corvane {

std::FILE* OpenLocalFileForReading(const LocalFileName& name) {
  const int fd = ::open(name.text.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  const int flags = ::fcntl(fd, F_GETFL);
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "rb");
  if (file == nullptr) ::close(fd);
  return file;
}

}  // namespace corvane
