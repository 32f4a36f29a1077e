// corvane-update-helper: installs a downloaded Linux update as root, started by the client through
// pkexec. It trusts nothing it is given: it opens the package and its signature with the caller's
// rights (O_NOFOLLOW, regular files only), copies them into a folder only root can write, verifies
// the copy there (the user's copy could change after the client's check), and installs that copy
// with apt-get.
//   corvane-update-helper /absolute/path/to/file.deb     (the signature is file.deb.sig)
// Exit codes: client/update/update_helper_exit.h; one line on stderr says why it stopped.
//
// The tests build a second program from this file with compile definitions naming another owner,
// folder and recorders for apt-get and dpkg-query, and pauses at named steps; the shipped helper
// has no switch for them.
#include <errno.h>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "base/unique_fd_posix.h"
#include "client/update/bounded_file_posix.h"
#include "client/update/linux_update_verify.h"
#include "client/update/open_as_user_posix.h"
#include "client/update/update_helper_exit.h"
#include "client/update/update_signature.h"

#ifndef CORVANE_HELPER_OWNER_UID
#define CORVANE_HELPER_OWNER_UID 0  // root: who must run the helper and own its folder
#endif
#ifndef CORVANE_HELPER_FOLDER
#define CORVANE_HELPER_FOLDER "/var/lib/corvane-client/updates"
#endif
#ifndef CORVANE_HELPER_APT_GET
#define CORVANE_HELPER_APT_GET "/usr/bin/apt-get"
#endif
#ifndef CORVANE_HELPER_DPKG_QUERY
#define CORVANE_HELPER_DPKG_QUERY "/usr/bin/dpkg-query"
#endif

namespace corvane {
namespace {

constexpr char kCopy[] = "corvane-client-update.deb";
constexpr char kCopySig[] = "corvane-client-update.deb.sig";

// The environment the helper's programs get: nothing of the caller's.
char* const kCleanEnvironment[] = {const_cast<char*>("PATH=/usr/sbin:/usr/bin:/sbin:/bin"),
                                   const_cast<char*>("LC_ALL=C.UTF-8"),
                                   const_cast<char*>("DEBIAN_FRONTEND=noninteractive"), nullptr};

// Holds the run at `step` while the tests' FIFO of that name is there: opening it for reading
// waits for the test to open it for writing (it then knows the run is here), reading waits for it
// to close it. Without the FIFO, and in the shipped helper, nothing happens.
void PauseAt(const char* step) {
#ifdef CORVANE_HELPER_PAUSES
  UniqueFd fifo(::open((std::string(CORVANE_HELPER_PAUSES "/") + step).c_str(), O_RDONLY | O_CLOEXEC));
  char byte;
  ssize_t got = 0;
  while (fifo.Valid() && ((got = ::read(fifo.Get(), &byte, 1)) > 0 || (got < 0 && errno == EINTR))) {
  }
#else
  (void)step;
#endif
}

int Stop(HelperExit code, const std::string& why) {
  std::fprintf(stderr, "corvane-update-helper: %s\n", why.c_str());
  return static_cast<int>(code);
}

// A folder at `dirFd`/`name`, made 0755 when missing; refused unless it is a directory (not a
// link) owned by the helper's owner and writable by nobody else.
UniqueFd OpenOwnFolder(int dirFd, const std::string& name) {
  if (::mkdirat(dirFd, name.c_str(), 0755) != 0 && errno != EEXIST) return UniqueFd();
  UniqueFd fd(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || !S_ISDIR(st.st_mode) ||
      st.st_uid != static_cast<uid_t>(CORVANE_HELPER_OWNER_UID) || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    return UniqueFd();
  }
  return fd;
}

// Who ran pkexec (PKEXEC_UID, set by pkexec, never by its caller) with that user's primary group;
// none when root started the helper itself. False when PKEXEC_UID names no user.
bool FindCaller(std::optional<UserIdentity>& caller) {
  const char* text = std::getenv("PKEXEC_UID");
  if (!text) return true;
  char* end = nullptr;
  errno = 0;
  const unsigned long uid = std::strtoul(text, &end, 10);
  if (errno != 0 || end == text || *end != '\0' || uid != static_cast<uid_t>(uid)) return false;
  const passwd* user = ::getpwuid(static_cast<uid_t>(uid));
  if (!user) return false;
  caller = UserIdentity{static_cast<uid_t>(uid), user->pw_gid};
  return true;
}

// Opens the caller's `path` as the caller (as root when root started the helper): a regular file
// of at most maxBytes. Empty when it is open, else the line saying why not.
std::string OpenCallersFile(const std::optional<UserIdentity>& caller, const std::string& path, long long maxBytes,
                            UniqueFd& fd) {
  int error = 0;
  UniqueFd opened;
  if (caller) {
    opened = OpenAsUser(*caller, path, kBoundedOpenFlags, error);
  } else {
    opened.Reset(::open(path.c_str(), kBoundedOpenFlags));
    error = opened.Valid() ? 0 : errno;
  }
  long long size = 0;
  std::string why;
  switch (opened.Valid() ? CheckBoundedFile(std::move(opened), maxBytes, fd, size) : BoundedOpenFailure(error)) {
    case BoundedOpen::Ok: return std::string();
    case BoundedOpen::Missing: why = "no such file"; break;
    case BoundedOpen::NotRegularFile: why = "a link or not a regular file"; break;
    case BoundedOpen::TooLarge: why = "larger than " + std::to_string(maxBytes) + " bytes"; break;
    case BoundedOpen::Failed: why = error != 0 ? std::strerror(error) : "cannot read it"; break;
  }
  return "cannot copy " + path + ": " + why;
}

// Copies what `in` holds to `out`, at most maxBytes (a file that grows past them while it is read
// is refused). Empty when the copy is whole, else why not.
std::string CopyBounded(int in, int out, long long maxBytes) {
  char buffer[64 * 1024];
  long long copied = 0;
  for (;;) {
    const ssize_t got = ::read(in, buffer, sizeof(buffer));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return std::strerror(errno);
    if (got == 0) return std::string();
    copied += got;
    if (copied > maxBytes) return "it grew past " + std::to_string(maxBytes) + " bytes";
    for (ssize_t written = 0; written < got;) {
      const ssize_t w = ::write(out, buffer + written, static_cast<size_t>(got - written));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return std::string("cannot write the copy: ") + std::strerror(w < 0 ? errno : ENOSPC);
      written += w;
    }
  }
}

// Runs `argv` (argv[0] an absolute path) with the clean environment and stdin from /dev/null;
// its stdout goes to `output` when given (at most 4 KiB kept; its stderr is dropped), else with
// its stderr to our stdout, so our stderr keeps its one line.
// Its exit status, or -1 when it could not run or did not exit.
int Run(const std::vector<std::string>& args, std::string* output) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int pipeFds[2] = {-1, -1};
  if (output && ::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
  UniqueFd readEnd(pipeFds[0]), writeEnd(pipeFds[1]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  if (output) {
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  } else {
    posix_spawn_file_actions_adddup2(&actions, 1, 2);  // apt's messages are not our one line
  }
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), kCleanEnvironment);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  writeEnd.Reset();
  if (output) {
    char buffer[512];
    ssize_t got;
    while ((got = ::read(readEnd.Get(), buffer, sizeof(buffer))) != 0) {
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) break;
      if (output->size() < 4096) output->append(buffer, static_cast<size_t>(got));
    }
  }
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Takes the copies away, and the folders with them when they are empty.
struct Cleanup {
  int baseFd, parentFd, folderFd;
  std::string parentName, folderName;
  ~Cleanup() {
    ::unlinkat(folderFd, kCopy, 0);
    ::unlinkat(folderFd, kCopySig, 0);
    ::unlinkat(parentFd, folderName.c_str(), AT_REMOVEDIR);
    ::unlinkat(baseFd, parentName.c_str(), AT_REMOVEDIR);
  }
};

int Main(int argc, char** argv) {
  ::umask(022);
  if (argc != 2 || argv[1][0] != '/') return Stop(HelperExit::Usage, "usage: corvane-update-helper /path/to/file.deb");
  const std::string deb = argv[1];
  const std::string sig = deb + ".sig";
  if (::geteuid() != static_cast<uid_t>(CORVANE_HELPER_OWNER_UID)) return Stop(HelperExit::NotRoot, "must run as root");
  std::optional<UserIdentity> caller;
  if (!FindCaller(caller)) return Stop(HelperExit::Usage, "PKEXEC_UID names no user");
  // The caller's files with the caller's rights, before anything of root's is made.
  const long long maxSignature = static_cast<long long>(kMaxSignatureBytes);
  UniqueFd debIn, sigIn;
  std::string why = OpenCallersFile(caller, deb, kMaxUpdatePackageBytes, debIn);
  if (why.empty()) why = OpenCallersFile(caller, sig, maxSignature, sigIn);
  if (!why.empty()) return Stop(HelperExit::CopyFailed, why);

  // The folder and its parent are made and checked one component at a time from the parent's
  // parent, which only root can write (/var/lib).
  const std::string folder = CORVANE_HELPER_FOLDER;
  const size_t slash = folder.rfind('/');
  const std::string parent = folder.substr(0, slash);
  const size_t parentSlash = parent.rfind('/');
  UniqueFd base(::open(parent.substr(0, parentSlash).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  UniqueFd parentFd = base.Valid() ? OpenOwnFolder(base.Get(), parent.substr(parentSlash + 1)) : UniqueFd();
  UniqueFd folderFd = parentFd.Valid() ? OpenOwnFolder(parentFd.Get(), folder.substr(slash + 1)) : UniqueFd();
  if (!folderFd.Valid()) return Stop(HelperExit::UnsafeFolder, folder + " is not a folder only root can write");

  Cleanup cleanup{base.Get(), parentFd.Get(), folderFd.Get(), parent.substr(parentSlash + 1), folder.substr(slash + 1)};
  ::unlinkat(folderFd.Get(), kCopy, 0);  // left over from an interrupted run
  ::unlinkat(folderFd.Get(), kCopySig, 0);
  // Readable by root only until verified.
  for (const auto& [in, name, path, maxBytes] : {std::make_tuple(debIn.Get(), kCopy, deb, kMaxUpdatePackageBytes),
                                                 std::make_tuple(sigIn.Get(), kCopySig, sig, maxSignature)}) {
    UniqueFd out(::openat(folderFd.Get(), name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    why = out.Valid() ? CopyBounded(in, out.Get(), maxBytes) : "cannot make the copy";
    if (!why.empty()) return Stop(HelperExit::CopyFailed, "cannot copy " + path + ": " + why);
  }

  std::string installed;
  if (Run({CORVANE_HELPER_DPKG_QUERY, "-W", "-f=${Version}", kLinuxPackageName}, &installed) != 0 ||
      installed.empty() || installed.size() > 256) {
    return Stop(HelperExit::InstalledUnknown, "dpkg-query does not name the installed version");
  }
  const std::string copy = folder + "/" + kCopy;
  const PackageRefusal refusal = VerifyUpdatePackage(copy, folder + "/" + kCopySig, installed);
  if (refusal != PackageRefusal::None) {
    return Stop(static_cast<HelperExit>(HelperExitForRefusal(refusal)), "refused: " + DescribeRefusal(refusal));
  }
  // apt reads local packages as its own unprivileged user where it can.
  ::fchmodat(folderFd.Get(), kCopy, 0644, 0);
  PauseAt("installing");
  const int apt = Run({CORVANE_HELPER_APT_GET, "install", "-y", copy}, nullptr);
  if (apt != 0) return Stop(HelperExit::AptFailed, "apt-get install failed (" + std::to_string(apt) + ")");
  return static_cast<int>(HelperExit::Installed);
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) { return corvane::Main(argc, argv); }
