// The Linux update's verification on real packages made by dpkg-deb at build time and signed by
// openssl: what passes, each refusal in its order, and Debian's version order.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "base/unique_fd_posix.h"
#include "client/update/deb_package.h"
#include "client/update/linux_update_verify.h"
#include "client/update/update_signature.h"

namespace corvane {
namespace {

const std::string kDir = "linux_update_test/";
const std::string kInstalled = "1:2.0~rc1-1";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

TEST(VerifyUpdatePackage, AcceptsOnlyASignedNewerPackageOfThisProgram) {
  // A package with one byte changed after signing, and signature files that lie about it.
  const std::string changed = kDir + "changed.deb";
  std::string bytes = Slurp(kDir + "newer_gz.deb");
  ASSERT_GT(bytes.size(), 200u);
  bytes[bytes.size() / 2] ^= 0x01;
  Write(changed, bytes);
  const std::string oversized = kDir + "oversized.sig";
  Write(oversized, Slurp(kDir + "newer_gz.deb.sig") + std::string(kMaxSignatureBytes, '\0'));
  unlink((kDir + "link.deb").c_str());
  ASSERT_EQ(0, symlink("newer_gz.deb", (kDir + "link.deb").c_str()));

  struct Case {
    const char* deb;
    std::string sig;
    PackageRefusal expected;
  } cases[] = {
      {"newer_gz.deb", kDir + "newer_gz.deb.sig", PackageRefusal::None},
      {"newer_xz.deb", kDir + "newer_xz.deb.sig", PackageRefusal::None},
      {"newer_zst.deb", kDir + "newer_zst.deb.sig", PackageRefusal::None},
      {"newer_none.deb", kDir + "newer_none.deb.sig", PackageRefusal::None},
      {"newer_gz.deb", kDir + "missing.sig", PackageRefusal::NoSignature},
      {"newer_gz.deb", kDir + "equal.deb.sig", PackageRefusal::BadSignature},  // another file's
      {"newer_gz.deb", kDir + "newer_gz.deb.other_key.sig", PackageRefusal::BadSignature},
      {"newer_gz.deb", kDir + "newer_gz.deb.truncated.sig", PackageRefusal::BadSignature},
      {"newer_gz.deb", oversized, PackageRefusal::BadSignature},
      {"changed.deb", kDir + "newer_gz.deb.sig", PackageRefusal::BadSignature},
      {"not_a_package.deb", kDir + "not_a_package.deb.sig", PackageRefusal::NotDebianPackage},
      {"control_first.deb", kDir + "control_first.deb.sig", PackageRefusal::NotDebianPackage},
      {"other_name.deb", kDir + "other_name.deb.sig", PackageRefusal::OtherPackage},
      {"older.deb", kDir + "older.deb.sig", PackageRefusal::NotNewer},
      {"equal.deb", kDir + "equal.deb.sig", PackageRefusal::NotNewer},
      {"missing.deb", kDir + "newer_gz.deb.sig", PackageRefusal::Unreadable},
      {"link.deb", kDir + "newer_gz.deb.sig", PackageRefusal::Unreadable},  // never through a link
  };
  for (const Case& c : cases) {
    EXPECT_EQ(VerifyUpdatePackage(kDir + c.deb, c.sig, kInstalled), c.expected) << c.deb << " with " << c.sig;
  }
  // The same package is refused where what is installed is already as new.
  EXPECT_EQ(VerifyUpdatePackage(kDir + "newer_gz.deb", kDir + "newer_gz.deb.sig", "1:2.0-1"), PackageRefusal::NotNewer);

  std::set<std::string> lines;
  for (PackageRefusal r : {PackageRefusal::NoSignature, PackageRefusal::BadSignature, PackageRefusal::NotDebianPackage,
                           PackageRefusal::OtherPackage, PackageRefusal::NotNewer, PackageRefusal::Unreadable}) {
    const std::string line = DescribeRefusal(r);
    EXPECT_EQ(line.find('\n'), std::string::npos);
    lines.insert(line);
  }
  EXPECT_EQ(lines.size(), 6u) << "each refusal says its own reason";
  EXPECT_EQ(DescribeRefusal(PackageRefusal::None), "");
}

TEST(DebianPackage, ReadsTheControlFieldsFromEveryCompression) {
  for (const char* name : {"newer_gz.deb", "newer_xz.deb", "newer_zst.deb", "newer_none.deb", "other_name.deb"}) {
    UniqueFd fd(open((kDir + name).c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(fd.Valid()) << name;
    DebianPackageFields fields;
    ASSERT_EQ(ReadDebianPackageFields(fd.Get(), fields), DebianPackageRead::Ok) << name;
    EXPECT_EQ(fields.package, std::string(name) == "other_name.deb" ? "corvane-other" : "corvane-client");
    EXPECT_EQ(fields.version, std::string(name) == "other_name.deb" ? "1:3.0-1" : "1:2.0-1");
  }
  // A control member cut short, inside an otherwise intact ar archive made from a real package.
  std::string bytes = Slurp(kDir + "newer_xz.deb");
  const size_t control = bytes.find("control.tar.xz");
  ASSERT_NE(control, std::string::npos);
  bytes.replace(control + 48, 10, "16        ");  // its ar size field: 16 bytes of the xz stream
  const std::string cut = kDir + "cut_control.deb";
  Write(cut, bytes);
  UniqueFd fd(open(cut.c_str(), O_RDONLY | O_CLOEXEC));
  DebianPackageFields fields;
  EXPECT_EQ(ReadDebianPackageFields(fd.Get(), fields), DebianPackageRead::NotDebianPackage);
}

TEST(DebianVersion, OrdersByDebiansRules) {
  struct Pair {
    const char* older;
    const char* newer;
  } pairs[] = {
      {"9.9-1", "1:0.1-1"},        // the epoch first
      {"1.0~rc1-1", "1.0-1"},      // '~' sorts before everything, even the end
      {"1.0~~", "1.0~"},           //
      {"1.0-1", "1.0-1.1"},        // revisions
      {"1.0-9", "1.0-10"},         // numerically
      {"1.0", "1.0+b1"},           // a non-letter after the end
      {"1.0a", "1.0+"},            // letters before non-letters
      {"1.2.0.0", "1.2.0.1"},
  };
  for (const Pair& p : pairs) {
    EXPECT_LT(CompareDebianVersions(p.older, p.newer), 0) << p.older << " < " << p.newer;
    EXPECT_GT(CompareDebianVersions(p.newer, p.older), 0) << p.newer << " > " << p.older;
  }
  EXPECT_EQ(CompareDebianVersions("0:1.0-1", "1.0-1"), 0) << "no epoch is epoch 0";
  EXPECT_EQ(CompareDebianVersions("1.0-0", "1.0"), 0) << "no revision is revision 0";

  for (const char* good : {"1.2.0.0", "1:2.0~rc1-1", "2.0-1-1", "1:2.0:3-1", "0+git20240101-1~bpo12+1"}) {
    EXPECT_TRUE(IsDebianVersion(good)) << good;
  }
  for (const char* bad : {"", "a1.0", "1.0-", ":1.0", "x:1.0", "1.0 1", "1.0:2", "1.0-1_2", "1.0-1/2"}) {
    EXPECT_FALSE(IsDebianVersion(bad)) << bad;
  }
  EXPECT_FALSE(IsDebianVersion("1" + std::string(300, '0')));
}

}  // namespace
}  // namespace corvane
