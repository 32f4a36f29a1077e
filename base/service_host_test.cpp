// The service host: the build's default, and the run-time override.
#include "base/service_host.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace corvane {
namespace {

void SetHostVariable(const char* value) {
#ifdef _WIN32
  _putenv_s("CORVANE_SERVICE_HOST", value);
#else
  setenv("CORVANE_SERVICE_HOST", value, 1);
#endif
}

TEST(ServiceHost, DefaultsToTheBuildSettingAndHonoursTheEnvironment) {
  SetHostVariable("");
  const std::string defaultHost = CORVANE_DEFAULT_SERVICE_HOST;
  EXPECT_EQ(GetServiceHost(), std::wstring(defaultHost.begin(), defaultHost.end()));
  EXPECT_EQ(ServiceUrl(L"/Problem.html"), L"http://" + GetServiceHost() + L"/Problem.html");
  SetHostVariable("school.example:8080");
  EXPECT_EQ(GetServiceHost(), L"school.example:8080");
  EXPECT_EQ(ServiceUrl(L"/update/Version.aspx"), L"http://school.example:8080/update/Version.aspx");
  SetHostVariable("");
}

}  // namespace
}  // namespace corvane
