// Fuzzes the layout builder (tinyxml2 under CDialogBuilder) and the layout, hit testing, input
// state and painting of the tree it builds: a layout is read from the skin archive beside the
// program. Checks, besides the sanitizers: those of layout_checks.h.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "skin/fuzz/layout_checks.h"
#include "skin/tests/test_skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto skin = std::make_shared<corvane::test::CMemorySkin>();
  skin->Add(L"layout.xml", std::string(reinterpret_cast<const char*>(data), size)).Add(L"a.png", "");
  corvane::CUiManager manager;
  manager.LoadLayout(skin, L"layout.xml");
  corvane::fuzz::CheckLayout(manager);
  return 0;
}
