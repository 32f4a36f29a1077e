// What both skin viewers share: the command line, the changes it asks for (--hide, --show,
// --value, --images), the control listing and the timing report, all over the portable
// manager, so both hosts answer in the same format.
#pragma once

#include <string>
#include <vector>

#include "skin/ui_manager.h"

namespace corvane::viewer {

inline constexpr wchar_t kUsage[] =
    L"usage: skin_viewer SKIN.zip LAYOUT.xml [--png FILE] [--scale S] [--list]\n"
    L"                   [--show NAME] [--hide NAME] [--value NAME=N] [--images NAME=NORMAL,HOT,PUSHED]\n"
    L"                   [--bench N]\n";

struct Options {
  std::wstring zip, layout, png;
  float scale = 0;
  bool list = false;
  int bench = 0;
  std::vector<std::wstring> show, hide, values, images;
};

// The arguments after the program's name; false on a mistake (print kUsage).
bool Parse(const std::vector<std::wstring>& args, Options& o);
// Hides, shows, sets values and images as asked, then lays the window out.
void Apply(CUiManager& m, const Options& o);
// One line per named control in layout order: name, kind, l,t,r,b, visible|hidden (tabs).
std::vector<std::wstring> List(CUiManager& m);
// The two lines of --bench: median, mean and first run of building and of the first paint,
// in microseconds.
std::vector<std::wstring> BenchReport(const Options& o, const std::vector<double>& build,
                                      const std::vector<double>& paint);
// UTF-8 lines to stdout (or stderr).
void Print(const std::wstring& line, bool toStderr = false);

}  // namespace corvane::viewer
