// The accessibility description: roles, names and states from the control tree, and the two
// things a screen reader may do (activate, focus) through the manager's own paths.
#include "skin/accessible.h"

#include "skin/button.h"
#include "skin/container.h"
#include "skin/progress.h"
#include "skin/ui_manager.h"

namespace corvane {
namespace {

UiAccRole RoleOf(const CControlUI& c) {
  if (dynamic_cast<const CCheckBoxUI*>(&c)) return UiAccRole::CheckBox;
  if (auto* option = dynamic_cast<const COptionUI*>(&c)) {
    return option->GetGroup().empty() ? UiAccRole::ToggleButton : UiAccRole::RadioButton;
  }
  if (dynamic_cast<const CButtonUI*>(&c)) return UiAccRole::PushButton;
  if (dynamic_cast<const CProgressUI*>(&c)) return UiAccRole::ProgressBar;
  if (dynamic_cast<const CLabelUI*>(&c)) return UiAccRole::StaticText;
  return UiAccRole::Container;
}

}  // namespace

bool IsAccessibleControl(const CControlUI& c) {
  if (dynamic_cast<const CContainerUI*>(&c)) return false;
  if (c.IsClickable() || dynamic_cast<const CProgressUI*>(&c)) return true;
  // Labels speak their text; a plain Control (spacer, line, picture) speaks only a tooltip.
  if (dynamic_cast<const CLabelUI*>(&c)) return !c.GetText().IsEmpty() || !c.GetToolTip().IsEmpty();
  return false;
}

std::vector<CControlUI*> AccessibleChildren(CUiManager& ui) {
  std::vector<CControlUI*> children;
  if (!ui.GetRoot()) return children;
  ui.GetRoot()->ForEach([&children](CControlUI& c) {
    if (IsAccessibleControl(c) && c.IsShownInTree()) children.push_back(&c);
  });
  return children;
}

std::wstring ToolTipFor(const CControlUI& control) {
  return control.GetText().IsEmpty() ? control.GetToolTip().str() : std::wstring();
}

std::wstring AccessibleWindowName(CUiManager& ui) {
  ui.LayoutIfNeeded();
  const int band = ui.GetWindowAttributes().caption.bottom;
  for (CControlUI* c : AccessibleChildren(ui)) {
    if (RoleOf(*c) == UiAccRole::StaticText && c->GetPos().top < band && !c->GetText().IsEmpty()) {
      return c->GetText().str();
    }
  }
  return std::wstring();
}

UiAccDescription DescribeControl(CControlUI& c) {
  if (c.GetManager()) c.GetManager()->LayoutIfNeeded();
  UiAccDescription d;
  d.role = RoleOf(c);
  d.name = c.GetText().IsEmpty() ? c.GetToolTip().str() : c.GetText().str();
  d.states.enabled = c.IsEnabledInTree();
  d.states.visible = c.IsShownInTree();
  d.states.showing = d.states.visible && !c.GetPos().IsEmpty();
  d.states.focusable = c.IsFocusable();
  d.states.focused = c.IsFocused();
  if (auto* option = dynamic_cast<const COptionUI*>(&c)) {
    d.states.checkable = true;
    d.states.checked = option->IsSelected();
  }
  if (c.IsClickable()) d.defaultAction = L"click";
  d.rect = c.GetPos();
  if (auto* bar = dynamic_cast<const CProgressUI*>(&c)) {
    d.hasValue = true;
    d.value = bar->GetValue();
    d.minValue = bar->GetMinValue();
    d.maxValue = bar->GetMaxValue();
  }
  return d;
}

CControlUI* AccessibleControlAt(CUiManager& ui, UiPoint p) {
  for (CControlUI* c = ui.FindControlAt(p); c != nullptr; c = c->GetParent()) {
    if (IsAccessibleControl(*c)) return c;
  }
  return nullptr;
}

bool DoAccessibleAction(CUiManager& ui, CControlUI& control) {
  return control.GetManager() == &ui && ui.Activate(control);
}

bool TakeAccessibleFocus(CUiManager& ui, CControlUI& control) {
  if (control.GetManager() != &ui) return false;
  ui.SetFocus(&control, true);
  return ui.GetFocus() == &control;
}

}  // namespace corvane
