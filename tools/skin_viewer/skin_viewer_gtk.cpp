// skin_viewer (GTK): the same viewer on the GTK host — one layout of a skin archive as a
// skinned window, a PNG of it, its named controls with kind and rectangle, and the times of
// building and first paint. Options and output as viewer_options.h says.
#include <gtk/gtk.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "skin/window_impl_base_gtk.h"
#include "tools/skin_viewer/viewer_options.h"

namespace {

using namespace corvane;
using namespace corvane::viewer;

class CViewerWindow : public WindowImplBase {
 public:
  CViewerWindow(std::wstring zip, std::wstring layout) : m_zip(std::move(zip)), m_layout(std::move(layout)) {}
  const wchar_t* GetWindowClassName() const override { return L"CorvaneSkinViewer"; }
  CDuiString GetSkinFile() override { return m_layout; }
  CDuiString GetZIPFileName() const override { return m_zip; }
  CPaintManagerUI& Manager() { return m_PaintManager; }

 private:
  std::wstring m_zip;
  std::wstring m_layout;
};

// Builds the window from the archive (read, inflate, parse, build, lay out) and paints it once
// off screen, `runs` times.
void Bench(const Options& o) {
  std::vector<double> build, paint;
  for (int i = 0; i < o.bench; ++i) {
    CViewerWindow w(o.zip, o.layout);
    const auto t0 = std::chrono::steady_clock::now();
    w.Create(nullptr, L"bench", UI_WS_POPUP, 0, 0, 0, 600, 800);
    const auto t1 = std::chrono::steady_clock::now();
    w.Manager().RenderToSurface();
    const auto t2 = std::chrono::steady_clock::now();
    build.push_back(std::chrono::duration<double, std::micro>(t1 - t0).count());
    paint.push_back(std::chrono::duration<double, std::micro>(t2 - t1).count());
  }
  for (const auto& line : BenchReport(o, build, paint)) Print(line);
}

}  // namespace

int main(int argc, char** argv) {
  gtk_init(&argc, &argv);
  std::vector<std::wstring> args;
  for (int i = 1; i < argc; ++i) args.push_back(Utf8ToWide(argv[i]));
  Options o;
  if (!Parse(args, o)) {
    Print(kUsage, true);
    return 2;
  }
  if (char* full = realpath(WideToUtf8(o.zip).c_str(), nullptr)) {
    o.zip = Utf8ToWide(full);
    free(full);
  }
  if (o.bench > 0) {
    Bench(o);
    return 0;
  }
  CViewerWindow w(o.zip, o.layout);
  w.Create(nullptr, L"skin_viewer", UI_WS_POPUP, 0, 0, 0, 600, 800);
  auto& m = w.Manager();
  for (const auto& d : m.GetDiagnostics()) Print(L"warning: " + d, true);
  if (o.scale > 0) m.SetDpiScale(o.scale);
  Apply(m, o);
  if (o.list) {
    for (const auto& line : List(m)) Print(line);
  }
  if (!o.png.empty()) {
    auto surface = m.RenderToSurface();
    if (!SavePng(surface.get(), o.png)) {
      Print(L"cannot write " + o.png, true);
      return 1;
    }
  }
  return m.GetRoot() != nullptr ? 0 : 1;
}
