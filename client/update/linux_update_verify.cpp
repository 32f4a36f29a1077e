// VerifyUpdatePackage: one descriptor of the package, its signature hashed from it and its fields
// read from it, in the order the header states.
#include "client/update/linux_update_verify.h"

#include <fcntl.h>
#include <unistd.h>

#include <vector>

#include "base/bounded_file_posix.h"
#include "client/update/deb_package.h"
#include "client/update/signature_check.h"
#include "client/update/update_signature.h"

namespace corvane {
namespace {

// The whole file under the built-in key, hashed as it is read (at most kMaxUpdatePackageBytes,
// even when the file grows while it is read).
bool SignatureVerifies(int fd, const std::string& signature) {
  CSignatureCheck check;
  std::vector<char> buffer(256 * 1024);
  long long done = 0;
  for (;;) {
    const ssize_t got = ::pread(fd, buffer.data(), buffer.size(), static_cast<off_t>(done));
    if (got < 0) return false;
    if (got == 0) break;
    done += got;
    if (done > kMaxUpdatePackageBytes) return false;
    check.Update(buffer.data(), static_cast<size_t>(got));
  }
  return check.Verify(signature);
}

}  // namespace

PackageRefusal VerifyUpdatePackage(const std::string& debPath, const std::string& sigPath,
                                   const std::string& installedVersion) {
  UniqueFd sigFd;
  long long sigSize = 0;
  switch (OpenBoundedFile(AT_FDCWD, sigPath, kMaxSignatureBytes, sigFd, sigSize)) {
    case BoundedOpen::Ok: break;
    case BoundedOpen::TooLarge: return PackageRefusal::BadSignature;  // no signature is that long
    default: return PackageRefusal::NoSignature;
  }
  std::string signature;
  if (!ReadAllBounded(sigFd.Get(), kMaxSignatureBytes, signature)) return PackageRefusal::NoSignature;

  UniqueFd debFd;
  long long debSize = 0;
  if (OpenBoundedFile(AT_FDCWD, debPath, kMaxUpdatePackageBytes, debFd, debSize) != BoundedOpen::Ok) {
    return PackageRefusal::Unreadable;
  }
  return VerifyOpenUpdatePackage(debFd.Get(), signature, installedVersion);
}

PackageRefusal VerifyOpenUpdatePackage(int debFd, const std::string& signature,
                                       const std::string& installedVersion) {
  if (!SignatureVerifies(debFd, signature)) return PackageRefusal::BadSignature;

  DebianPackageFields fields;
  switch (ReadDebianPackageFields(debFd, fields)) {
    case DebianPackageRead::Ok: break;
    case DebianPackageRead::Unreadable: return PackageRefusal::Unreadable;
    case DebianPackageRead::NotDebianPackage: return PackageRefusal::NotDebianPackage;
  }
  if (fields.package != kLinuxPackageName) return PackageRefusal::OtherPackage;
  if (CompareDebianVersions(fields.version, installedVersion) <= 0) return PackageRefusal::NotNewer;
  return PackageRefusal::None;
}

std::string DescribeRefusal(PackageRefusal refusal) {
  switch (refusal) {
    case PackageRefusal::None: return std::string();
    case PackageRefusal::NoSignature: return "无法安装更新：更新文件没有签名。";
    case PackageRefusal::BadSignature: return "无法安装更新：更新文件的签名无效，文件可能已被篡改。";
    case PackageRefusal::NotDebianPackage: return "无法安装更新：下载的文件不是 Debian 软件包。";
    case PackageRefusal::OtherPackage: return "无法安装更新：下载的软件包不是 Drovessa 老师端。";
    case PackageRefusal::NotNewer: return "无法安装更新：下载的版本不比已安装的版本新。";
    case PackageRefusal::Unreadable: return "无法安装更新：无法读取下载的文件。";
  }
  return "无法安装更新。";
}

}  // namespace corvane
