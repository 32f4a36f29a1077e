// Label and text attributes and text painting.
#include "skin/label.h"

namespace corvane {
namespace {

std::optional<UiAlign> ParseAlign(const std::wstring& v) {
  if (v == L"left" || v == L"top") return UiAlign::Near;
  if (v == L"center" || v == L"vcenter") return UiAlign::Center;
  if (v == L"right" || v == L"bottom") return UiAlign::Far;
  return std::nullopt;
}

}  // namespace

bool CLabelUI::SetAttribute(const std::wstring& name, const std::wstring& value) {
  if (name == L"textcolor") {
    m_textColor = ParseColor(value).value_or(m_textColor);
  } else if (name == L"disabledtextcolor") {
    m_disabledTextColor = ParseColor(value).value_or(0);
  } else if (name == L"font") {
    m_font = ParseInt(value).value_or(-1);
  } else if (name == L"textpadding") {
    m_textPadding = ParseRect(value).value_or(UiRect{});
  } else if (name == L"align") {
    m_textStyle.horizontal = ParseAlign(value).value_or(UiAlign::Near);
  } else if (name == L"valign") {
    m_textStyle.vertical = ParseAlign(value).value_or(UiAlign::Center);
  } else if (name == L"wordwrap") {
    m_textStyle.wordWrap = ParseBool(value).value_or(false);
  } else {
    return CControlUI::SetAttribute(name, value);
  }
  return true;
}

void CLabelUI::SetTextColor(UiColor color) {
  m_textColor = color;
  Invalidate();
}

UiColor CLabelUI::TextColorForState() const {
  if (!IsEnabledInTree() && m_disabledTextColor != 0) return m_disabledTextColor;
  return m_textColor;
}

void CLabelUI::PaintText(IRenderTarget& render) {
  if (m_text.IsEmpty()) return;
  render.DrawString(m_text.str(), m_pos.Deflated(m_textPadding), m_font, TextColorForState(), m_textStyle);
}

}  // namespace corvane
