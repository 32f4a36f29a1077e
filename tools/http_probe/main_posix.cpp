// http_probe's entry point on POSIX: arguments widened from the locale's encoding.
#include <clocale>
#include <vector>

#include "base/ansi.h"
#include "tools/http_probe/http_probe.h"

int main(int argc, char** argv) {
  std::setlocale(LC_ALL, "");
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(corvane::AnsiToWide(argv[i]));
  return corvane::RunHttpProbe(args);
}
