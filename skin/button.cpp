// Buttons, options and check boxes: state faces, activation and option groups.
#include "skin/button.h"

#include "skin/ui_manager.h"

namespace corvane {

void CButtonUI::Activate() {
  if (m_manager) m_manager->SendNotify(this, kNotifyClick);
}

bool CButtonUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"normalimage") {
    m_normalImage = value;
  } else if (name == L"hotimage") {
    m_hotImage = value;
  } else if (name == L"pushedimage") {
    m_pushedImage = value;
  } else if (name == L"disabledimage") {
    m_disabledImage = value;
  } else if (name == L"hotbkcolor") {
    m_hotBkColor = ParseColor(value).value_or(0);
  } else if (name == L"pushedbkcolor") {
    m_pushedBkColor = ParseColor(value).value_or(0);
  } else if (name == L"disabledbkcolor") {
    m_disabledBkColor = ParseColor(value).value_or(0);
  } else if (name == L"hottextcolor") {
    m_hotTextColor = ParseColor(value).value_or(0);
  } else if (name == L"pushedtextcolor") {
    m_pushedTextColor = ParseColor(value).value_or(0);
  } else {
    return CLabelUI::SetAttribute(name, value);
  }
  return true;
}

void CButtonUI::SetNormalImage(const CDuiString& image) {
  m_normalImage = image.str();
  Invalidate();
}
void CButtonUI::SetHotImage(const CDuiString& image) {
  m_hotImage = image.str();
  Invalidate();
}
void CButtonUI::SetPushedImage(const CDuiString& image) {
  m_pushedImage = image.str();
  Invalidate();
}
void CButtonUI::SetDisabledImage(const CDuiString& image) {
  m_disabledImage = image.str();
  Invalidate();
}

const std::wstring& CButtonUI::ImageForState() const {
  if (!IsEnabledInTree() && !m_disabledImage.empty()) return m_disabledImage;
  if (IsPushed() && !m_pushedImage.empty()) return m_pushedImage;
  if ((IsHot() || IsPushed()) && !m_hotImage.empty()) return m_hotImage;
  return m_normalImage;
}

UiColor CButtonUI::BkColorForState() const {
  if (!IsEnabledInTree() && m_disabledBkColor != 0) return m_disabledBkColor;
  if (IsPushed() && m_pushedBkColor != 0) return m_pushedBkColor;
  if ((IsHot() || IsPushed()) && m_hotBkColor != 0) return m_hotBkColor;
  return m_bkColor;
}

void CButtonUI::PaintBkColor(IRenderTarget& render) {
  const UiColor color = BkColorForState();
  if (color != 0) render.FillRect(m_pos, color, m_borderRound);
}

void CButtonUI::PaintStatusImage(IRenderTarget& render) {
  const std::wstring& image = ImageForState();
  if (!image.empty()) PaintImage(render, image, m_pos);
}

UiColor CButtonUI::TextColorForState() const {
  if (!IsEnabledInTree()) return CLabelUI::TextColorForState();
  if (IsPushed() && m_pushedTextColor != 0) return m_pushedTextColor;
  if ((IsHot() || IsPushed()) && m_hotTextColor != 0) return m_hotTextColor;
  return m_textColor;
}

void COptionUI::Activate() {
  Selected(m_group.empty() ? !m_selected : true);
  CButtonUI::Activate();
}

void CCheckBoxUI::Activate() {
  Selected(!m_selected);
  CButtonUI::Activate();
}

bool COptionUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"group") {
    m_group = value;
  } else if (name == L"selected") {
    m_selected = ParseBool(value).value_or(false);
  } else if (name == L"selectedimage") {
    m_selectedImage = value;
  } else if (name == L"selectedhotimage") {
    m_selectedHotImage = value;
  } else if (name == L"selectedbkcolor") {
    m_selectedBkColor = ParseColor(value).value_or(0);
  } else if (name == L"selectedtextcolor") {
    m_selectedTextColor = ParseColor(value).value_or(0);
  } else {
    return CButtonUI::SetAttribute(name, value);
  }
  return true;
}

void COptionUI::Selected(bool selected) {
  if (m_selected == selected) return;
  m_selected = selected;
  if (selected && m_manager && !m_group.empty()) m_manager->UnselectGroupExcept(*this);
  Invalidate();
  AccessibleChanged();
  if (m_manager) m_manager->SendNotify(this, kNotifySelectChanged);
}

const std::wstring& COptionUI::ImageForState() const {
  if (m_selected && IsEnabledInTree()) {
    if ((IsHot() || IsPushed()) && !m_selectedHotImage.empty()) return m_selectedHotImage;
    if (!m_selectedImage.empty()) return m_selectedImage;
  }
  // A disabled option still shows whether it is the chosen one (a choice an administrator
  // locked), unless the layout gives it a disabled face of its own.
  if (m_selected && m_disabledImage.empty() && !m_selectedImage.empty()) return m_selectedImage;
  return CButtonUI::ImageForState();
}

UiColor COptionUI::BkColorForState() const {
  if (m_selected && m_selectedBkColor != 0 && IsEnabledInTree()) return m_selectedBkColor;
  return CButtonUI::BkColorForState();
}

UiColor COptionUI::TextColorForState() const {
  if (m_selected && m_selectedTextColor != 0 && IsEnabledInTree()) return m_selectedTextColor;
  return CButtonUI::TextColorForState();
}

}  // namespace corvane
