// Fuzzes the Debian package reader that judges a downloaded Linux update (libarchive over the
// outer ar archive and the control tarball, every size bounded). Checks, besides the
// sanitizers: whatever it accepts names a package and a version Debian's syntax allows, and the
// version compares equal to itself.
#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "client/update/deb_package.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // The reader takes a descriptor of a regular file, as the client and the helper hand it one.
  const int fd = memfd_create("deb", MFD_CLOEXEC);
  if (fd < 0) std::abort();
  for (size_t written = 0; written < size;) {
    const ssize_t w = write(fd, data + written, size - written);
    if (w <= 0) std::abort();
    written += static_cast<size_t>(w);
  }
  corvane::DebianPackageFields fields;
  if (corvane::ReadDebianPackageFields(fd, fields) == corvane::DebianPackageRead::Ok) {
    if (fields.package.empty() || !corvane::IsDebianVersion(fields.version)) std::abort();
    if (corvane::CompareDebianVersions(fields.version, fields.version) != 0) std::abort();
  }
  close(fd);
  return 0;
}
