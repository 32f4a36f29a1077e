// The update helper as pkexec would start it (built with the caller as its owner, a folder in the
// build tree and recorders for apt-get and dpkg-query): what it installs, what it refuses, and
// that it leaves nothing behind either way.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "client/update/linux_update_verify.h"
#include "client/update/update_helper_exit.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string kDir = std::getenv("HELPER_TEST_DIR") ? std::getenv("HELPER_TEST_DIR") : "";
const std::string kVar = kDir + "/var";
const std::string kFolder = kVar + "/corvane-client/updates";
const std::string kInput = kDir + "/input";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Runs the helper with `arg` and an environment it must not pass on; its exit code.
int RunHelper(const std::string& arg) {
  const char* helper = std::getenv("HELPER");
  char* argv[] = {const_cast<char*>(helper), const_cast<char*>(arg.c_str()), nullptr};
  char* env[] = {const_cast<char*>("PATH=/nonexistent"), const_cast<char*>("CORVANE_PLANTED=1"), nullptr};
  pid_t pid = -1;
  if (posix_spawn(&pid, helper, nullptr, nullptr, argv, env) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class UpdateHelper : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(kDir.empty());
    fs::remove_all(kVar);
    fs::remove_all(kInput);
    for (const char* f : {"apt_args", "apt_env", "apt_saw.deb", "apt_exit", "dpkg_query_args"}) fs::remove(kDir + "/" + f);
    fs::create_directories(kVar);
    fs::create_directories(kInput);
    fs::permissions(kVar, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    Write(kDir + "/installed_version", "1:2.0~rc1-1");
    package = Slurp("linux_update_test/newer_gz.deb");
    ASSERT_GT(package.size(), 200u);
    Write(kInput + "/update.deb", package);
    Write(kInput + "/update.deb.sig", Slurp("linux_update_test/newer_gz.deb.sig"));
  }

  // Nothing of the copies is left, and no package manager was started.
  void ExpectNothingStartedOrLeft() {
    EXPECT_FALSE(fs::exists(kDir + "/apt_args")) << "apt-get ran";
    EXPECT_FALSE(fs::exists(kVar + "/corvane-client")) << "the helper's folder is left";
  }

  std::string package;
};

TEST_F(UpdateHelper, InstallsItsOwnVerifiedCopyWithACleanEnvironment) {
  ASSERT_EQ(RunHelper(kInput + "/update.deb"), 0);
  EXPECT_EQ(Slurp(kDir + "/apt_args"), "install\n-y\n" + kFolder + "/corvane-client-update.deb\n");
  EXPECT_EQ(Slurp(kDir + "/apt_saw.deb"), package) << "apt-get was given the verified copy";
  EXPECT_EQ(Slurp(kDir + "/dpkg_query_args"), "-W\n-f=${Version}\ncorvane-client\n");
  const std::string env = Slurp(kDir + "/apt_env");
  EXPECT_EQ(env.find("CORVANE_PLANTED"), std::string::npos) << env;
  EXPECT_NE(env.find("PATH=/usr/sbin:/usr/bin:/sbin:/bin"), std::string::npos) << env;
  EXPECT_FALSE(fs::exists(kVar + "/corvane-client")) << "the copies stay after installing";

  // apt-get's failure is its own exit code, and the copies go all the same.
  fs::remove(kDir + "/apt_args");
  Write(kDir + "/apt_exit", "100");
  EXPECT_EQ(RunHelper(kInput + "/update.deb"), static_cast<int>(HelperExit::AptFailed));
  EXPECT_TRUE(fs::exists(kDir + "/apt_args"));
  EXPECT_FALSE(fs::exists(kVar + "/corvane-client"));
}

TEST_F(UpdateHelper, RefusesWhatItCannotTrustAndLeavesNothing) {
  // One byte changed after the client checked it.
  std::string changed = package;
  changed[changed.size() / 3] ^= 0x20;
  Write(kInput + "/update.deb", changed);
  EXPECT_EQ(RunHelper(kInput + "/update.deb"), HelperExitForRefusal(PackageRefusal::BadSignature));
  ExpectNothingStartedOrLeft();

  // A link given as the file, even to a good package.
  Write(kInput + "/update.deb", package);
  fs::create_symlink(kInput + "/update.deb", kInput + "/link.deb");
  fs::copy_file(kInput + "/update.deb.sig", kInput + "/link.deb.sig");
  EXPECT_EQ(RunHelper(kInput + "/link.deb"), static_cast<int>(HelperExit::CopyFailed));
  ExpectNothingStartedOrLeft();

  // No signature beside it; a relative path.
  fs::remove(kInput + "/update.deb.sig");
  EXPECT_EQ(RunHelper(kInput + "/update.deb"), static_cast<int>(HelperExit::CopyFailed));
  ExpectNothingStartedOrLeft();
  EXPECT_EQ(RunHelper("update.deb"), static_cast<int>(HelperExit::Usage));
  ExpectNothingStartedOrLeft();

  // What is installed is already as new (dpkg-query's answer, not the caller's).
  fs::copy_file(kInput + "/link.deb.sig", kInput + "/update.deb.sig");
  Write(kDir + "/installed_version", "1:2.0-1");
  EXPECT_EQ(RunHelper(kInput + "/update.deb"), HelperExitForRefusal(PackageRefusal::NotNewer));
  ExpectNothingStartedOrLeft();
}

TEST_F(UpdateHelper, RefusesAFolderOthersCouldWrite) {
  fs::create_directories(kFolder);
  fs::permissions(kFolder, fs::perms::all);  // 0777
  EXPECT_EQ(RunHelper(kInput + "/update.deb"), static_cast<int>(HelperExit::UnsafeFolder));
  EXPECT_FALSE(fs::exists(kDir + "/apt_args"));
  EXPECT_TRUE(fs::is_empty(kFolder)) << "nothing copied into it";

  // The folder as a link to one that would pass.
  fs::remove_all(kVar + "/corvane-client");
  fs::create_directories(kDir + "/elsewhere/updates");
  fs::create_directory_symlink(kDir + "/elsewhere", kVar + "/corvane-client");
  EXPECT_EQ(RunHelper(kInput + "/update.deb"), static_cast<int>(HelperExit::UnsafeFolder));
  EXPECT_FALSE(fs::exists(kDir + "/apt_args"));
  EXPECT_TRUE(fs::is_empty(kDir + "/elsewhere/updates"));
  fs::remove_all(kDir + "/elsewhere");
}

}  // namespace
}  // namespace corvane
