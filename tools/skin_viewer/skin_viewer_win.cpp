// skin_viewer: opens one layout of a skin archive as a skinned window, saves a PNG of it, lists
// its named controls with kind and rectangle after layout, and times building and first paint.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "skin/window_impl_base_win.h"

namespace {

using namespace corvane;

constexpr wchar_t kUsage[] =
    L"usage: skin_viewer SKIN.zip LAYOUT.xml [--png FILE] [--scale S] [--list]\n"
    L"                   [--show NAME] [--hide NAME] [--value NAME=N] [--images NAME=NORMAL,HOT,PUSHED]\n"
    L"                   [--bench N]\n";

class CViewerWindow : public WindowImplBase {
 public:
  CViewerWindow(std::wstring zip, std::wstring layout) : m_zip(std::move(zip)), m_layout(std::move(layout)) {}
  LPCWSTR GetWindowClassName() const override { return L"CorvaneSkinViewer"; }
  CDuiString GetSkinFile() override { return m_layout; }
  CDuiString GetZIPFileName() const override { return m_zip; }
  CPaintManagerUI& Manager() { return m_PaintManager; }

 private:
  std::wstring m_zip;
  std::wstring m_layout;
};

struct Options {
  std::wstring zip, layout, png;
  float scale = 0;
  bool list = false;
  int bench = 0;
  std::vector<std::wstring> show, hide, values, images;
};

bool Parse(int argc, wchar_t** argv, Options& o) {
  std::vector<std::wstring> positional;
  for (int i = 1; i < argc; ++i) {
    const std::wstring a = argv[i];
    auto next = [&](std::wstring& out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::wstring v;
    if (a == L"--png") { if (!next(o.png)) return false; }
    else if (a == L"--scale") { if (!next(v)) return false; o.scale = static_cast<float>(_wtof(v.c_str())); }
    else if (a == L"--list") o.list = true;
    else if (a == L"--bench") { if (!next(v)) return false; o.bench = _wtoi(v.c_str()); }
    else if (a == L"--show") { if (!next(v)) return false; o.show.push_back(v); }
    else if (a == L"--hide") { if (!next(v)) return false; o.hide.push_back(v); }
    else if (a == L"--value") { if (!next(v)) return false; o.values.push_back(v); }
    else if (a == L"--images") { if (!next(v)) return false; o.images.push_back(v); }
    else if (a.rfind(L"--", 0) == 0) return false;
    else positional.push_back(a);
  }
  if (positional.size() != 2) return false;
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(positional[0].c_str(), MAX_PATH, full, nullptr);
  o.zip = full;
  o.layout = positional[1];
  return true;
}

void Print(const std::wstring& line, FILE* to = stdout) {
  const std::string utf8 = WideToUtf8(line);
  std::fwrite(utf8.data(), 1, utf8.size(), to);
  std::fputc('\n', to);
}

std::pair<std::wstring, std::wstring> SplitAt(const std::wstring& s, wchar_t c) {
  const size_t at = s.find(c);
  if (at == std::wstring::npos) return {s, L""};
  return {s.substr(0, at), s.substr(at + 1)};
}

void Apply(CPaintManagerUI& m, const Options& o) {
  for (const auto& n : o.hide) if (auto* c = m.FindControl(n.c_str())) c->SetVisible(false);
  for (const auto& n : o.show) if (auto* c = m.FindControl(n.c_str())) c->SetVisible(true);
  for (const auto& nv : o.values) {
    auto [name, value] = SplitAt(nv, L'=');
    if (auto* bar = m.FindControlAs<CProgressUI>(name.c_str())) bar->SetValue(_wtoi(value.c_str()));
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

void List(CPaintManagerUI& m) {
  if (!m.GetRoot()) return;
  m.GetRoot()->ForEach([](CControlUI& c) {
    if (c.GetName().IsEmpty()) return;
    const UiRect& r = c.GetPos();
    wchar_t line[512];
    swprintf(line, 512, L"%ls\t%ls\t%d,%d,%d,%d\t%ls", c.GetName().GetData(), c.GetClass(), r.left, r.top, r.right,
             r.bottom, c.IsShownInTree() ? L"visible" : L"hidden");
    Print(line);
  });
}

// Builds the window from the archive (read, inflate, parse, build, lay out) and paints it once
// off screen, `runs` times; prints the median and mean of both parts.
void Bench(const Options& o) {
  std::vector<double> build, paint;
  HDC screen = GetDC(nullptr);
  for (int i = 0; i < o.bench; ++i) {
    CViewerWindow w(o.zip, o.layout);
    const auto t0 = std::chrono::steady_clock::now();
    w.Create(nullptr, L"bench", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 600, 800);
    const auto t1 = std::chrono::steady_clock::now();
    RECT rc;
    GetClientRect(w, &rc);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    w.Manager().PaintTo(memory, rc.right, rc.bottom);
    const auto t2 = std::chrono::steady_clock::now();
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    DestroyWindow(w);
    build.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    paint.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
  }
  ReleaseDC(nullptr, screen);
  auto report = [&](const wchar_t* what, std::vector<double> v) {
    std::sort(v.begin(), v.end());
    double sum = 0;
    for (double x : v) sum += x;
    wchar_t line[256];
    swprintf(line, 256, L"%ls\t%ls\tmedian %.0f us\tmean %.0f us\t(%d runs; first %.0f us)", o.layout.c_str(), what,
             v[v.size() / 2], sum / v.size(), o.bench, what[0] == L'b' ? build.front() : paint.front());
    Print(line);
  };
  report(L"build", build);
  report(L"first paint", paint);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options o;
  if (!Parse(argc, argv, o)) {
    Print(kUsage, stderr);
    return 2;
  }
  if (o.bench > 0) {
    Bench(o);
    return 0;
  }
  CViewerWindow w(o.zip, o.layout);
  w.Create(nullptr, L"skin_viewer", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 600, 800);
  auto& m = w.Manager();
  for (const auto& d : m.GetDiagnostics()) Print(L"warning: " + d, stderr);
  if (o.scale > 0) m.SetDpiScale(o.scale);
  Apply(m, o);
  if (o.list) List(m);
  if (!o.png.empty()) {
    auto bitmap = m.RenderToBitmap();
    if (!bitmap || !SavePng(*bitmap, o.png)) {
      Print(L"cannot write " + o.png, stderr);
      return 1;
    }
  }
  const bool built = m.GetRoot() != nullptr;
  DestroyWindow(w);
  return built ? 0 : 1;
}
