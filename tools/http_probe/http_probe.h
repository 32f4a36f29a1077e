// http_probe: one request through g_httpManager, reported on standard output.
#pragma once

#include <string>
#include <vector>

namespace corvane {

// Arguments without the program name. Exit codes: 0 a response that the completeness rule
// accepts, 1 no response or a rejected body, 2 bad arguments.
int RunHttpProbe(const std::vector<std::wstring>& args);

}  // namespace corvane
