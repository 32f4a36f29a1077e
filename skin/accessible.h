// The accessibility description of a skinned window, shared by the GTK host (ATK) and the Win32
// host (IAccessible): which controls a screen reader sees, their role, name, states, default
// action, rectangle and value, and the two things it may do to them (activate, focus).
//
// A host exposes one object for the window whose children are AccessibleChildren(ui), in that
// order. The children are flat: layout containers and plain decorative controls are not
// exposed, and neither is anything hidden (a hidden page's controls come back when it is
// shown, with a Children change). A child is identified by its CControlUI pointer, which stays
// valid until a Children change says otherwise; re-read the list then.
//
// Changes arrive through CUiManager::SetAccessibleListener:
//   Focus    — `control` took the keyboard focus (null: none has it). The control that lost it
//              gets a State change first.
//   State    — any of `control`'s states or its name changed (enabled, focused, checked, text,
//              tooltip): describe it again and compare.
//   Value    — a progress bar's value changed.
//   Children — the list of children may have changed (a control shown or hidden, added, or a
//              new tree): `control` is where it happened, null for the whole window.
//
// Names: a control with visible text is named by that text, otherwise by its layout `tooltip`;
// the internal name (`button_back`) is never used. Tooltips shown to sighted users are
// ToolTipFor(control): the tooltip of a control without visible text.
#pragma once

#include <string>
#include <vector>

#include "skin/ui_types.h"

namespace corvane {

class CControlUI;
class CUiManager;

enum class UiAccRole {
  PushButton,    // Button
  ToggleButton,  // Option without a group: toggles on each click
  RadioButton,   // Option in a group: one selected per group
  CheckBox,      // CheckBox
  StaticText,    // Label, Text
  ProgressBar,   // Progress
  Container,     // the window itself
};

enum class UiAccChange { Focus, State, Value, Children };

struct UiAccStates {
  bool enabled = false;    // enabled itself and through every ancestor
  bool focusable = false;  // takes the keyboard focus (Tab reaches it)
  bool focused = false;    // has the keyboard focus within the window
  bool checkable = false;  // toggle, radio button, check box
  bool checked = false;
  bool visible = false;    // shown itself and through every ancestor
  bool showing = false;    // visible and with a non-empty rectangle
};

struct UiAccDescription {
  UiAccRole role = UiAccRole::Container;
  std::wstring name;           // empty only for a control the skin left unnamed (a fault)
  UiAccStates states;
  std::wstring defaultAction;  // "click" for the actionable roles, else empty
  UiRect rect;                 // logical client coordinates (hosts scale and offset it)
  bool hasValue = false;       // a progress bar: value within [minValue, maxValue]
  int value = 0;
  int minValue = 0;
  int maxValue = 0;
};

// The shown, exposed controls of the window in layout (and tab) order; empty without a tree.
std::vector<CControlUI*> AccessibleChildren(CUiManager& ui);
// Whether a screen reader sees the control at all (as a child, when shown).
bool IsAccessibleControl(const CControlUI& control);
// Lays the window out first when needed, so the rectangle is current.
UiAccDescription DescribeControl(CControlUI& control);
// The exposed control at a logical client point (nearest exposed ancestor of the hit), or null.
CControlUI* AccessibleControlAt(CUiManager& ui, UiPoint p);
std::wstring ToolTipFor(const CControlUI& control);
// The window's spoken title: the text of the first label inside the layout's caption band (the
// dialog's visible title), or empty for a window without one.
std::wstring AccessibleWindowName(CUiManager& ui);

// The default action: the same path as Space/Enter on the focused control, so the window gets
// exactly the notifications of a real click. False (nothing done) for a control that is not
// actionable, disabled or hidden. It may end the window and its manager: hosts call it from
// their own loop (an idle callback), never inside an accessibility query, and touch nothing
// of the window afterwards.
bool DoAccessibleAction(CUiManager& ui, CControlUI& control);
// Moves the keyboard focus there with the visible focus mark; false when it cannot take it.
bool TakeAccessibleFocus(CUiManager& ui, CControlUI& control);

}  // namespace corvane
