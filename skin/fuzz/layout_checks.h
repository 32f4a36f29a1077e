// What both skin fuzz targets ask of a window built from a fuzzed layout: laid out at the
// layout's own size and at a common one, every control shown has a rectangle that is not
// inverted, a point of a shown control that its containers leave reachable (a container owns
// its area: what overflows it is not hit there) finds a shown control holding that point, the
// focus order holds only focusable, shown and enabled controls, a screen reader sees only shown
// controls and bars within their range, and painting, clicks and keys
// run clean.
#pragma once

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "skin/accessible.h"
#include "skin/ui_manager.h"

namespace corvane::fuzz {

inline void Check(bool condition) {
  if (!condition) std::abort();
}

// Painting into nothing: only the painting code's own arithmetic runs.
class NullRender : public IRenderTarget {
 public:
  void FillRect(const UiRect&, UiColor, int) override {}
  void DrawBorder(const UiRect&, UiColor, int, int) override {}
  bool DrawImage(const std::wstring&, const UiRect&) override { return false; }
  void DrawString(const std::wstring&, const UiRect&, int, UiColor, const UiTextStyle&) override {}
  void DrawFocusMark(const UiRect&, int) override {}
};

inline void CheckLayoutAt(CUiManager& manager, UiSize size) {
  manager.SetClientSize(size);
  manager.LayoutIfNeeded();
  std::vector<CControlUI*> shown;
  manager.GetRoot()->ForEach([&](CControlUI& control) {
    if (control.IsShownInTree()) shown.push_back(&control);
  });
  for (CControlUI* control : shown) {
    const UiRect& rc = control->GetPos();
    Check(rc.right >= rc.left && rc.bottom >= rc.top);
    UiRect reachable = rc;
    for (const CControlUI* up = control->GetParent(); up != nullptr; up = up->GetParent()) {
      const UiRect& p = up->GetPos();
      reachable = UiRect{std::max(reachable.left, p.left), std::max(reachable.top, p.top),
                         std::min(reachable.right, p.right), std::min(reachable.bottom, p.bottom)};
    }
    if (reachable.IsEmpty()) continue;
    const UiPoint centre{reachable.left + reachable.Width() / 2, reachable.top + reachable.Height() / 2};
    CControlUI* hit = manager.FindControlAt(centre);
    Check(hit != nullptr && hit->IsShownInTree() && hit->GetPos().Contains(centre));
    manager.MouseMove(centre);
    if (manager.ButtonDown(centre)) manager.ButtonUp(centre);
  }
  for (CControlUI* control : manager.GetFocusOrder()) {
    Check(control->IsFocusable() && control->IsShownInTree() && control->IsEnabledInTree());
  }
  for (CControlUI* control : AccessibleChildren(manager)) {
    const UiAccDescription d = DescribeControl(*control);
    Check(d.states.visible && (!d.states.focused || d.states.focusable));
    Check(!d.hasValue || (d.minValue <= d.value && d.value <= d.maxValue));
  }
  for (UiKey key : {UiKey::Tab, UiKey::Tab, UiKey::Space, UiKey::ShiftTab, UiKey::Enter}) manager.KeyDown(key);
  NullRender render;
  manager.Paint(render);
  manager.MouseLeave();
}

inline void CheckLayout(CUiManager& manager) {
  if (manager.GetRoot() == nullptr) return;
  const UiSize own = manager.GetWindowAttributes().size;
  if (own.cx > 0 && own.cy > 0) CheckLayoutAt(manager, own);
  CheckLayoutAt(manager, UiSize{640, 480});
}

}  // namespace corvane::fuzz
