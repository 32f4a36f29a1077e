// The viewer's options, changes, listing and report.
#include "tools/skin_viewer/viewer_options.h"

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

#include "base/utf8.h"
#include "skin/button.h"
#include "skin/progress.h"

namespace corvane::viewer {
namespace {

std::pair<std::wstring, std::wstring> SplitAt(const std::wstring& s, wchar_t c) {
  const size_t at = s.find(c);
  if (at == std::wstring::npos) return {s, L""};
  return {s.substr(0, at), s.substr(at + 1)};
}

int ToInt(const std::wstring& s) { return static_cast<int>(std::wcstol(s.c_str(), nullptr, 10)); }

}  // namespace

bool Parse(const std::vector<std::wstring>& args, Options& o) {
  std::vector<std::wstring> positional;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring& a = args[i];
    auto next = [&](std::wstring& out) {
      if (i + 1 >= args.size()) return false;
      out = args[++i];
      return true;
    };
    std::wstring v;
    if (a == L"--png") { if (!next(o.png)) return false; }
    else if (a == L"--scale") { if (!next(v)) return false; o.scale = std::wcstof(v.c_str(), nullptr); }
    else if (a == L"--list") o.list = true;
    else if (a == L"--bench") { if (!next(v)) return false; o.bench = ToInt(v); }
    else if (a == L"--show") { if (!next(v)) return false; o.show.push_back(v); }
    else if (a == L"--hide") { if (!next(v)) return false; o.hide.push_back(v); }
    else if (a == L"--value") { if (!next(v)) return false; o.values.push_back(v); }
    else if (a == L"--images") { if (!next(v)) return false; o.images.push_back(v); }
    else if (a.rfind(L"--", 0) == 0) return false;
    else positional.push_back(a);
  }
  if (positional.size() != 2) return false;
  o.zip = positional[0];
  o.layout = positional[1];
  return true;
}

void Apply(CUiManager& m, const Options& o) {
  for (const auto& n : o.hide) if (auto* c = m.FindControl(n.c_str())) c->SetVisible(false);
  for (const auto& n : o.show) if (auto* c = m.FindControl(n.c_str())) c->SetVisible(true);
  for (const auto& nv : o.values) {
    auto [name, value] = SplitAt(nv, L'=');
    if (auto* bar = m.FindControlAs<CProgressUI>(name.c_str())) bar->SetValue(ToInt(value));
  }
  for (const auto& ni : o.images) {
    auto [name, list] = SplitAt(ni, L'=');
    auto [normal, rest] = SplitAt(list, L',');
    auto [hot, pushed] = SplitAt(rest, L',');
    if (auto* b = m.FindControlAs<CButtonUI>(name.c_str())) {
      b->SetNormalImage(normal.c_str());
      if (!hot.empty()) b->SetHotImage(hot.c_str());
      if (!pushed.empty()) b->SetPushedImage(pushed.c_str());
    }
  }
  m.LayoutIfNeeded();
}

std::vector<std::wstring> List(CUiManager& m) {
  std::vector<std::wstring> lines;
  m.LayoutIfNeeded();
  if (!m.GetRoot()) return lines;
  m.GetRoot()->ForEach([&lines](CControlUI& c) {
    if (c.GetName().IsEmpty()) return;
    const UiRect& r = c.GetPos();
    wchar_t line[512];
    std::swprintf(line, 512, L"%ls\t%ls\t%d,%d,%d,%d\t%ls", c.GetName().GetData(), c.GetClass(), r.left, r.top,
                  r.right, r.bottom, c.IsShownInTree() ? L"visible" : L"hidden");
    lines.push_back(line);
  });
  return lines;
}

std::vector<std::wstring> BenchReport(const Options& o, const std::vector<double>& build,
                                      const std::vector<double>& paint) {
  std::vector<std::wstring> lines;
  auto report = [&](const wchar_t* what, std::vector<double> v) {
    if (v.empty()) return;
    const double first = v.front();
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v) sum += x;
    wchar_t line[256];
    std::swprintf(line, 256, L"%ls\t%ls\tmedian %.0f us\tmean %.0f us\t(%d runs; first %.0f us)", o.layout.c_str(),
                  what, v[v.size() / 2], sum / v.size(), o.bench, first);
    lines.push_back(line);
  };
  report(L"build", build);
  report(L"first paint", paint);
  return lines;
}

void Print(const std::wstring& line, bool toStderr) {
  FILE* to = toStderr ? stderr : stdout;
  const std::string utf8 = WideToUtf8(line);
  std::fwrite(utf8.data(), 1, utf8.size(), to);
  std::fputc('\n', to);
}

}  // namespace corvane::viewer
