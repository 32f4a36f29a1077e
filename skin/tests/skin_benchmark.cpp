// Building each window of the skin from the archive: read skin.zip from disk, index it, inflate
// the layout, parse it, build the tree and lay it out at the layout's size.
#include <benchmark/benchmark.h>

#include "skin/resource_source.h"
#include "skin/ui_manager.h"
#include "base/utf8.h"

namespace corvane {
namespace {

const wchar_t* const kLayouts[] = {L"main_tool_bar.xml", L"tool_bar_menu.xml", L"setting_dlg.xml",
                                   L"close_prompt_dlg.xml", L"update_prompt_dlg.xml", L"about_dlg.xml",
                                   L"uninstall_dlg.xml"};

void BuildWindow(benchmark::State& state) {
  const std::wstring layout = kLayouts[state.range(0)];
  state.SetLabel(WideToUtf8(layout));
  const std::wstring zip = Utf8ToWide(CORVANE_TEST_SKIN_ZIP);
  for (auto _ : state) {
    std::shared_ptr<const IResourceSource> skin = CZipResourceSource::OpenFile(zip, L"");
    CUiManager manager;
    if (!manager.LoadLayout(skin, layout)) state.SkipWithError("layout did not build");
    manager.SetClientSize(manager.GetWindowAttributes().size);
    manager.LayoutIfNeeded();
    benchmark::DoNotOptimize(manager.GetRoot());
  }
}
BENCHMARK(BuildWindow)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

// The same with the archive already read and indexed: what a second window of a program pays
// when the archive is shared.
void BuildWindowFromOpenArchive(benchmark::State& state) {
  const std::wstring layout = kLayouts[state.range(0)];
  state.SetLabel(WideToUtf8(layout));
  std::shared_ptr<const IResourceSource> skin = CZipResourceSource::OpenFile(Utf8ToWide(CORVANE_TEST_SKIN_ZIP), L"");
  for (auto _ : state) {
    CUiManager manager;
    manager.LoadLayout(skin, layout);
    manager.SetClientSize(manager.GetWindowAttributes().size);
    manager.LayoutIfNeeded();
    benchmark::DoNotOptimize(manager.GetRoot());
  }
}
BENCHMARK(BuildWindowFromOpenArchive)->DenseRange(0, 6)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace corvane
