// The one decision on a downloaded Linux update, made by the client before it offers to install
// and again by the root helper on its own copy (the user's copy may change in between): is the
// file signed by the publisher, a Debian package of this program, newer than what is installed.
#pragma once

#include <string>

#include "http/http_options.h"

namespace corvane {

// The package every update must be.
constexpr char kLinuxPackageName[] = "corvane-client";

// The largest update file read (and the root helper's largest copy): the most the client's
// download keeps of a body, so no larger file can have come from it.
constexpr long long kMaxUpdatePackageBytes = kDefaultMaxBodyBytes;

enum class PackageRefusal { None, NoSignature, BadSignature, NotDebianPackage, OtherPackage, NotNewer, Unreadable };

// Checks in this order: the signature file is present (a regular file, at most
// kMaxSignatureBytes), the signature of the whole file verifies under the built-in key, the file
// is a Debian package, its Package is kLinuxPackageName, its Version is newer than
// `installedVersion`. The signature is checked over the bytes of one open descriptor and the
// fields are read from the same descriptor, so a file swapped in between cannot pass. Both files
// are opened without following a final symbolic link; a package that is not a regular file or is
// larger than kMaxUpdatePackageBytes is Unreadable.
PackageRefusal VerifyUpdatePackage(const std::string& debPath, const std::string& sigPath,
                                   const std::string& installedVersion);

// The same checks, from the signature's verification on, on a package already open (read from
// offset 0, as the root helper reads the copy it has just written through that descriptor) and a
// signature already read.
PackageRefusal VerifyOpenUpdatePackage(int debFd, const std::string& signature,
                                       const std::string& installedVersion);

// One line in Chinese (UTF-8) saying why the update cannot be installed, for the prompt; empty
// for None.
std::string DescribeRefusal(PackageRefusal refusal);

}  // namespace corvane
