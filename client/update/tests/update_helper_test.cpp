// The update helper as pkexec would start it (built with the caller as its owner, a folder and a
// lock in the build tree, recorders for apt-get and dpkg-query and pauses at named steps): what it
// installs, what it refuses, that it leaves nothing behind either way, and what a caller, who
// holds its streams, its timing and the paths it names, cannot make it do.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "base/unique_fd_posix.h"
#include "client/update/linux_update_verify.h"
#include "client/update/update_helper_exit.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

const std::string kDir = std::getenv("HELPER_TEST_DIR") ? std::getenv("HELPER_TEST_DIR") : "";
const std::string kVar = kDir + "/var";
const std::string kFolder = kVar + "/corvane-client/updates";
const std::string kLock = kVar + "/corvane-update-helper.lock";
const std::string kPauses = kDir + "/pauses";
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
  int out = -1;                     // the helper's stdout; -1: /dev/null
  int err = -1;                     // its stderr; -1: the file kErr
  const char* pkexecUid = nullptr;  // who pkexec says ran it; none: root started it directly
  bool hostile = false;             // SIGTERM blocked, SIGHUP ignored, small limits, in kInput
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
  const int out = caller.out >= 0 ? caller.out : ::open("/dev/null", O_WRONLY);
  const int err = caller.err >= 0 ? caller.err : ::open(kErr.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  ::dup2(out, 1);
  ::dup2(err, 2);
  if (caller.hostile) {
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &blocked, nullptr);
    ::signal(SIGHUP, SIG_IGN);
    rlimit small{};
    ::getrlimit(RLIMIT_FSIZE, &small);
    small.rlim_cur = 64 * 1024;  // only the soft limit: raising a hard one takes more than root in a container
    ::setrlimit(RLIMIT_FSIZE, &small);
    const rlimit cores{RLIM_INFINITY, RLIM_INFINITY};
    ::setrlimit(RLIMIT_CORE, &cores);
    if (::chdir(kInput.c_str()) != 0) ::_exit(126);
  }
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

// A pipe that nobody reads, with its buffer full: a write to it blocks.
struct FullPipe {
  FullPipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return;
    read.Reset(fds[0]);
    write.Reset(fds[1]);
    ::fcntl(fds[1], F_SETFL, O_NONBLOCK);
    const std::string filler(4096, 'x');
    while (::write(fds[1], filler.data(), filler.size()) > 0) {
    }
    ::fcntl(fds[1], F_SETFL, 0);
  }
  // Everything written to it until every writer has closed it (at most a minute).
  std::string Drain() {
    std::string all;
    char buffer[4096];
    pollfd p{read.Get(), POLLIN, 0};
    while (::poll(&p, 1, 60 * 1000) == 1) {
      const ssize_t got = ::read(read.Get(), buffer, sizeof(buffer));
      if (got <= 0) break;
      all.append(buffer, static_cast<size_t>(got));
    }
    return all;
  }
  UniqueFd read, write;
};

// Holds runs at a named step: the helper opens the FIFO pauses/<step> for reading when it gets
// there, so opening it here for writing succeeds once a run waits, and closing it lets it go on.
class Pause {
 public:
  explicit Pause(const std::string& step) : m_path(kPauses + "/" + step) { ::mkfifo(m_path.c_str(), 0600); }
  ~Pause() { Release(); }

  // True once a run waits at the step; false when none has come in 30 seconds.
  bool Reached() {
    for (int tenths = 0; tenths < 300 && !m_fd.Valid(); ++tenths) {
      m_fd.Reset(::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
      if (!m_fd.Valid()) ::usleep(100 * 1000);
    }
    return m_fd.Valid();
  }

  // The waiting run goes on (as would one just arriving), and later runs pass the step.
  void Release() {
    if (!m_fd.Valid()) m_fd.Reset(::open(m_path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
    ::unlink(m_path.c_str());
    m_fd.Reset();
  }

 private:
  std::string m_path;
  UniqueFd m_fd;
};

// The helper's lock, taken here once no run holds it; invalid when one still did after 30 seconds.
UniqueFd TakeLock() {
  UniqueFd lock(::open(kLock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  for (int tenths = 0; tenths < 300 && lock.Valid(); ++tenths) {
    if (::flock(lock.Get(), LOCK_EX | LOCK_NB) == 0) return lock;
    ::usleep(100 * 1000);
  }
  return UniqueFd();
}

class UpdateHelper : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(kDir.empty());
    for (const std::string& dir : {kVar, kInput, kPauses}) {
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
  // The copy in the run's own folder (mkdtemp's six letters made X here).
  const std::string expected = "install\n-y\n" + kFolder + "/run.XXXXXX/corvane-client-update.deb\n";
  std::string args = Slurp(kDir + "/apt_args");
  if (args.size() == expected.size()) args.replace(expected.find("XXXXXX"), 6, "XXXXXX");
  EXPECT_EQ(args, expected);
  EXPECT_EQ(Slurp(kDir + "/apt_saw.deb"), package) << "apt-get was given the verified copy";
  EXPECT_EQ(Slurp(kDir + "/dpkg_query_args"), "-W\n-f=${Version}\ncorvane-client\n");
  const std::string env = Slurp(kDir + "/apt_env");
  EXPECT_EQ(env.find("CORVANE_PLANTED"), std::string::npos) << env;
  EXPECT_NE(env.find("PATH=/usr/sbin:/usr/bin:/sbin:/bin"), std::string::npos) << env;
  EXPECT_FALSE(fs::exists(kVar + "/corvane-client")) << "the copies stay after installing";

  // apt-get's failure is its own exit code with apt's last lines (only those), and the copies go
  // all the same.
  fs::remove(kDir + "/apt_args");
  Write(kDir + "/apt_exit", "100");
  EXPECT_EQ(RunHelper(kInput + "/update.deb"), static_cast<int>(HelperExit::AptFailed));
  const std::string line = Slurp(kErr);
  EXPECT_NE(line.find("Unpacking line 4000"), std::string::npos) << line;
  EXPECT_NE(line.find("E: Sub-process /usr/bin/dpkg returned an error code (1)\n"), std::string::npos) << line;
  EXPECT_LT(line.size(), 1024u) << line;
  EXPECT_EQ(std::count(line.begin(), line.end(), '\n'), 1) << line;
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

TEST_F(UpdateHelper, RefusesAFolderOrLockOthersCouldWrite) {
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
  fs::remove(kVar + "/corvane-client");

  // A lock file anyone may open for writing.
  Write(kLock, "");
  fs::permissions(kLock, fs::perms::all);
  EXPECT_EQ(RunHelper(kInput + "/update.deb"), static_cast<int>(HelperExit::UnsafeFolder));
  ExpectNothingStartedOrLeft();
}

TEST_F(UpdateHelper, RunsOneAtATimeAndNeverWaitsForItsCallersToRead) {
  // The second caller's package: another program, under a signature that is not its own.
  const std::string other = Slurp("linux_update_test/other_name.deb");
  ASSERT_GT(other.size(), 200u);
  Write(kInput + "/other.deb", other);
  fs::copy_file(kInput + "/update.deb.sig", kInput + "/other.deb.sig");
  FullPipe firstOut, secondErr;
  Pause installing("installing"), waiting("lock_busy");

  // The first run is held just before apt-get; its caller never reads its stdout and gave it a
  // blocked and an ignored signal, small limits and its own folder.
  Caller first;
  first.out = firstOut.write.Get();
  first.hostile = true;
  const pid_t a = StartHelper(kInput + "/update.deb", first);
  ASSERT_TRUE(installing.Reached()) << "the first run never came to apt-get";
  Caller second;
  second.err = secondErr.write.Get();
  const pid_t b = StartHelper(kInput + "/other.deb", second);
  secondErr.write.Reset();  // the second run's line ends with the run
  EXPECT_TRUE(waiting.Reached()) << "the second run did not wait for the first";
  installing.Release();
  EXPECT_EQ(WaitHelper(a), 0) << "the first run did not end with its output unread";
  Pause locked("locked");  // only now: the first run has passed that step
  waiting.Release();
  EXPECT_TRUE(locked.Reached()) << "the second run did not take the lock the first let go of";
  locked.Release();

  // The second run, refused, has taken its copy away and let go of the lock before its caller
  // reads a byte of its line.
  UniqueFd lock = TakeLock();
  EXPECT_TRUE(lock.Valid()) << "the refused run holds the lock while it waits for its caller";
  EXPECT_EQ(::waitpid(b, nullptr, WNOHANG), 0) << "the refused run ended with its line unread";
  EXPECT_FALSE(fs::exists(kVar + "/corvane-client")) << "the refused run's copy is left";

  // While a run holds the lock, another waits a while and ends with its own code.
  if (lock.Valid()) {
    EXPECT_EQ(RunHelper(kInput + "/update.deb"), static_cast<int>(HelperExit::Busy));
  }
  lock.Reset();
  const std::string errors = secondErr.Drain();
  EXPECT_EQ(WaitHelper(b), HelperExitForRefusal(PackageRefusal::BadSignature));
  const std::string line =
      "corvane-update-helper: refused: " + DescribeRefusal(PackageRefusal::BadSignature) + "\n";
  EXPECT_EQ(errors.substr(errors.size() - std::min(errors.size(), line.size())), line);

  // apt-get ran once, on the first run's verified package, with nothing else of its caller's.
  const std::string saw = Slurp(kDir + "/apt_saw.deb");
  EXPECT_EQ(saw.find(other), std::string::npos) << "apt-get was given the refused run's package";
  EXPECT_TRUE(saw == package) << "apt-get did not run exactly once on the package: " << saw.size() << " bytes";
  const std::string inherited = Slurp(kDir + "/apt_inherited");
  EXPECT_EQ(inherited.substr(0, inherited.rfind('\t') + 1), "/\nunlimited\n0\nSigBlk:\t0000000000000000\nSigIgn:\t");
  // glibc keeps its own two signals (32, 33) out of every program's reach: what ctest ignored there stays.
  EXPECT_EQ(std::stoull(inherited.substr(inherited.rfind('\t') + 1), nullptr, 16) & ~(3ULL << 31), 0u) << inherited;
  EXPECT_FALSE(fs::exists(kVar + "/corvane-client"));
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
