// Test server lookup and the event-running helper.
#include "http/tests/test_server.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "http/event_window.h"

namespace corvane {
namespace testing_server {

Address Server() {
  static Address address;
  if (address.port != 0) return address;
  std::FILE* file = std::fopen("http_test_server.txt", "r");
  if (file == nullptr) {
    ADD_FAILURE() << "http_test_server.txt missing: the server fixture did not run";
    return address;
  }
  char key[32];
  int value = 0;
  while (std::fscanf(file, "%31s %d", key, &value) == 2) {
    if (std::strcmp(key, "port") == 0) address.port = value;
    if (std::strcmp(key, "refused_port") == 0) address.refusedPort = value;
  }
  std::fclose(file);
  return address;
}

std::wstring Url(const std::wstring& path) {
  return L"http://127.0.0.1:" + std::to_wstring(Server().port) + path;
}

std::wstring RefusedUrl(const std::wstring& path) {
  return L"http://127.0.0.1:" + std::to_wstring(Server().refusedPort) + path;
}

std::wstring UnresolvableUrl(const std::wstring& path) {
  return L"http://" + std::wstring(70, L'x') + L".invalid" + path;
}

bool IsPattern(const std::string& body) {
  for (size_t i = 0; i < body.size(); ++i) {
    if (static_cast<unsigned char>(body[i]) != i % 251) return false;
  }
  return true;
}

bool RunUntil(const std::function<bool()>& done, int timeoutMs) { return PumpEventsUntil(done, timeoutMs); }

}  // namespace testing_server
}  // namespace corvane
