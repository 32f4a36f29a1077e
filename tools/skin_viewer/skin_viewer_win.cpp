// skin_viewer (Windows): opens one layout of a skin archive as a skinned window, saves a PNG of
// it, lists its named controls with kind and rectangle after layout, and times building and
// first paint. Options and output as viewer_options.h says.
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

#include "skin/window_impl_base_win.h"
#include "tools/skin_viewer/viewer_options.h"

namespace {

using namespace corvane;
using namespace corvane::viewer;

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

// Builds the window from the archive (read, inflate, parse, build, lay out) and paints it once
// off screen, `runs` times.
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
  for (const auto& line : BenchReport(o, build, paint)) Print(line);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  Options o;
  if (!Parse(std::vector<std::wstring>(argv + 1, argv + argc), o)) {
    Print(kUsage, true);
    return 2;
  }
  wchar_t full[MAX_PATH] = {};
  GetFullPathNameW(o.zip.c_str(), MAX_PATH, full, nullptr);
  o.zip = full;
  if (o.bench > 0) {
    Bench(o);
    return 0;
  }
  CViewerWindow w(o.zip, o.layout);
  w.Create(nullptr, L"skin_viewer", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 600, 800);
  auto& m = w.Manager();
  for (const auto& d : m.GetDiagnostics()) Print(L"warning: " + d, true);
  if (o.scale > 0) m.SetDpiScale(o.scale);
  Apply(m, o);
  if (o.list) {
    for (const auto& line : List(m)) Print(line);
  }
  if (!o.png.empty()) {
    auto bitmap = m.RenderToBitmap();
    if (!bitmap || !SavePng(*bitmap, o.png)) {
      Print(L"cannot write " + o.png, true);
      return 1;
    }
  }
  const bool built = m.GetRoot() != nullptr;
  DestroyWindow(w);
  return built ? 0 : 1;
}
