// A small HTTP server of the tests on 127.0.0.1 (an ephemeral port): fixed pages by path, one
// of them answered only after a delay so that a load can be replaced or stopped meanwhile.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace corvane {

class CLoopbackServer {
 public:
  explicit CLoopbackServer(std::map<std::string, std::string> pages, std::string slowPath = "/slow");
  ~CLoopbackServer();
  int Port() const { return m_port; }
  std::wstring Url(const std::wstring& path) const;
  // The Accept-Language header of the last request.
  std::string LastAcceptLanguage();

 private:
  void Serve();

  std::map<std::string, std::string> m_pages;
  std::string m_slowPath;
  SOCKET m_listener = INVALID_SOCKET;
  int m_port = 0;
  std::atomic<bool> m_stop{false};
  std::mutex m_lock;
  std::string m_acceptLanguage;
  std::thread m_thread;
};

// A loopback port on which nothing listens, held for the rest of the run.
int ClosedLoopbackPort();

}  // namespace corvane
