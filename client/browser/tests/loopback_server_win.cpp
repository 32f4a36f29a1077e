// The tests' loopback HTTP server.
#include "client/browser/tests/loopback_server_win.h"

#include <ws2tcpip.h>

#include <mutex>

namespace corvane {

namespace {
SOCKET BoundLoopbackSocket(int* port) {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  int length = sizeof(address);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return s;
}
}  // namespace

int ClosedLoopbackPort() {
  // Bound, never listening, and kept for the rest of the run: a connection is refused, and no
  // server of a test running beside this one can take the port meanwhile (a closed port could).
  int port = 0;
  BoundLoopbackSocket(&port);
  return port;
}

CLoopbackServer::CLoopbackServer(std::map<std::string, std::string> pages, std::string slowPath)
    : m_pages(std::move(pages)), m_slowPath(std::move(slowPath)) {
  m_listener = BoundLoopbackSocket(&m_port);
  listen(m_listener, 16);
  m_thread = std::thread([this] { Serve(); });
}

CLoopbackServer::~CLoopbackServer() {
  m_stop = true;
  closesocket(m_listener);
  m_thread.join();
}

std::wstring CLoopbackServer::Url(const std::wstring& path) const {
  return L"http://127.0.0.1:" + std::to_wstring(m_port) + path;
}

std::string CLoopbackServer::LastAcceptLanguage() {
  std::lock_guard<std::mutex> lock(m_lock);
  return m_acceptLanguage;
}

void CLoopbackServer::Serve() {
  while (!m_stop) {
    SOCKET client = accept(m_listener, nullptr, nullptr);
    if (client == INVALID_SOCKET) return;
    std::thread([this, client] {
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        const int n = recv(client, buffer, sizeof(buffer), 0);
        if (n <= 0) break;
        request.append(buffer, n);
      }
      const size_t pathStart = request.find(' ') + 1;
      const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
      const size_t language = request.find("Accept-Language: ");
      if (language != std::string::npos) {
        std::lock_guard<std::mutex> lock(m_lock);
        m_acceptLanguage = request.substr(language + 17, request.find("\r\n", language) - language - 17);
      }
      if (path == m_slowPath) Sleep(3000);
      auto page = m_pages.find(path);
      const std::string body = page == m_pages.end() ? "<title>missing</title>" : page->second;
      const std::string response = std::string(page == m_pages.end() ? "HTTP/1.1 404 Not Found" : "HTTP/1.1 200 OK") +
                                   "\r\nContent-Type: text/html; charset=utf-8\r\nConnection: close\r\nContent-Length: " +
                                   std::to_string(body.size()) + "\r\n\r\n" + body;
      send(client, response.data(), static_cast<int>(response.size()), 0);
      shutdown(client, SD_SEND);
      closesocket(client);
    }).detach();
  }
}

}  // namespace corvane
