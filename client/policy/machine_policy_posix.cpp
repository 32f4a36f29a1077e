// The policies from /etc/corvane/policy.ini, taken only when only root can change it: owned by
// root and writable by neither group nor others. Links are followed (an administrator may link
// the file from a managed folder); the checks apply to the file actually opened (fstat on the
// descriptor), so nothing can be swapped in between the check and the read.
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/bounded_file_posix.h"
#include "base/unique_fd_posix.h"
#include "client/policy/machine_policy_source.h"

// The shipped client reads only this file as root's; the policy test build fixes its own file
// and owner (compile definitions, never an environment variable).
#ifndef CORVANE_POLICY_FILE
#define CORVANE_POLICY_FILE "/etc/corvane/policy.ini"
#endif
#ifndef CORVANE_POLICY_OWNER_UID
#define CORVANE_POLICY_OWNER_UID 0
#endif

namespace corvane {
namespace {

// A policy file is a few lines; anything larger is not one.
constexpr off_t kMaxFileBytes = 64 * 1024;

void Report(const std::string& problem) { std::fprintf(stderr, "corvane-client: %s\n", problem.c_str()); }

// The file's text, or nothing (reported) when it is missing, unsafe or unreadable.
bool ReadPolicyText(const char* path, std::string& text) {
  const UniqueFd fd(open(path, O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
  if (!fd.Valid()) {
    if (errno != ENOENT) Report(std::string(path) + ": " + std::strerror(errno) + "; no policies");
    return false;  // no file: no policies, the usual case
  }
  struct stat st = {};
  if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) {
    Report(std::string(path) + ": not a regular file; ignored");
    return false;
  }
  if (st.st_uid != static_cast<uid_t>(CORVANE_POLICY_OWNER_UID) || (st.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
    Report(std::string(path) + ": writable by others than root (it must be owned by root, mode 644 or stricter); "
           "ignored");
    return false;
  }
  if (st.st_size > kMaxFileBytes) {
    Report(std::string(path) + ": larger than 64 KiB; ignored");
    return false;
  }
  if (!ReadAllBounded(fd.Get(), kMaxFileBytes, text)) {  // a read error, or it grew after fstat
    Report(std::string(path) + ": unreadable or larger than 64 KiB; ignored");
    return false;
  }
  return true;
}

}  // namespace

MachinePolicy ReadMachinePolicy() {
  std::string text;
  if (!ReadPolicyText(CORVANE_POLICY_FILE, text)) return MachinePolicy{};
  std::vector<std::string> problems;
  const MachinePolicy policy = DecodePolicy(ParsePolicyFile(text, problems), PolicyForm::File, problems);
  for (const std::string& problem : problems) Report(problem);
  return policy;
}

}  // namespace corvane
