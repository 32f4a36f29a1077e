// Handle kinds the paste conversion owns besides the shared ones: global memory blocks and the
// screen's device context.
#pragma once

#include <windows.h>

#include "base/unique_handle_win.h"

namespace corvane {

struct GlobalMemoryTraits {
  using Handle = HGLOBAL;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { GlobalFree(h); }
};
using UniqueGlobalMemory = UniqueHandle<GlobalMemoryTraits>;

// GetDC(nullptr): the screen's context, given back with ReleaseDC(nullptr, ...).
struct ScreenDcTraits {
  using Handle = HDC;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle h) { return h != nullptr; }
  static void Close(Handle h) { ReleaseDC(nullptr, h); }
};
using UniqueScreenDc = UniqueHandle<ScreenDcTraits>;

}  // namespace corvane
