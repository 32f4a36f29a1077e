// Service host lookup; host names are ASCII (IDNs arrive in punycode), so widening byte by
// byte is exact.
#include "base/service_host.h"

#include <cstdlib>

#ifndef CORVANE_DEFAULT_SERVICE_HOST
#error "the build defines CORVANE_DEFAULT_SERVICE_HOST"
#endif

namespace corvane {

std::wstring GetServiceHost() {
  const char* fromEnv = std::getenv("CORVANE_SERVICE_HOST");
  const std::string host = (fromEnv != nullptr && *fromEnv != '\0') ? fromEnv : CORVANE_DEFAULT_SERVICE_HOST;
  return std::wstring(host.begin(), host.end());
}

std::wstring ServiceUrl(const std::wstring& path) { return L"http://" + GetServiceHost() + path; }

}  // namespace corvane
