// corvane-update-helper: installs a downloaded Linux update as root, started by the client through
// pkexec. Whoever runs pkexec chooses its argument, its streams, its limits and signals, and when
// and how often at once it runs, so it trusts none of them: it opens the package and its signature
// with the caller's rights, copies them, one run at a time, into a folder of the run's own that
// only root can reach, verifies that copy through the descriptor it wrote it with, and installs it
// with apt-get, whose output it reads itself.
//   corvane-update-helper /absolute/path/to/file.deb     (the signature is file.deb.sig)
// Exit codes: client/update/update_helper_exit.h; one line on stderr says why it stopped, written
// only once the copy is gone and the lock released.
//
// The tests build a second program from this file with compile definitions naming another owner,
// folder, lock (and a shorter wait for it) and recorders for apt-get and dpkg-query, and pauses at
// named steps; the shipped helper has no switch for them.
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <pwd.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "base/unique_fd_posix.h"
#include "base/bounded_file_posix.h"
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
#ifndef CORVANE_HELPER_LOCK
// In /run, which only root can write and which a reboot empties: the file is never removed, so
// no run can lock a name another has just unlinked.
#define CORVANE_HELPER_LOCK "/run/corvane-update-helper.lock"
#endif
#ifndef CORVANE_HELPER_LOCK_WAIT_SECONDS
// How long a run waits for another to finish. The other's apt-get may fetch dependencies and run
// the package's scripts, minutes on a slow link or machine; one still going after ten is stuck,
// and this run's caller is better told so (HelperExit::Busy) and may try again.
#define CORVANE_HELPER_LOCK_WAIT_SECONDS 600
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
constexpr char kRunPrefix[] = "run.";  // each run's folder: run.XXXXXX (mkdtemp)

// The environment the helper's programs get: nothing of the caller's.
char* const kCleanEnvironment[] = {const_cast<char*>("PATH=/usr/sbin:/usr/bin:/sbin:/bin"),
                                   const_cast<char*>("LC_ALL=C.UTF-8"),
                                   const_cast<char*>("DEBIAN_FRONTEND=noninteractive"), nullptr};

// How a run ended: its exit code and, unless it installed, the line for stderr.
struct Outcome {
  int code;
  std::string why;
};

Outcome Stop(HelperExit code, std::string why) { return Outcome{static_cast<int>(code), std::move(why)}; }

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

// Undoes what the caller set for this process and apt-get would inherit. Limits: none on time,
// file size or memory (apt and dpkg need what they need), no core file of a root process that
// held the package, descriptors as systemd gives a service (1024: apt's children may select()),
// the usual 8 MiB stack. Signals: a Ctrl-C, Ctrl-Z or hangup in the caller's terminal does not
// stop a run halfway, a closed stderr is a failed write, and SIGCHLD is ours to wait on. The
// working folder is /, which no caller chose.
void ResetInheritance() {
  struct Limit {
    int resource;
    rlim_t soft, hard;
  };
  const Limit limits[] = {{RLIMIT_CPU, RLIM_INFINITY, RLIM_INFINITY},   {RLIMIT_FSIZE, RLIM_INFINITY, RLIM_INFINITY},
                          {RLIMIT_DATA, RLIM_INFINITY, RLIM_INFINITY},  {RLIMIT_AS, RLIM_INFINITY, RLIM_INFINITY},
                          {RLIMIT_NPROC, RLIM_INFINITY, RLIM_INFINITY}, {RLIMIT_STACK, 8 << 20, RLIM_INFINITY},
                          {RLIMIT_NOFILE, 1024, 524288},                {RLIMIT_CORE, 0, 0}};
  for (const Limit& limit : limits) {
    const rlimit wanted{limit.soft, limit.hard};
    rlimit current{};
    if (::setrlimit(limit.resource, &wanted) == 0 || ::getrlimit(limit.resource, &current) != 0) continue;
    // Without CAP_SYS_RESOURCE (in a container) the hard limit stays; the soft one goes up to it.
    current.rlim_cur = std::min(limit.soft, current.rlim_max);
    ::setrlimit(limit.resource, &current);
  }
  for (const int signal : {SIGINT, SIGQUIT, SIGHUP, SIGTSTP, SIGTTIN, SIGTTOU, SIGPIPE}) ::signal(signal, SIG_IGN);
  ::signal(SIGCHLD, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  ::sigprocmask(SIG_SETMASK, &none, nullptr);
  ::umask(022);
  if (::chdir("/") != 0) return;  // every path here is absolute: the folder only matters to apt-get
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

// `fd` when it is open on a file of `type` owned by the helper's owner, none of `othersMay` given
// to group or others; else invalid.
UniqueFd OwnersOnly(UniqueFd fd, mode_t type, mode_t othersMay) {
  struct stat st {};
  if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0 || (st.st_mode & S_IFMT) != type ||
      st.st_uid != static_cast<uid_t>(CORVANE_HELPER_OWNER_UID) || (st.st_mode & othersMay) != 0) {
    return UniqueFd();
  }
  return fd;
}

// The lock every run holds from before its copy until apt-get has ended and the copy is gone: a
// file only root may open (any user may open a folder, and hold a lock on it). Invalid when the
// file is anything else.
UniqueFd OpenLock() {
  return OwnersOnly(UniqueFd(::open(CORVANE_HELPER_LOCK, O_RDWR | O_CREAT | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0600)),
                    S_IFREG, S_IRWXG | S_IRWXO);
}

// Takes the lock, waiting at most CORVANE_HELPER_LOCK_WAIT_SECONDS for another run to let it go.
bool TakeLock(int lock) {
  if (::flock(lock, LOCK_EX | LOCK_NB) == 0) return true;
  PauseAt("lock_busy");
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(CORVANE_HELPER_LOCK_WAIT_SECONDS);
  do {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    if (::flock(lock, LOCK_EX | LOCK_NB) == 0) return true;
  } while (std::chrono::steady_clock::now() < deadline);
  return false;
}

// A folder at `dirFd`/`name`, made 0755 when missing; refused unless it is a directory (not a
// link) owned by the helper's owner and writable by nobody else.
UniqueFd OpenOwnFolder(int dirFd, const std::string& name) {
  if (::mkdirat(dirFd, name.c_str(), 0755) != 0 && errno != EEXIST) return UniqueFd();
  return OwnersOnly(UniqueFd(::openat(dirFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)), S_IFDIR,
                    S_IWGRP | S_IWOTH);
}

// A run's folder in `folderFd` and its copy, gone.
void RemoveRunFolder(int folderFd, const std::string& name) {
  UniqueFd run(::openat(folderFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (run.Valid()) ::unlinkat(run.Get(), kCopy, 0);
  ::unlinkat(folderFd, name.c_str(), AT_REMOVEDIR);
}

// Takes the run's folder away, and the shared folders with it when they are empty.
struct Cleanup {
  int baseFd, parentFd, folderFd;
  std::string parentName, folderName, runName;
  ~Cleanup() {
    if (!runName.empty()) RemoveRunFolder(folderFd, runName);
    ::unlinkat(parentFd, folderName.c_str(), AT_REMOVEDIR);
    ::unlinkat(baseFd, parentName.c_str(), AT_REMOVEDIR);
  }
};

// What a program printed: its last bytes, and how many in all.
struct Output {
  static constexpr size_t kKept = 4096;
  std::string tail;
  long long total = 0;
};

// Reads `pipe` into `output` until every writer has closed it or, once `exited` (a pidfd, when
// there is one) says the program has ended, until it is empty: a process the program left behind
// holding the pipe (a daemon a package's script started) does not hold up the run.
void Drain(int pipe, int exited, Output& output) {
  ::fcntl(pipe, F_SETFL, O_NONBLOCK);
  char buffer[4096];
  for (;;) {
    pollfd fds[2] = {{pipe, POLLIN, 0}, {exited, POLLIN, 0}};
    if (::poll(fds, exited >= 0 ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    const bool ended = exited >= 0 && (fds[1].revents & POLLIN) != 0;
    for (;;) {
      const ssize_t got = ::read(pipe, buffer, sizeof(buffer));
      if (got == 0) return;
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) break;  // empty for now
      output.total += got;
      output.tail.append(buffer, static_cast<size_t>(got));
      if (output.tail.size() > Output::kKept) output.tail.erase(0, output.tail.size() - Output::kKept);
    }
    if (ended) return;
  }
}

// Runs `args` (args[0] an absolute path) with the clean environment, stdin from /dev/null, no
// signal blocked or ignored, and a session of its own (no terminal of the caller's can stop it);
// its stdout, and its stderr when `withStderr` (else dropped), go to a pipe this process drains,
// so no caller's stream holds it up. Its exit status, or -1 when it could not run or did not exit.
int Run(const std::vector<std::string>& args, bool withStderr, Output& output) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int pipeFds[2] = {-1, -1};
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return -1;
  UniqueFd readEnd(pipeFds[0]), writeEnd(pipeFds[1]);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), 1);
  if (withStderr) {
    posix_spawn_file_actions_adddup2(&actions, writeEnd.Get(), 2);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  }
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSID);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), kCleanEnvironment);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) return -1;
  writeEnd.Reset();
  // glibc 2.36's <sys/pidfd.h> declares pidfd_open without C linkage: the system call itself.
  UniqueFd exited(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));
  Drain(readEnd.Get(), exited.Get(), output);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The last lines of what apt printed (at most three, each cut at 200 bytes), as one line.
std::string LastLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t end = text.size();
  while (lines.size() < 3 && end > 0) {
    const size_t start = text.rfind('\n', end - 1);
    const size_t from = start == std::string::npos ? 0 : start + 1;
    std::string line = text.substr(from, std::min<size_t>(end - from, 200));
    for (char& c : line) {
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    }
    if (line.find_first_not_of(' ') != std::string::npos) lines.insert(lines.begin(), line);
    if (start == std::string::npos) break;
    end = start;
  }
  std::string joined;
  for (const std::string& line : lines) joined += (joined.empty() ? "" : " / ") + line;
  return joined;
}

Outcome Install(const std::string& deb, const std::optional<UserIdentity>& caller) {
  // The caller's files first, with the caller's rights, before this run holds anything of root's.
  const std::string sig = deb + ".sig";
  const long long maxSignature = static_cast<long long>(kMaxSignatureBytes);
  UniqueFd debIn, sigIn;
  std::string signature;
  std::string why = OpenCallersFile(caller, deb, kMaxUpdatePackageBytes, debIn);
  if (why.empty()) why = OpenCallersFile(caller, sig, maxSignature, sigIn);
  if (why.empty() && !ReadAllBounded(sigIn.Get(), maxSignature, signature)) why = "cannot copy " + sig + ": unreadable";
  if (!why.empty()) return Stop(HelperExit::CopyFailed, why);

  UniqueFd lock = OpenLock();
  if (!lock.Valid()) return Stop(HelperExit::UnsafeFolder, CORVANE_HELPER_LOCK " is not a file only root can open");
  if (!TakeLock(lock.Get())) {
    return Stop(HelperExit::Busy, "another run held the lock for " +
                                      std::to_string(CORVANE_HELPER_LOCK_WAIT_SECONDS) + " seconds");
  }
  PauseAt("locked");

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

  Cleanup cleanup{base.Get(), parentFd.Get(), folderFd.Get(), parent.substr(parentSlash + 1),
                  folder.substr(slash + 1), std::string()};
  // Under the lock, any other run's folder is one left by a run that was killed.
  std::error_code error;
  for (std::filesystem::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.rfind(kRunPrefix, 0) == 0) RemoveRunFolder(folderFd.Get(), name);
  }
  // This run's own folder, 0700 until its copy has been verified.
  std::string run = folder + "/" + kRunPrefix + "XXXXXX";
  if (!::mkdtemp(run.data())) return Stop(HelperExit::CopyFailed, "cannot make a folder in " + folder);
  cleanup.runName = run.substr(folder.size() + 1);
  UniqueFd runFd(::openat(folderFd.Get(), cleanup.runName.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  UniqueFd copy(runFd.Valid() ? ::openat(runFd.Get(), kCopy, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600)
                              : -1);
  if (!copy.Valid()) return Stop(HelperExit::CopyFailed, "cannot make the copy in " + run);
  why = CopyBounded(debIn.Get(), copy.Get(), kMaxUpdatePackageBytes);
  if (!why.empty()) return Stop(HelperExit::CopyFailed, "cannot copy " + deb + ": " + why);

  Output installed;
  if (Run({CORVANE_HELPER_DPKG_QUERY, "-W", "-f=${Version}", kLinuxPackageName}, false, installed) != 0 ||
      installed.tail.empty() || installed.total > 256) {
    return Stop(HelperExit::InstalledUnknown, "dpkg-query does not name the installed version");
  }
  // Verified and made readable through the descriptor it was written with: the name is only for
  // apt-get, in a folder no one else can write.
  const PackageRefusal refusal = VerifyOpenUpdatePackage(copy.Get(), signature, installed.tail);
  if (refusal != PackageRefusal::None) {
    return Stop(static_cast<HelperExit>(HelperExitForRefusal(refusal)), "refused: " + DescribeRefusal(refusal));
  }
  // apt reads local packages as its own unprivileged user (_apt) where it can, else as root.
  ::fchmod(copy.Get(), 0644);
  ::fchmod(runFd.Get(), 0755);
  PauseAt("installing");
  Output apt;
  const int aptExit = Run({CORVANE_HELPER_APT_GET, "install", "-y", run + "/" + kCopy}, true, apt);
  if (aptExit != 0) {
    const std::string said = LastLines(apt.tail);
    return Stop(HelperExit::AptFailed,
                "apt-get install failed (" + std::to_string(aptExit) + ")" + (said.empty() ? "" : ": " + said));
  }
  return Outcome{static_cast<int>(HelperExit::Installed), std::string()};
}

int Main(int argc, char** argv) {
  ResetInheritance();
  Outcome outcome{static_cast<int>(HelperExit::Installed), std::string()};
  std::optional<UserIdentity> caller;
  if (argc != 2 || argv[1][0] != '/') {
    outcome = Stop(HelperExit::Usage, "usage: corvane-update-helper /path/to/file.deb");
  } else if (::geteuid() != static_cast<uid_t>(CORVANE_HELPER_OWNER_UID)) {
    outcome = Stop(HelperExit::NotRoot, "must run as root");
  } else if (!FindCaller(caller)) {
    outcome = Stop(HelperExit::Usage, "PKEXEC_UID names no user");
  } else {
    outcome = Install(argv[1], caller);
  }
  // Only now, the copy gone and the lock released, does a caller's stream get a byte: a caller
  // that never reads it holds up nothing but this process.
  if (!outcome.why.empty()) std::fprintf(stderr, "corvane-update-helper: %s\n", outcome.why.c_str());
  return outcome.code;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) { return corvane::Main(argc, argv); }
