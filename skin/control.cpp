// The base control: attributes common to all kinds, state flags and the painting order
// (background colour, background image, state image, text, border).
#include "skin/control.h"

#include <algorithm>

#include "skin/ui_manager.h"

namespace corvane {

void CControlUI::SetText(const CDuiString& text) {
  if (m_text == text) return;
  m_text = text;
  Invalidate();
  AccessibleChanged();
}

void CControlUI::SetToolTip(const CDuiString& toolTip) {
  if (m_toolTip == toolTip) return;
  m_toolTip = toolTip;
  AccessibleChanged();
}

void CControlUI::SetVisible(bool visible) {
  if (m_visible == visible) return;
  m_visible = visible;
  if (m_manager) m_manager->ControlHidden(*this);
  NeedParentUpdate();
  if (m_manager) m_manager->AccessibleChanged(this, UiAccChange::Children);
}

void CControlUI::SetEnabled(bool enabled) {
  if (m_enabled == enabled) return;
  m_enabled = enabled;
  if (!enabled && m_manager) m_manager->ControlHidden(*this);
  Invalidate();
  AccessibleChanged();
}

bool CControlUI::IsShownInTree() const {
  for (const CControlUI* c = this; c != nullptr; c = c->m_parent) {
    if (!c->m_visible) return false;
  }
  return true;
}

bool CControlUI::IsEnabledInTree() const {
  for (const CControlUI* c = this; c != nullptr; c = c->m_parent) {
    if (!c->m_enabled) return false;
  }
  return true;
}

// Kept within kUiCoordinateLimit, so that the layout of the children cannot overflow; a
// rectangle given the wrong way round (a float's pos, margins wider than the room) is empty at
// its near edge: painters and hosts never see a negative size.
void CControlUI::SetPos(const UiRect& rc) {
  const auto limit = [](int v) { return std::clamp(v, -kUiCoordinateLimit, kUiCoordinateLimit); };
  const int left = limit(rc.left);
  const int top = limit(rc.top);
  m_pos = UiRect{left, top, std::max(left, limit(rc.right)), std::max(top, limit(rc.bottom))};
}

void CControlUI::SetPadding(const UiRect& padding) {
  if (m_padding == padding) return;
  m_padding = padding;
  NeedParentUpdate();
}

void CControlUI::SetFixedWidth(int cx) {
  if (cx < 0 || cx == m_fixedWidth) return;
  m_fixedWidth = cx;
  NeedParentUpdate();
}

void CControlUI::SetFixedHeight(int cy) {
  if (cy < 0 || cy == m_fixedHeight) return;
  m_fixedHeight = cy;
  NeedParentUpdate();
}

void CControlUI::SetFloatPos(const UiRect& rc) {
  m_float = true;
  m_floatPos = rc;
  NeedParentUpdate();
}

void CControlUI::SetBkColor(UiColor color) {
  m_bkColor = color;
  Invalidate();
}

void CControlUI::SetBkImage(const std::wstring& image) {
  m_bkImage = image;
  Invalidate();
}

void CControlUI::Activate() {}

void CControlUI::SetState(uint32_t bits, bool on) {
  const uint32_t next = on ? (m_state | bits) : (m_state & ~bits);
  if (next == m_state) return;
  m_state = next;
  Invalidate();
}

bool CControlUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"name") {
    m_name = value;
  } else if (name == L"text") {
    m_text = value;
  } else if (name == L"tooltip") {
    m_toolTip = value;
  } else if (name == L"width") {
    m_fixedWidth = ParseInt(value).value_or(0);
  } else if (name == L"height") {
    m_fixedHeight = ParseInt(value).value_or(0);
  } else if (name == L"padding") {
    m_padding = ParseRect(value).value_or(UiRect{});
  } else if (name == L"pos") {
    m_floatPos = ParseRect(value).value_or(UiRect{});
  } else if (name == L"float") {
    m_float = ParseBool(value).value_or(false);
  } else if (name == L"visible") {
    m_visible = ParseBool(value).value_or(true);
  } else if (name == L"enabled") {
    m_enabled = ParseBool(value).value_or(true);
  } else if (name == L"keyboard") {
    m_keyboard = ParseBool(value).value_or(true);
  } else if (name == L"bkcolor") {
    m_bkColor = ParseColor(value).value_or(0);
  } else if (name == L"bordercolor") {
    m_borderColor = ParseColor(value).value_or(0);
  } else if (name == L"focusbordercolor") {
    m_focusBorderColor = ParseColor(value).value_or(0);
  } else if (name == L"bordersize") {
    m_borderSize = ParseInt(value).value_or(0);
  } else if (name == L"borderround") {
    m_borderRound = ParseInt(value).value_or(0);
  } else if (name == L"bkimage") {
    m_bkImage = value;
  } else {
    return false;
  }
  return true;
}

void CControlUI::DoPaint(IRenderTarget& render) {
  if (m_pos.IsEmpty()) return;
  PaintBkColor(render);
  PaintBkImage(render);
  PaintStatusImage(render);
  PaintText(render);
  PaintBorder(render);
}

void CControlUI::PaintBkColor(IRenderTarget& render) {
  if (m_bkColor != 0) render.FillRect(m_pos, m_bkColor, m_borderRound);
}

void CControlUI::PaintBkImage(IRenderTarget& render) {
  if (!m_bkImage.empty()) PaintImage(render, m_bkImage, m_pos);
}

bool CControlUI::PaintImage(IRenderTarget& render, const std::wstring& imageText, const UiRect& within) const {
  const UiImageSpec image = ParseImageSpec(imageText);
  if (image.file.empty()) return false;
  UiRect rc = within;
  if (image.hasDest) {
    rc = UiRect{within.left + image.dest.left, within.top + image.dest.top, within.left + image.dest.right,
                within.top + image.dest.bottom};
  }
  return render.DrawImage(image.file, rc);
}

UiColor CControlUI::BorderColorForState() const {
  if (IsFocused() && m_focusBorderColor != 0) return m_focusBorderColor;
  return m_borderColor;
}

void CControlUI::PaintBorder(IRenderTarget& render) {
  const UiColor color = BorderColorForState();
  if (m_borderSize > 0 && color != 0) render.DrawBorder(m_pos, color, m_borderSize, m_borderRound);
}

CControlUI* CControlUI::FindControl(const wchar_t* name) {
  if (name == nullptr || *name == L'\0') return nullptr;  // unnamed controls cannot be looked up
  return m_name == name ? this : nullptr;
}

CControlUI* CControlUI::FindControlAt(UiPoint p) {
  return (m_visible && m_pos.Contains(p)) ? this : nullptr;
}

void CControlUI::ForEach(const std::function<void(CControlUI&)>& visit) { visit(*this); }

void CControlUI::Attach(CUiManager* manager, CControlUI* parent) {
  m_manager = manager;
  m_parent = parent;
}

void CControlUI::Invalidate() {
  if (m_manager) m_manager->Invalidate(m_pos);
}

void CControlUI::AccessibleChanged() {
  if (m_manager) m_manager->AccessibleChanged(this, UiAccChange::State);
}

void CControlUI::NeedParentUpdate() {
  if (m_manager) m_manager->NeedUpdate();
}

}  // namespace corvane
