// Where the homework service lives. The host is a deployment value: the build's default
// (CORVANE_DEFAULT_SERVICE_HOST, the bundled demo service unless a build says otherwise),
// overridden at run time by the environment variable CORVANE_SERVICE_HOST.
#pragma once

#include <string>

namespace corvane {

// "host" or "host:port", without scheme or path.
std::wstring GetServiceHost();

// "http://" + GetServiceHost() + path; `path` starts with "/".
std::wstring ServiceUrl(const std::wstring& path);

}  // namespace corvane
