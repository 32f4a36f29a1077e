// Where the tests' HTTP server listens (read from the state file its fixture writes into the
// test's working directory), URLs on it, and small helpers to run the engine until a condition.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {
namespace testing_server {

struct Address {
  int port = 0;
  int refusedPort = 0;
};

// Fails the current test (and returns zeros) when the state file is missing.
Address Server();
// "http://127.0.0.1:<port>" + path.
std::wstring Url(const std::wstring& path);
// A port on 127.0.0.1 where connections are refused.
std::wstring RefusedUrl(const std::wstring& path);
// A host name that cannot be resolved, and is refused by the resolver before any query is
// sent: its first label is longer than DNS allows. It lies under the reserved ".invalid".
std::wstring UnresolvableUrl(const std::wstring& path);

// Byte i of a server body is i % 251.
bool IsPattern(const std::string& body);

// Runs the thread's events until done() or the time is up.
bool RunUntil(const std::function<bool()>& done, int timeoutMs = 10000);

}  // namespace testing_server
}  // namespace corvane
