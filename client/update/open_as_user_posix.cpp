// OpenAsUser: fork(2), setgroups/setgid/setuid, open(2), the descriptor back as SCM_RIGHTS.
#include "client/update/open_as_user_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

namespace corvane {
namespace {

constexpr int kAnswerFd = 3;  // the child's socket, every other descriptor above it closed

// The child's one message: the open's errno, 0 with the descriptor attached.
void Answer(int error, int fd) {
  iovec data{&error, sizeof(error)};
  msghdr message{};
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  if (fd >= 0) {
    message.msg_control = control;
    message.msg_controllen = sizeof(control);
    cmsghdr* header = CMSG_FIRSTHDR(&message);
    header->cmsg_level = SOL_SOCKET;
    header->cmsg_type = SCM_RIGHTS;
    header->cmsg_len = CMSG_LEN(sizeof(int));
    std::memcpy(CMSG_DATA(header), &fd, sizeof(int));
  }
  while (::sendmsg(kAnswerFd, &message, MSG_NOSIGNAL) < 0 && errno == EINTR) {
  }
}

[[noreturn]] void OpenInChild(int socket, const UserIdentity& user, const char* path, int flags) {
  // Nothing root opened stays reachable from a process the user owns.
  if (::dup2(socket, kAnswerFd) != kAnswerFd || ::close_range(kAnswerFd + 1, ~0U, 0) != 0) ::_exit(1);
  if (::setgroups(1, &user.gid) != 0 || ::setgid(user.gid) != 0 || ::setuid(user.uid) != 0 ||
      ::getuid() != user.uid || ::geteuid() != user.uid || ::getegid() != user.gid) {
    Answer(EPERM, -1);
    ::_exit(1);
  }
  const int fd = ::open(path, flags);
  Answer(fd < 0 ? errno : 0, fd);
  ::_exit(0);
}

}  // namespace

UniqueFd OpenAsUser(const UserIdentity& user, const std::string& path, int flags, int& error) {
  int pair[2];
  if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, pair) != 0) {
    error = errno;
    return UniqueFd();
  }
  UniqueFd ours(pair[0]), theirs(pair[1]);
  const pid_t child = ::fork();
  if (child < 0) {
    error = errno;
    return UniqueFd();
  }
  if (child == 0) OpenInChild(theirs.Get(), user, path.c_str(), flags);
  theirs.Reset();  // so that a child gone without a word ends the read

  int childError = EIO;
  iovec data{&childError, sizeof(childError)};
  alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
  msghdr message{};
  message.msg_iov = &data;
  message.msg_iovlen = 1;
  message.msg_control = control;
  message.msg_controllen = sizeof(control);
  ssize_t got;
  while ((got = ::recvmsg(ours.Get(), &message, MSG_CMSG_CLOEXEC)) < 0 && errno == EINTR) {
  }
  UniqueFd opened;
  if (got == static_cast<ssize_t>(sizeof(childError))) {
    for (cmsghdr* header = CMSG_FIRSTHDR(&message); header; header = CMSG_NXTHDR(&message, header)) {
      if (header->cmsg_level == SOL_SOCKET && header->cmsg_type == SCM_RIGHTS) {
        int fd;
        std::memcpy(&fd, CMSG_DATA(header), sizeof(int));
        opened.Reset(fd);
      }
    }
  } else {
    childError = EIO;
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  if (!opened.Valid()) error = childError != 0 ? childError : EIO;
  return opened;
}

}  // namespace corvane
