// What a downloaded Linux update says it is: the Package and Version fields of a Debian package
// (read with libarchive from the outer ar archive and its control.tar member), and Debian's
// version order (libapt-pkg's). The bytes are hostile until their signature has verified and are
// read with every size bounded even after.
#pragma once

#include <string>

namespace corvane {

struct DebianPackageFields {
  std::string package;
  std::string version;
};

enum class DebianPackageRead {
  Ok,
  NotDebianPackage,  // not an ar archive, no leading "debian-binary" of format 2.x, no control
                     // member or control file, a field missing or malformed, a size over its bound
  Unreadable,        // the descriptor could not be read
};

// Reads the package at the start of `fd` (a regular file; read from offset 0, and left at an
// unspecified offset).
DebianPackageRead ReadDebianPackageFields(int fd, DebianPackageFields& out);

// True for a version Debian's syntax allows: [epoch:]upstream[-revision], the upstream part
// starting with a digit, only the characters policy permits, at most 256 of them.
bool IsDebianVersion(const std::string& version);

// <0, 0 or >0 as `a` is older than, the same as or newer than `b` by Debian's rules (epochs,
// '~' before everything, revisions): libapt-pkg's debVS.CmpVersion.
int CompareDebianVersions(const std::string& a, const std::string& b);

}  // namespace corvane
