// CControlUI: the base of every control of a skinned window — name, text, position after
// layout, fixed or stretching size, outer margin (padding), visibility, enabled state, colours,
// background image, hover/press/focus state and painting.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "skin/dui_string.h"
#include "skin/render_target.h"
#include "skin/ui_types.h"

namespace corvane {

class CUiManager;

class CControlUI {
 public:
  CControlUI() = default;
  virtual ~CControlUI() = default;
  CControlUI(const CControlUI&) = delete;
  CControlUI& operator=(const CControlUI&) = delete;

  // The layout's element name of the kind: "Control", "Button", "Option", ...
  virtual const wchar_t* GetClass() const { return L"Control"; }

  const CDuiString& GetName() const { return m_name; }
  void SetName(const CDuiString& name) { m_name = name; }
  const CDuiString& GetText() const { return m_text; }
  virtual void SetText(const CDuiString& text);
  // The layout's `tooltip`: shown on hover and spoken as the name of a control without text.
  const CDuiString& GetToolTip() const { return m_toolTip; }
  void SetToolTip(const CDuiString& toolTip);

  bool IsVisible() const { return m_visible; }
  virtual void SetVisible(bool visible = true);
  bool IsEnabled() const { return m_enabled; }
  virtual void SetEnabled(bool enabled = true);
  // Visible (enabled) itself and through every ancestor.
  bool IsShownInTree() const;
  bool IsEnabledInTree() const;

  // Position after layout, in the window's logical client coordinates: within
  // kUiCoordinateLimit and never inverted (one given the wrong way round is kept empty at its
  // left and top).
  const UiRect& GetPos() const { return m_pos; }
  virtual void SetPos(const UiRect& rc);

  // Outer margin: the space kept free around the control by its parent's layout.
  const UiRect& GetPadding() const { return m_padding; }
  void SetPadding(const UiRect& padding);
  // Also takes the platform's rectangle (a Win32 RECT): anything with left/top/right/bottom.
  template <typename Rect>
  void SetPadding(const Rect& r) {
    SetPadding(UiRect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right),
                      static_cast<int>(r.bottom)});
  }

  // 0 stretches the control over the room its parent leaves.
  int GetFixedWidth() const { return m_fixedWidth; }
  int GetFixedHeight() const { return m_fixedHeight; }
  void SetFixedWidth(int cx);
  void SetFixedHeight(int cy);

  // A float control is placed at `pos` relative to its parent's top left, outside the flow.
  bool IsFloat() const { return m_float; }
  const UiRect& GetFloatPos() const { return m_floatPos; }
  void SetFloatPos(const UiRect& rc);

  UiColor GetBkColor() const { return m_bkColor; }
  void SetBkColor(UiColor color);
  const std::wstring& GetBkImage() const { return m_bkImage; }
  void SetBkImage(const std::wstring& image);
  int GetBorderRound() const { return m_borderRound; }

  // Mouse and keyboard interest: buttons, options and check boxes answer true.
  virtual bool IsClickable() const { return false; }
  bool IsFocusable() const { return IsClickable() && m_keyboard; }
  // The click, from the mouse or from Space/Enter on the focused control.
  virtual void Activate();

  bool IsHot() const { return (m_state & kHot) != 0; }
  bool IsPushed() const { return (m_state & kPushed) != 0; }
  bool IsFocused() const { return (m_state & kFocused) != 0; }

  // False for an attribute the control does not know (the builder records it).
  virtual bool SetAttribute(const std::wstring& name, const std::wstring& value);

  virtual void DoPaint(IRenderTarget& render);
  // This control or the first descendant, in layout order, of that exact name.
  virtual CControlUI* FindControl(const wchar_t* name);
  // The deepest shown control under `p` (the last drawn wins where they overlap).
  virtual CControlUI* FindControlAt(UiPoint p);
  // This control and its descendants, in layout (and tab) order.
  virtual void ForEach(const std::function<void(CControlUI&)>& visit);

  CUiManager* GetManager() const { return m_manager; }
  CControlUI* GetParent() const { return m_parent; }
  virtual void Attach(CUiManager* manager, CControlUI* parent);

  void Invalidate();
  // Tells the window's accessibility listener that this control's description changed.
  void AccessibleChanged();
  // The layout must run again (size, margin or visibility changed).
  void NeedParentUpdate();

 protected:
  friend class CUiManager;
  enum State : uint32_t { kHot = 1, kPushed = 2, kFocused = 4 };
  void SetState(uint32_t bits, bool on);

  virtual void PaintBkColor(IRenderTarget& render);
  virtual void PaintBkImage(IRenderTarget& render);
  virtual void PaintStatusImage(IRenderTarget& /*render*/) {}
  virtual void PaintText(IRenderTarget& /*render*/) {}
  virtual void PaintBorder(IRenderTarget& render);
  UiColor BorderColorForState() const;
  // Draws an image attribute (see UiImageSpec) over or inside `m_pos`.
  bool PaintImage(IRenderTarget& render, const std::wstring& imageText, const UiRect& within) const;

  CUiManager* m_manager = nullptr;
  CControlUI* m_parent = nullptr;
  CDuiString m_name;
  CDuiString m_text;
  CDuiString m_toolTip;
  UiRect m_pos;
  UiRect m_padding;
  UiRect m_floatPos;
  int m_fixedWidth = 0;
  int m_fixedHeight = 0;
  bool m_float = false;
  bool m_visible = true;
  bool m_enabled = true;
  bool m_keyboard = true;
  uint32_t m_state = 0;
  UiColor m_bkColor = 0;
  UiColor m_borderColor = 0;
  UiColor m_focusBorderColor = 0;
  int m_borderSize = 0;
  int m_borderRound = 0;
  std::wstring m_bkImage;
};

}  // namespace corvane
