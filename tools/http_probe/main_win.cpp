// http_probe's entry point on Windows: wide arguments from the C runtime.
#include <vector>

#include "tools/http_probe/http_probe.h"

int wmain(int argc, wchar_t** argv) {
  return corvane::RunHttpProbe(std::vector<std::wstring>(argv + 1, argv + argc));
}
