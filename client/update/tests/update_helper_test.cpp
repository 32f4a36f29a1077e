// The update helper as pkexec would start it (built with the caller as its owner, a folder in the
// build tree and recorders for apt-get and dpkg-query): what it installs, what it refuses, that it
// leaves nothing behind either way, and that it opens only what its caller may read.
#include <fcntl.h>
#include <gtest/gtest.h>
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
const std::string kErr = kDir + "/helper_err";

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Write(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// What a caller of pkexec chooses besides the argument.
struct Caller {
  const char* pkexecUid = nullptr;  // who pkexec says ran it; none: root started it directly
};

// Starts the helper on `arg` with an environment it must not pass on.
pid_t StartHelper(const std::string& arg, const Caller& caller = {}) {
  const char* helper = std::getenv("HELPER");
  const std::string uid = caller.pkexecUid ? std::string("PKEXEC_UID=") + caller.pkexecUid : "CORVANE_ROOT=1";
  char* argv[] = {const_cast<char*>(helper), const_cast<char*>(arg.c_str()), nullptr};
  char* env[] = {const_cast<char*>("PATH=/nonexistent"), const_cast<char*>("CORVANE_PLANTED=1"),
                 const_cast<char*>(uid.c_str()), nullptr};
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int out = ::open("/dev/null", O_WRONLY);
  const int err = ::open(kErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(out, 1);
  ::dup2(err, 2);
  ::execve(helper, argv, env);
  ::_exit(127);
}

// The helper's exit code; -1 when it did not exit, or had not after a minute (then it is killed).
int WaitHelper(pid_t pid) {
  int status = 0;
  for (int tenths = 0; tenths < 600; ++tenths) {
    if (::waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ::usleep(100 * 1000);
  }
  ::kill(pid, SIGKILL);
  ::waitpid(pid, &status, 0);
  return -1;
}

int RunHelper(const std::string& arg, const Caller& caller = {}) { return WaitHelper(StartHelper(arg, caller)); }

class UpdateHelper : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(kDir.empty());
    for (const std::string& dir : {kVar, kInput}) {
      fs::remove_all(dir);
      fs::create_directories(dir);
    }
    for (const char* f : {"apt_args", "apt_env", "apt_inherited", "apt_saw.deb", "apt_exit", "dpkg_query_args",
                          "helper_err"}) {
      fs::remove(kDir + "/" + f);
    }
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

TEST_F(UpdateHelper, OpensTheCallersFilesWithTheCallersRights) {
  if (::geteuid() != 0) GTEST_SKIP() << "taking another user's rights needs root";
  // The caller is nobody, with a folder it can read (the build tree may not be).
  char folder[] = "/tmp/corvane-helper-caller.XXXXXX";
  ASSERT_NE(::mkdtemp(folder), nullptr);
  const std::string dir = folder;
  fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                           fs::perms::others_read | fs::perms::others_exec);
  for (const char* name : {"/update.deb", "/root_only.deb"}) {
    Write(dir + name, package);
    fs::copy_file(kInput + "/update.deb.sig", dir + name + ".sig");
  }
  fs::permissions(dir + "/root_only.deb", fs::perms::owner_read | fs::perms::owner_write);
  ASSERT_EQ(::mkfifo((dir + "/fifo.deb").c_str(), 0666), 0);
  Caller nobody;
  nobody.pkexecUid = "65534";

  EXPECT_EQ(RunHelper(dir + "/update.deb", nobody), 0) << Slurp(kErr);
  // A file only root may read, a device that never ends and a FIFO nobody writes: never copied.
  for (const auto& [path, why] : {std::pair<std::string, std::string>{dir + "/root_only.deb", "Permission denied"},
                                  {"/dev/zero", "a link or not a regular file"},
                                  {dir + "/fifo.deb", "a link or not a regular file"}}) {
    EXPECT_EQ(RunHelper(path, nobody), static_cast<int>(HelperExit::CopyFailed)) << path;
    EXPECT_EQ(Slurp(kErr), "corvane-update-helper: cannot copy " + path + ": " + why + "\n");
    EXPECT_FALSE(fs::exists(kVar + "/corvane-client")) << path;
  }
  // Root starting the helper itself (no pkexec) opens with root's rights.
  EXPECT_EQ(RunHelper(dir + "/root_only.deb"), 0) << Slurp(kErr);
  EXPECT_EQ(Slurp(kDir + "/apt_saw.deb"), package + package) << "apt-get ran on a refused file";
  fs::remove_all(dir);
}

}  // namespace
}  // namespace corvane
